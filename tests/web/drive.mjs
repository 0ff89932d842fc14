// Drives the show's page in headless Chromium (software WebGL 2) through puppeteer-core, the way
// a visitor would: real key presses, screenshots of the canvas, and the page's status read back.
//   node drive.mjs pictures BASE_URL OUT_DIR SECONDS...   ?start=T&paused for each T -> OUT_DIR/web-T.png
//   node drive.mjs keys BASE_URL OUT_DIR                  a, p, 5, s, h, m, q and a bad address
//   node drive.mjs match A.rgb B.rgb                      the share of pixels within 24/255
// Every wait is for an event and bounded; a wait that runs out says what did not happen.
import {launchHeadlessChromium} from './headless_chromium.mjs';

const [command, base, out, ...rest] = process.argv.slice(2);
const limit = 1000 * Number(process.env.E2E_WAIT_SECONDS || 180);

function fail(what) {
    console.log('FAIL: ' + what);
    process.exit(1);
}

async function openPage(browser, query) {
    const page = await browser.newPage();
    await page.setViewport({width: 720, height: 576});
    page.on('console', (m) => { if (process.env.PAGE_LOG) console.error('page:', m.text()); });
    await page.goto(base + 'index.html' + query);
    return page;
}

async function status(page) {
    return page.evaluate(() => JSON.parse(UTF8ToString(Module._lumenfold_status())));
}

// Waits until `test(status)` holds, saying `what` if it never does.
async function waitFor(page, what, test) {
    const deadline = Date.now() + limit;
    for (;;) {
        let s = null;
        try {
            s = await status(page);
        } catch (e) {
            // the module is still loading
        }
        if (s && test(s)) return s;
        if (Date.now() > deadline) fail(what + ': did not happen within ' + limit / 1000 + ' s' +
                                       (s ? ' (status ' + JSON.stringify(s) + ')' : ''));
        await new Promise((r) => setTimeout(r, 100));
    }
}

async function shot(page, path) {
    const canvas = await page.$('#canvas');
    await canvas.screenshot({path});
}

async function pictures(browser) {
    for (const t of rest) {
        const page = await openPage(browser, '?start=' + t + '&paused');
        const ms = Math.round(Number(t) * 1000);
        // Posed at its time, drawn twice (the second frame has the window's final size).
        const at = await waitFor(page, 'the picture of ' + t + ' s',
                                 (s) => Math.round(s.time * 1000) === ms && s.frames >= 2);
        await shot(page, out + '/web-' + t + '.png');
        console.log('picture of ' + t + ' s: mode ' + at.mode);
        await page.close();
    }
}

async function canvasPicture(page) {
    const canvas = await page.$('#canvas');
    return canvas.screenshot();
}

async function keys(browser) {
    const page = await openPage(browser, '');
    await waitFor(page, 'the opening picture', (s) => s.frames >= 1 && s.mode === 0);
    const hint = await page.$eval('#line', (e) => e.textContent);
    if (!/Press a/.test(hint)) fail('the hint before the show says: ' + hint);

    await page.keyboard.press('a');
    const playing = await waitFor(page, 'the show and its sound playing after a',
                                  (s) => s.mode === 1 && s.time > 1 && s.heard > 0.5);
    console.log('after a: show at ' + playing.time + ' s, sound at ' + playing.heard + ' s');
    if (await page.$eval('#line', (e) => e.style.display) !== 'none') fail('the hint stayed after a');

    await page.keyboard.press('p');
    const paused = await waitFor(page, 'the show and its sound paused after p',
                                 (s) => s.mode === 3 && s.heard < 0);
    await new Promise((r) => setTimeout(r, 1000));
    const still = await status(page);
    if (Math.abs(still.time - paused.time) > 0.001) fail('the show moved while paused');
    if (still.heard >= 0) fail('the sound went on while paused');

    await page.keyboard.press('5');
    await waitFor(page, 'the jump to 86 s after 5', (s) => Math.abs(s.time - 86) < 0.001 && s.mode === 3);

    // s: the picture as a download under the desktop's name, and "Saved" only once it is one.
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: out});
    await page.keyboard.press('s');
    await waitFor(page, 'the notice of the saved screenshot after s',
                  (s) => s.notice === 'Saved lumenfold-086.00s.png (downloaded)');
    const fs = await import('fs');
    const downloaded = out + '/lumenfold-086.00s.png';
    const until = Date.now() + limit;
    while (!fs.existsSync(downloaded)) {
        if (Date.now() > until) fail(downloaded + ' was not downloaded after s');
        await new Promise((r) => setTimeout(r, 100));
    }
    console.log('s offered ' + downloaded);

    const before = await canvasPicture(page);
    await page.keyboard.press('h');
    const deadline = Date.now() + limit;
    while ((await canvasPicture(page)).equals(before)) {
        if (Date.now() > deadline) fail('the help after h: did not happen');
        await new Promise((r) => setTimeout(r, 100));
    }
    await shot(page, out + '/help.png');
    console.log('h shows the help');

    // m: no movie in a browser; it says where movies are made and changes nothing else.
    await page.keyboard.press('m');
    const afterM = await waitFor(page, 'the notice after m',
                                 (s) => s.notice === 'Movies are made by lumenfold-movie');
    if (afterM.mode !== 3 || Math.abs(afterM.time - 86) > 0.001) {
        fail('m changed the show: ' + JSON.stringify(afterM));
    }

    // q: the show stops for good: no frame and no key acts any more, and the page says so.
    await page.keyboard.press('q');
    const stoppedLine = Date.now() + limit;
    while (!/stopped/.test(await page.$eval('#line', (e) => e.textContent))) {
        if (Date.now() > stoppedLine) fail('the page did not say the show stopped after q');
        await new Promise((r) => setTimeout(r, 100));
    }
    const atQ = await status(page);
    await page.keyboard.press('1');
    await page.keyboard.press('a');
    await new Promise((r) => setTimeout(r, 1000));
    const later = await status(page);
    if (later.frames !== atQ.frames || later.time !== atQ.time || later.mode !== atQ.mode) {
        fail('the show went on after q: ' + JSON.stringify(atQ) + ' then ' + JSON.stringify(later));
    }
    console.log('q stops the show');
    await page.close();

    const refused = await openPage(browser, '?start=abc&paused');
    const deadlineLine = Date.now() + limit;
    let line = {text: '', error: false};
    while (!/^lumenfold: /.test(line.text)) {
        if (Date.now() > deadlineLine) fail('the refusal of ?start=abc: the page says ' + line.text);
        await new Promise((r) => setTimeout(r, 100));
        line = await refused.$eval('#line', (e) => ({text: e.textContent, error: e.className === 'error'}));
    }
    const expected = "lumenfold: --start takes a time in seconds from 0 to 130, not 'abc'";
    if (line.text !== expected || !line.error) fail('?start=abc: the page says "' + line.text + '"');
    console.log('?start=abc: ' + line.text);
}

// The share of pixels of two raw RGB pictures of one size whose channels all lie within 24/255.
async function match(a, b) {
    const fs = await import('fs');
    const x = fs.readFileSync(a), y = fs.readFileSync(b);
    if (x.length !== y.length || x.length === 0) fail(a + ' and ' + b + ' differ in size');
    let close = 0;
    for (let i = 0; i < x.length; i += 3) {
        if (Math.abs(x[i] - y[i]) <= 24 && Math.abs(x[i + 1] - y[i + 1]) <= 24 &&
            Math.abs(x[i + 2] - y[i + 2]) <= 24) ++close;
    }
    console.log((close / (x.length / 3)).toFixed(4));
}

if (command === 'match') {
    await match(base, out);
    process.exit(0);
}

const browser = await launchHeadlessChromium();
try {
    if (command === 'pictures') await pictures(browser);
    else if (command === 'keys') await keys(browser);
    else fail('unknown command ' + command);
} finally {
    await browser.close();
}
