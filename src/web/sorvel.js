// Sorvel in a browser: loads sorvel.wasm, shows its pixels on the canvas at the display's
// own pixels, passes the six keys on with their times, and asks for a frame at every
// display frame. The sheet moves only while the page has the focus, is visible and has
// no About box open.
'use strict';

// The platform's table: the keys every layout names alike, by their KeyboardEvent.key,
// in the order of the module's NamedKey (0 is any other key).
const NAMED_KEYS = {ArrowLeft: 1, ArrowRight: 2, ArrowUp: 3, ArrowDown: 4, ' ': 5};

// The key table's control for a key event, or -1: the module's one rule for every
// layout (C by its letter, or by its position where the layout has no Latin letter).
function controlOf(wasm, event) {
    const named = NAMED_KEYS[event.key] || 0;
    const character = [...event.key].length === 1 ? event.key.codePointAt(0) : 0;
    return wasm.sorvel_control_for_key(named, character, event.code === 'KeyC' ? 1 : 0);
}

// "&A" marks a mnemonic and "&&" stands for "&", as in the program's resources.
function withoutMnemonic(text) {
    return text.replace(/&(&?)/g, '$1');
}

async function loadModule() {
    const imports = {
        env: {emscripten_notify_memory_growth() {}},
        wasi_snapshot_preview1: {proc_exit(code) { throw new Error(`sorvel.wasm exited with ${code}`); }},
    };
    const response = await fetch('sorvel.wasm');
    if (!response.ok) throw new Error(`sorvel.wasm: ${response.status}`);
    const {instance} = await WebAssembly.instantiate(await response.arrayBuffer(), imports);
    instance.exports._initialize();
    return instance.exports;
}

function readText(wasm, which) {
    const start = wasm.sorvel_text(which);
    const bytes = new Uint8Array(wasm.memory.buffer);
    let end = start;
    while (bytes[end] !== 0) ++end;
    return new TextDecoder().decode(bytes.subarray(start, end));
}

async function main() {
    const wasm = await loadModule();
    wasm.sorvel_init();

    const canvas = document.getElementById('sheet');
    const context = canvas.getContext('2d', {alpha: false});
    const about = document.getElementById('about');
    const aboutButton = document.getElementById('about-button');

    const [title, caption, menuItem, version, author, ok] = [0, 1, 2, 3, 4, 5].map(n => readText(wasm, n));
    document.title = title;
    aboutButton.title = withoutMnemonic(menuItem);
    aboutButton.setAttribute('aria-label', aboutButton.title);
    document.getElementById('about-caption').textContent = caption;
    document.getElementById('about-version').textContent = version;
    document.getElementById('about-author').textContent = withoutMnemonic(author);
    document.getElementById('about-ok').textContent = ok;
    aboutButton.addEventListener('click', () => about.showModal());
    // Back to the sheet: the button keeps no focus that Space could press again.
    about.addEventListener('close', () => aboutButton.blur());

    // What the tests read: steps run, the canvas's size in device pixels, and when the
    // first frame was shown (milliseconds after the navigation began).
    const status = window.sorvel = {steps: 0, width: 0, height: 0, ratio: 0, firstFrame: 0};
    let image = null;

    function fit(width, height) {
        const ratio = window.devicePixelRatio || 1;
        if (width === status.width && height === status.height && ratio === status.ratio) return;
        const pixels = wasm.sorvel_resize(width, height, ratio);
        if (!pixels) return;
        canvas.width = status.width = width;
        canvas.height = status.height = height;
        status.ratio = ratio;
        image = new ImageData(new Uint8ClampedArray(wasm.memory.buffer, pixels, width * height * 4), width, height);
        context.putImageData(image, 0, 0);
    }

    function fitToLayout() {
        const ratio = window.devicePixelRatio || 1;
        fit(Math.max(1, Math.round(canvas.clientWidth * ratio)), Math.max(1, Math.round(canvas.clientHeight * ratio)));
    }

    // The canvas's size in device pixels as the browser lays it out, where it says so;
    // otherwise its CSS size times the ratio.
    const observer = new ResizeObserver(entries => {
        const box = entries[0].devicePixelContentBoxSize;
        if (box) {
            fit(Math.max(1, box[0].inlineSize), Math.max(1, box[0].blockSize));
        } else {
            fitToLayout();
        }
    });
    try {
        observer.observe(canvas, {box: 'device-pixel-content-box'});
    } catch {
        observer.observe(canvas);
    }
    fitToLayout();

    function onKey(event, down) {
        if (about.open) return;  // the About box's keys are its own
        const control = controlOf(wasm, event);
        if (control < 0) return;
        if (!event.ctrlKey && !event.metaKey && !event.altKey) event.preventDefault();
        wasm.sorvel_key(control, down ? 1 : 0, event.timeStamp);
    }
    window.addEventListener('keydown', event => onKey(event, true));
    window.addEventListener('keyup', event => onKey(event, false));

    function frame(now) {
        if (!status.firstFrame) status.firstFrame = now;
        const active = document.hasFocus() && document.visibilityState === 'visible' && !about.open;
        const steps = wasm.sorvel_frame(now, active ? 1 : 0);
        if (steps > 0) {
            status.steps += steps;
            context.putImageData(image, 0, 0);
        }
        requestAnimationFrame(frame);
    }
    requestAnimationFrame(frame);
}

main().catch(error => {
    document.body.textContent = `Sorvel could not start: ${error.message}`;
    throw error;
});
