// Sorvel in a browser: loads sorvel.wasm, shows its pixels on the canvas at the display's
// own pixels, passes the six keys and the pointer on with their times, and asks for a
// frame at every display frame, putting only what changed. The sheet moves only while
// the page has the focus, is visible and has no About box open.
'use strict';

// The platform's table: the keys every layout names alike, by their KeyboardEvent.key,
// in the order of the module's NamedKey (0 is any other key).
const NAMED_KEYS = {ArrowLeft: 1, ArrowRight: 2, ArrowUp: 3, ArrowDown: 4, ' ': 5};
const RESET = 4;  // C, in the order of the module's Control
const POINTER = {pointerdown: 0, pointermove: 1, pointerup: 2, pointercancel: 3};

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
    const resetButton = document.getElementById('reset-button');

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
    about.addEventListener('close', event => {
        aboutButton.blur();
        wake(event.timeStamp);
    });
    // The reset control is a tap of C, for screens without a keyboard.
    resetButton.addEventListener('click', event => {
        wake(event.timeStamp);
        wasm.sorvel_key(RESET, 1, event.timeStamp);
        wasm.sorvel_key(RESET, 0, event.timeStamp);
        resetButton.blur();
    });

    // What the tests read: steps run, the canvas's size in device pixels, the ratio and
    // the projection's factor it was drawn at, when the first frame was shown
    // (milliseconds after the navigation began), and whether frames are being asked for.
    const status = window.sorvel = {steps: 0, width: 0, height: 0, ratio: 0, factor: 0, firstFrame: 0, awake: true};
    let lost = false;  // a put failed: the canvas may miss part of the picture

    // Views of the module's memory: what its last call changed, and the canvas's pixels.
    // Only a resize allocates, but growing the memory at any time detaches the buffer
    // under every view, which then reads as empty: so the views are made anew from the
    // address and the size kept here, never from an old view's length.
    let raster = {pixels: 0, width: 0, height: 0};  // the canvas's pixels, as the last resize gave them
    let memory = null, shown = null, image = null;
    function views() {
        if (memory === wasm.memory.buffer) return;
        memory = wasm.memory.buffer;
        shown = new Int32Array(memory, wasm.sorvel_shown(), 4);
        const {pixels, width, height} = raster;
        image = pixels ? new ImageData(new Uint8ClampedArray(memory, pixels, width * height * 4), width, height) : null;
    }

    // Puts on the canvas what the module's last call changed; nothing when nothing did.
    function show() {
        views();
        const [x, y, width, height] = shown;
        if (width <= 0 || height <= 0 || !image) return;
        try {
            context.putImageData(image, 0, 0, x, y, width, height);
        } catch (error) {
            lost = true;
            throw error;
        }
    }

    // The canvas at width x height device pixels for its CSS size and the ratio now. A
    // size the module refuses leaves the last picture as it is.
    let fitted = '';
    function fit(width, height) {
        const ratio = window.devicePixelRatio || 1;
        const box = canvas.getBoundingClientRect();
        const key = [width, height, box.width, box.height, ratio].join();
        if (key === fitted) return;
        const drawn = wasm.sorvel_resize(width, height, box.width, box.height, ratio);
        if (!drawn) {
            console.warn(`Sorvel: cannot draw a canvas of ${width} x ${height} device pixels ` +
                `(at most ${wasm.sorvel_max_side()} on a side, and memory for them); the picture stays as it was`);
            return;
        }
        fitted = key;
        raster = {pixels: drawn, width, height};
        memory = null;  // new views of the new pixels
        if (canvas.width !== width || canvas.height !== height) {
            canvas.width = width;
            canvas.height = height;
        }
        Object.assign(status, {width, height, ratio, factor: wasm.sorvel_pixels_per_unit()});
        show();
    }

    // The canvas's size in device pixels as the browser lays it out, where it says so;
    // otherwise its CSS box times the ratio, from the box's fractional edges (its
    // rounded clientWidth may miss the device box by a pixel at a fractional ratio).
    let deviceBox = null;
    function fitToLayout() {
        if (deviceBox) return fit(deviceBox[0], deviceBox[1]);
        const ratio = window.devicePixelRatio || 1;
        const box = canvas.getBoundingClientRect();
        fit(Math.max(1, Math.round(box.right * ratio) - Math.round(box.left * ratio)),
            Math.max(1, Math.round(box.bottom * ratio) - Math.round(box.top * ratio)));
    }
    const observer = new ResizeObserver(entries => {
        const box = entries[0].devicePixelContentBoxSize;
        deviceBox = box ? [Math.max(1, box[0].inlineSize), Math.max(1, box[0].blockSize)] : null;
        fitToLayout();
    });
    try {
        observer.observe(canvas, {box: 'device-pixel-content-box'});
    } catch {
        observer.observe(canvas);
    }
    // A zoom changes the ratio and the CSS size but not the device box, which the
    // observer watches: follow the ratio as well.
    (function followRatio() {
        matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`).addEventListener('change', () => {
            fitToLayout();
            followRatio();
        }, {once: true});
    })();
    fitToLayout();
    // A canvas whose context was lost comes back blank.
    canvas.addEventListener('contextrestored', () => {
        wasm.sorvel_screen_lost();
        show();
    });

    // Keys pressed with Ctrl, Alt or the Command key are shortcuts, and never count:
    // macOS sends no keyup for a key released while Command is held, so such a key would
    // stay down. For the same reason Command's own keyup lets every key go.
    function onKey(event, down) {
        if (about.open) return;  // the About box's keys are its own
        const control = controlOf(wasm, event);
        if (control < 0 || (down && (event.ctrlKey || event.metaKey || event.altKey))) {
            if (!down && event.key === 'Meta') wasm.sorvel_release_all(event.timeStamp);
            return;
        }
        event.preventDefault();
        wake(event.timeStamp);
        wasm.sorvel_key(control, down ? 1 : 0, event.timeStamp);
    }
    window.addEventListener('keydown', event => onKey(event, true));
    window.addEventListener('keyup', event => onKey(event, false));

    // Touch, pen and mouse on the sheet, in CSS pixels; only the primary pointer starts a
    // gesture. The canvas keeps the pointer while it is down, wherever it goes.
    function onPointer(event) {
        const primary = event.isPrimary && (event.pointerType !== 'mouse' || event.button === 0);
        if (event.type === 'pointerdown' && primary) {
            try {
                canvas.setPointerCapture(event.pointerId);
            } catch {
                // a pointer the browser does not know (a synthetic one): no capture
            }
        }
        wake(event.timeStamp);
        wasm.sorvel_pointer(POINTER[event.type], event.pointerId, primary ? 1 : 0, event.clientX, event.clientY,
            event.timeStamp);
    }
    for (const type of Object.keys(POINTER)) canvas.addEventListener(type, onPointer);
    canvas.addEventListener('contextmenu', event => event.preventDefault());

    // The page's keys and pointers may go up where it never hears of it: let them all go.
    const letGo = event => wasm.sorvel_release_all(event.timeStamp);
    window.addEventListener('blur', letGo);
    window.addEventListener('pagehide', letGo);
    document.addEventListener('visibilitychange', event => {
        if (document.visibilityState === 'hidden') letGo(event);
    });
    window.addEventListener('focus', event => wake(event.timeStamp));

    // Frames stop while the sheet lies still and no key or gesture waits to act, so that
    // a page at rest costs nothing; every event that may change that asks for them again.
    let next = 0;  // the frame asked for; 0 while asleep
    function wake(time) {
        if (next) return;
        wasm.sorvel_wake(time);
        next = requestAnimationFrame(frame);
        status.awake = true;
    }

    // The next frame is asked for first, so that nothing that goes wrong in this one
    // stops the sheet.
    function frame(now) {
        next = requestAnimationFrame(frame);
        if (!status.firstFrame) status.firstFrame = now;
        const active = document.hasFocus() && document.visibilityState === 'visible' && !about.open;
        status.steps += wasm.sorvel_frame(now, active ? 1 : 0);
        if (lost) {
            lost = false;
            wasm.sorvel_screen_lost();
        }
        show();
        if (wasm.sorvel_still()) {
            cancelAnimationFrame(next);
            next = 0;
            status.awake = false;
        }
    }
    next = requestAnimationFrame(frame);

    if ('serviceWorker' in navigator) {
        navigator.serviceWorker.register('sw.js').catch(error => console.warn(`Sorvel works online only: ${error}`));
    }
}

main().catch(error => {
    document.body.textContent = `Sorvel could not start: ${error.message}`;
    throw error;
});
