// Firefox for the page tests, through puppeteer-core over WebDriver BiDi: one JSON
// command a line on standard input, one JSON answer a line on standard output, so that
// the tests themselves stay in Python (engines.py) for every engine.
//
//   node firefox_bridge.mjs PUPPETEER_CORE_DIR PROFILE_DIR
//
// Commands: {op: 'goto', url}, {op: 'run', script, args} (a function body that sees
// `arguments`, as WebDriver's execute script), {op: 'keys', keys: [['down' | 'up', key]]},
// {op: 'mouse', steps: [['move', x, y] | ['down'] | ['up']]}, {op: 'quit'}.
import {createInterface} from 'node:readline';
import {resolve} from 'node:path';
import {pathToFileURL} from 'node:url';

const [puppeteerDir, profile] = process.argv.slice(2);
const {default: puppeteer} = await import(pathToFileURL(resolve(puppeteerDir, 'lib/esm/puppeteer/puppeteer-core.js')));
const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: false, userDataDir: profile,
    defaultViewport: null, args: ['--width=800', '--height=600'],
    // The page's focus as the window manager gives it, not always on.
    extraPrefsFirefox: {'focusmanager.testmode': false},
});
const page = (await browser.pages())[0];

const ops = {
    goto: ({url}) => page.goto(url).then(() => null),
    run: ({script, args}) => page.evaluate((body, list) => new Function(body)(...list), script, args),
    async keys({keys}) {
        for (const [kind, key] of keys) await page.keyboard[kind](key);
    },
    async mouse({steps}) {
        for (const [kind, x, y] of steps) await (kind === 'move' ? page.mouse.move(x, y) : page.mouse[kind]());
    },
    quit: () => browser.close(),
};

console.log(JSON.stringify({ready: true}));
for await (const line of createInterface({input: process.stdin})) {
    const command = JSON.parse(line);
    try {
        console.log(JSON.stringify({value: (await ops[command.op](command)) ?? null}));
    } catch (error) {
        console.log(JSON.stringify({error: String(error && error.stack || error)}));
    }
    if (command.op === 'quit') break;
}
process.exit(0);
