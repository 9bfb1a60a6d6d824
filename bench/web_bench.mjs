// The web page's module under node: one step and one frame drawn into the canvas's
// buffer, as the page runs them, at the opening client area (481 x 330) and at
// 1920 x 1080; the counterpart of BM_StepAndFrame in core_bench.cpp. Prints the median
// of 15 repetitions.
//
//   node bench/web_bench.mjs build/web/page/sorvel.wasm
import {readFileSync} from 'node:fs';

const POKE = 5;
const imports = {
    env: {emscripten_notify_memory_growth() {}},
    wasi_snapshot_preview1: {proc_exit(code) { throw new Error(`exit ${code}`); }},
};
const {instance} = await WebAssembly.instantiate(readFileSync(process.argv[2]), imports);
const wasm = instance.exports;
wasm._initialize();

let now = 0;
// One step per frame: each frame comes 10 ms after the one before.
function frames(count) {
    for (let n = 0; n < count; ++n) wasm.sorvel_frame(now += 10, 1);
}

for (const [width, height] of [[481, 330], [1920, 1080]]) {
    wasm.sorvel_init();
    wasm.sorvel_resize(width, height, width, height, 1);
    // A sheet some way into a held poke, everything moving, as in core_bench.cpp.
    wasm.sorvel_key(POKE, 1, now + 1);
    frames(10);
    wasm.sorvel_key(POKE, 0, now);
    frames(30);
    const count = Math.max(50, Math.round(2e6 / (width * height)));
    const times = [];
    for (let repetition = 0; repetition < 15; ++repetition) {
        const start = performance.now();
        frames(count);
        times.push((performance.now() - start) * 1000 / count);
    }
    times.sort((a, b) => a - b);
    console.log(`step and frame ${width}x${height}: median ${times[7].toFixed(1)} us`);
}
