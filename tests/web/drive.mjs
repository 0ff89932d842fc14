// Drives the show's page in headless Chromium (software WebGL 2) through puppeteer-core, the way
// a visitor would: real key presses, clicks and touches, pictures of the canvas, and the page's
// state read back. It serves SITE itself (some tests take files away, damage them, or stop the
// server). Every page fails the run on an uncaught error or a console error, but for the
// browser's report of a file a test took away.
//   node drive.mjs pictures SITE OUT SECONDS...  ?start=T&paused for each T -> OUT/web-T.png
//   node drive.mjs match A.rgb B.rgb             the share of pixels within 24/255
//   node drive.mjs keys SITE OUT                 the page's keys, the help, q, refused addresses
//   node drive.mjs mouse SITE OUT                clicks, double click, the timeline, the wheel
//   node drive.mjs phone SITE OUT                two phones: control sizes, taps, touch scrubs
//   node drive.mjs faults SITE OUT               what cannot run is said, in words, on the page
//   node drive.mjs network SITE OUT              a slow link's start; offline; the manifest
//   node drive.mjs screenshots SITE OUT          the pictures of docs/ (not a test)
// Every wait is for an event and bounded; a wait that runs out says what did not happen.
import {launchHeadlessChromium} from './headless_chromium.mjs';

import fs from 'fs';
import http from 'http';
import path from 'path';

const [command, site, out, ...rest] = process.argv.slice(2);
const limit = 1000 * Number(process.env.E2E_WAIT_SECONDS || 180);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

function fail(what) {
    console.log('FAIL: ' + what);
    process.exit(1);
}

const kDesktop = {width: 720, height: 576};
const kPhones = {
    'phone upright': {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true},
    'phone sideways': {width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true},
};

// ---- Serving the site ---------------------------------------------------------------------

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png',
                '.ogg': 'audio/ogg', '.mp3': 'audio/mpeg', '.data': 'application/octet-stream'};

// SITE over HTTP on a free port of its own (so each server is an origin of its own, with its own
// service worker), or on `port` again. `changes` maps a file name to null (answered 404) or to
// the bytes served instead.
async function serve(changes = {}, port = 0) {
    const server = http.createServer((request, response) => {
        let name = decodeURIComponent(new URL(request.url, 'http://x').pathname.slice(1)) || 'index.html';
        const file = path.join(site, path.basename(name));
        let body = changes[name];
        if (body === undefined && fs.existsSync(file) && name === path.basename(name)) {
            body = fs.readFileSync(file);
        }
        if (!body) {
            response.writeHead(404, 'File not found', {'Content-Type': 'text/plain'});
            response.end('File not found');
            return;
        }
        response.writeHead(200, {'Content-Type': kTypes[path.extname(name)] || 'application/octet-stream',
                                 'Content-Length': body.length});
        response.end(body);
    });
    const sockets = new Set();
    server.on('connection', (socket) => {
        sockets.add(socket);
        socket.on('close', () => sockets.delete(socket));
    });
    for (let attempt = 0; ; ++attempt) {
        const error = await new Promise((resolve) => {
            server.once('error', resolve);
            server.listen(port, '127.0.0.1', () => resolve(null));
        });
        if (!error) break;
        if (attempt > 100) fail('port ' + port + ' could not be served: ' + error.message);
        await sleep(100);
    }
    return {
        url: 'http://127.0.0.1:' + server.address().port + '/',
        close: () => new Promise((resolve) => {
            server.close(resolve);
            sockets.forEach((socket) => socket.destroy());
        }),
    };
}

// ---- Pages --------------------------------------------------------------------------------

// A page of `base` + `query`, watched for uncaught errors and console errors from its first
// moment. `missing`: files the test took away, whose "Failed to load resource" is expected.
async function openPage(context, base, query, {viewport = kDesktop, missing = [], before} = {}) {
    const page = await context.newPage();
    await page.setViewport(viewport);
    page.problems = [];
    page.on('pageerror', (error) => page.problems.push('uncaught error: ' + error.message));
    page.on('console', (message) => {
        const text = message.text();
        if (process.env.PAGE_LOG) console.error('page ' + message.type() + ': ' + text);
        const source = (message.location() && message.location().url) || '';
        const expected = missing.some((name) => source.endsWith('/' + name)) &&
                         /^Failed to load resource/.test(text);
        if ((message.type() === 'error' || message.type() === 'assert') && !expected) {
            page.problems.push('console error: ' + text + (source ? ' (' + source + ')' : ''));
        }
        if (/passive/i.test(text)) page.problems.push('console: ' + text);
    });
    // Full-screen requests are counted, whether or not the browser grants them.
    await page.evaluateOnNewDocument(() => {
        window.fullScreenRequests = 0;
        const request = Element.prototype.requestFullscreen;
        Element.prototype.requestFullscreen = function(...args) {
            ++window.fullScreenRequests;
            return request.apply(this, args);
        };
    });
    if (before) await before(page);
    if (query !== null) await page.goto(base + 'index.html' + query);
    return page;
}

function checkProblems(page, what) {
    if (page.problems.length) fail((what ? what + ': ' : '') + page.problems.join('; '));
}

async function closePage(page, what) {
    checkProblems(page, what);
    await page.close();
}

async function status(page) {
    return page.evaluate(() => JSON.parse(UTF8ToString(Module._lumenfold_status())));
}

// Waits until `test()` (run in the page) returns something true, and returns it.
async function waitInPage(page, what, test, ...args) {
    const deadline = Date.now() + limit;
    for (;;) {
        checkProblems(page, what);
        let result = null;
        try {
            result = await page.evaluate(test, ...args);
        } catch (e) {
            // the page is loading, or the show is not there yet
        }
        if (result) return result;
        if (Date.now() > deadline) {
            fail(what + ': did not happen within ' + limit / 1000 + ' s (the page says "' +
                 await page.evaluate(() => document.getElementById('line').textContent).catch(() => '?') + '")');
        }
        await sleep(50);
    }
}

// Waits until `test(status)` holds, saying `what` if it never does.
async function waitFor(page, what, test) {
    const deadline = Date.now() + limit;
    for (;;) {
        checkProblems(page, what);
        let s = null;
        try {
            s = await status(page);
        } catch (e) {
            // the module is still loading
        }
        if (s && test(s)) return s;
        if (Date.now() > deadline) fail(what + ': did not happen within ' + limit / 1000 + ' s' +
                                       (s ? ' (status ' + JSON.stringify(s) + ')' : ''));
        await sleep(50);
    }
}

// The start offered: the show set up and its music able to play from the first note.
async function waitForStart(page, what = 'the start offered') {
    await waitInPage(page, what, () => !document.getElementById('start').hidden);
    return waitFor(page, what + ' (the opening picture)', (s) => s.frames >= 1);
}

// The centre of an element, in CSS pixels of the viewport.
async function centreOf(page, selector) {
    const box = await page.$eval(selector, (e) => e.getBoundingClientRect().toJSON());
    return {x: box.x + box.width / 2, y: box.y + box.height / 2, box};
}

// The canvas's picture alone: the page's panel and controls hidden for the shot.
async function canvasPicture(page, file) {
    const hide = await page.addStyleTag({content: '#panel, #controls, #notice { visibility: hidden !important; }'});
    const canvas = await page.$('#canvas');
    const picture = await canvas.screenshot(file ? {path: file} : {});
    await hide.evaluate((e) => e.remove());
    return picture;
}

// Waits for the frame drawn after `test(status)` holds once the page has set up: the picture
// then shown is the one of that status. (The page's sizing clears the canvas.)
async function waitForPicture(page, what, test) {
    await waitFor(page, what, (s) => test(s) && s.frames >= 1);
    await waitInPage(page, what + ' (the page set up)', () => document.getElementById('canvas').classList.contains('shown'));
    const drawn = (await status(page)).frames;
    await page.evaluate(() => _glutPostRedisplay());
    return waitFor(page, what + ' (drawn again)', (s) => s.frames > drawn && test(s));
}

async function facts(page) {
    return page.evaluate(() => JSON.parse(UTF8ToString(Module._lumenfold_facts())));
}

// Where on the page the timeline's track lies: the page x of a moment, and the moment a press
// at page x lands on (the show's own rule, asked of it). aim(seconds) is a whole pixel near that
// moment's, and where a press there lands: touches come in whole pixels, and the pixel is not
// on the edge between two frames, so the browser's rounding of a position never tips it over.
async function track(page) {
    const box = await page.$eval('#track', (e) => e.getBoundingClientRect().toJSON());
    const length = (await facts(page)).length;
    const landsAt = (x) => page.evaluate((dx, w) => Module._lumenfold_timeline_seconds(dx, w), x - box.x, box.width);
    const x = (seconds) => box.x + seconds / length * box.width;
    return {
        box, y: Math.round(box.y + box.height / 2), x, landsAt,
        aim: async (seconds) => {
            for (let px = Math.round(x(seconds)); ; ++px) {
                const at = await landsAt(px);
                if (at === await landsAt(px - 0.001) && at === await landsAt(px + 0.001)) return {x: px, at};
            }
        },
    };
}

// ---- The pictures -------------------------------------------------------------------------

async function pictures(browser, base) {
    for (const t of rest) {
        const page = await openPage(browser, base, '?start=' + t + '&paused');
        const ms = Math.round(Number(t) * 1000);
        const at = await waitForPicture(page, 'the picture of ' + t + ' s',
                                        (s) => Math.round(s.time * 1000) === ms);
        await canvasPicture(page, out + '/web-' + t + '.png');
        console.log('picture of ' + t + ' s: mode ' + at.mode);
        await closePage(page, t + ' s');
    }
}

// ---- Keys ---------------------------------------------------------------------------------

// Whether the page left a key to the browser: a key event dispatched as the browser would, and
// whether anything prevented its default.
async function keyPrevented(page, key, keyCode, modifiers = {}) {
    return page.evaluate((k, code, m) => {
        const event = new KeyboardEvent('keydown', Object.assign({key: k, bubbles: true, cancelable: true}, m));
        Object.defineProperty(event, 'keyCode', {get: () => code});
        document.getElementById('canvas').dispatchEvent(event);
        return event.defaultPrevented;
    }, key, keyCode, modifiers);
}

async function keys(browser, base) {
    const page = await openPage(browser, base, '');
    await waitForStart(page);
    const opening = await canvasPicture(page);
    const about = await page.$eval('#about', (e) => e.textContent);
    if (!/^A 130-second 3D show with music/.test(about)) fail('the line before the start says: ' + about);

    await page.keyboard.press('a');
    await waitFor(page, 'the show and its sound playing after a', (s) => s.mode === 1 && s.time > 1 && s.heard > 0.5);
    if (!await page.$eval('#panel', (e) => e.hidden)) fail('the start panel stayed after a');
    await page.keyboard.press('p');
    const paused = await waitFor(page, 'the show and its sound paused after p', (s) => s.mode === 3 && s.heard < 0);
    await page.keyboard.press(' ');
    await waitFor(page, 'Space playing the show again', (s) => s.mode === 1 && s.time > paused.time);
    await page.keyboard.press('Enter');
    await waitFor(page, 'Enter on the picture pausing it', (s) => s.mode === 3);
    await page.keyboard.press('k');
    await waitFor(page, 'k playing it', (s) => s.mode === 1 && s.heard >= 0);
    await page.keyboard.press('k');
    await waitFor(page, 'k pausing it', (s) => s.mode === 3);
    console.log('Space, Enter and k play and pause');

    await page.keyboard.press('6');
    await waitFor(page, 'the credits after 6', (s) => s.time === 120 && s.mode === 3);
    await checkCreditsClear(page, 'desktop, at the credits');
    await page.keyboard.press('5');
    await waitFor(page, 'the jump to 86 s after 5', (s) => Math.abs(s.time - 86) < 0.001 && s.mode === 3);

    // s: the picture as a download under the desktop's name, and "Saved" only once it is one.
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: out});
    await page.keyboard.press('s');
    await waitFor(page, 'the notice of the saved screenshot after s',
                  (s) => s.notice === 'Saved lumenfold-086.00s.png (downloaded)');
    const downloaded = out + '/lumenfold-086.00s.png';
    const until = Date.now() + limit;
    while (!fs.existsSync(downloaded)) {
        if (Date.now() > until) fail(downloaded + ' was not downloaded after s');
        await sleep(100);
    }

    // h: the help, the show's own list of keys in the page's words; Escape closes it and does
    // nothing else.
    await page.keyboard.press('h');
    const help = await waitInPage(page, 'the help after h', () => {
        const h = document.getElementById('help');
        return !h.hidden && h.innerText;
    });
    for (const [line, why] of [[/^s\s+screenshot as a download$/m, 's downloads'],
                               [/^m\s+how movies are made$/m, 'm makes no movie here'],
                               [/^q\s+back to the opening screen$/m, 'q goes back to the opening'],
                               [/^Space Enter k\s+play and pause$/m, 'the page\'s keys']]) {
        if (!line.test(help)) fail('the help does not say ' + why + ':\n' + help);
    }
    if (/quit/.test(help)) fail('the help offers to quit a page:\n' + help);
    await page.keyboard.press('Escape');
    await waitInPage(page, 'the help closed by Escape', () => document.getElementById('help').hidden);
    const afterHelp = await status(page);
    if (afterHelp.mode !== 3 || Math.abs(afterHelp.time - 86) > 0.001) fail('Escape changed the show: ' + JSON.stringify(afterHelp));
    console.log('h shows the show\'s keys in the page; Escape closes them');

    // m: no movie in a browser; it says where movies are made and changes nothing else.
    await page.keyboard.press('m');
    const afterM = await waitFor(page, 'the notice after m',
                                 (s) => s.notice === 'Movies are made by lumenfold-movie, a Linux program not in this release');
    if (afterM.mode !== 3 || Math.abs(afterM.time - 86) > 0.001) {
        fail('m changed the show: ' + JSON.stringify(afterM));
    }

    // f twice: full screen of the whole stage (the controls with it), and back.
    await page.keyboard.press('f');
    await waitInPage(page, 'full screen after f', () => document.fullscreenElement === document.getElementById('stage'));
    await page.keyboard.press('f');
    await waitInPage(page, 'full screen left after a second f', () => !document.fullscreenElement);
    // Escape in full screen leaves it; playing, it never ends the show: the show is seen going
    // on well past the key.
    await page.keyboard.press('k');
    const going = await waitFor(page, 'the show playing again', (s) => s.mode === 1);
    await page.keyboard.press('f');
    await waitInPage(page, 'full screen after f', () => !!document.fullscreenElement);
    await page.keyboard.press('Escape');
    await waitInPage(page, 'full screen left after Escape', () => !document.fullscreenElement);
    await page.keyboard.press('Escape');
    const escaped = await status(page);
    await waitFor(page, 'the show going on after Escape',
                  (s) => s.mode === 1 && s.time > escaped.time + 1 && s.frames > escaped.frames + 5);
    console.log('f toggles full screen; Escape leaves it and the show plays on from ' + going.time.toFixed(2) + ' s');

    // The browser's keys stay the browser's; the show's (an arrow) are taken.
    for (const [key, code, modifiers] of [['Tab', 9, {}], ['F5', 116, {}], ['F11', 122, {}],
                                          ['r', 82, {ctrlKey: true}]]) {
        if (await keyPrevented(page, key, code, modifiers)) {
            fail((modifiers.ctrlKey ? 'Ctrl+' : '') + key + ' was kept from the browser');
        }
    }
    if (!await keyPrevented(page, 'ArrowLeft', 37)) fail('the show no longer takes the arrow keys');
    await page.keyboard.press('Tab');
    const focused = await page.evaluate(() => document.activeElement.id);
    if (!focused || focused === 'canvas') fail('Tab did not move the focus to a control');
    console.log('Tab, F5, F11 and Ctrl+R stay the browser\'s; Tab reaches the controls (' + focused + ')');

    // q: back to the opening screen, the picture as it opened, and the start offered again.
    await page.evaluate(() => document.getElementById('canvas').focus());
    await page.keyboard.press('q');
    await waitFor(page, 'the opening screen after q', (s) => s.mode === 0 && s.heard < 0 && s.clock.startsWith('0:00 '));
    await waitForStart(page, 'the start offered again after q');
    await waitFor(page, 'the notice of m gone', (s) => s.notice === '');
    const drawn = (await status(page)).frames;
    await page.evaluate(() => _glutPostRedisplay());
    await waitFor(page, 'the opening drawn again', (s) => s.frames > drawn);
    if (!(await canvasPicture(page)).equals(opening)) fail('the picture after q is not the opening one');
    console.log('q returns to the opening screen');
    await closePage(page, 'keys');

    // A refused address: one line in the page's words, and a way on.
    const refused = await openPage(browser, base, '?start=abc&paused');
    await waitInPage(refused, 'the refusal of ?start=abc', () => !document.getElementById('restart').hidden);
    const said = await refused.evaluate(() => ({line: document.getElementById('line').textContent,
                                                kind: document.getElementById('line').className,
                                                link: document.getElementById('restart').getAttribute('href'),
                                                label: document.getElementById('restart').textContent}));
    if (said.line !== 'The address cannot be played: start takes a time in seconds from 0 to 130, not \'abc\'.' ||
        said.kind !== 'error' || said.link !== '/index.html' || said.label !== 'Watch from the start') {
        fail('?start=abc: ' + JSON.stringify(said));
    }
    console.log('?start=abc: ' + said.line + ' [' + said.label + ']');
    await closePage(refused, '?start=abc');
}

// ---- The mouse ----------------------------------------------------------------------------

// A desktop mouse: a click on the picture starts the show and then pauses it, a double click is
// full screen and leaves the show as it was, the timeline is dragged and a mark clicked, the
// wheel steps a notch at a time and only over the timeline.
async function mouse(browser, base) {
    const page = await openPage(browser, base, '');
    await waitForStart(page);
    await checkSizes(page, 'desktop');
    const canvas = await centreOf(page, '#canvas');
    const picture = {x: canvas.x, y: canvas.box.y + canvas.box.height * 0.25}; // clear of the panel
    await page.mouse.click(picture.x, picture.y);
    const playing = await waitFor(page, 'the show and its sound after a click', (s) => s.mode === 1 && s.time > 1 && s.heard > 0.5);
    console.log('click: show at ' + playing.time + ' s, sound at ' + playing.heard + ' s');
    await page.mouse.click(picture.x + 30, picture.y); // too far from the first for a double click
    await waitFor(page, 'the pause after a second click', (s) => s.mode === 3 && s.heard < 0);

    await page.mouse.click(picture.x, picture.y, {count: 2});
    await waitInPage(page, 'full screen after a double click', () => document.fullscreenElement === document.getElementById('stage'));
    if ((await status(page)).mode !== 3) fail('the double click left the show playing');
    await page.keyboard.press('f');
    await waitInPage(page, 'full screen left', () => !document.fullscreenElement);
    console.log('double click: full screen, the show still paused');

    // The timeline: pressed, dragged and let go; where it lands is the show's own rule.
    await page.mouse.move(picture.x, picture.y + 5); // the controls show with movement
    await waitFor(page, 'the controls after a movement', (s) => s.controls === 1);
    const t = await track(page);
    const [from, to, end] = [(await t.aim(26)).x, (await t.aim(58.52)).x, (await t.aim(79.28)).x];
    await page.mouse.move(from, t.y);
    await page.mouse.down();
    const fromAt = await t.landsAt(from);
    await waitFor(page, 'the press on the timeline', (s) => Math.abs(s.time - fromAt) < 0.0005);
    await page.mouse.move(to, t.y, {steps: 5});
    const toAt = await t.landsAt(to);
    await waitFor(page, 'the picture following the drag', (s) => Math.abs(s.time - toAt) < 0.0005);
    await page.mouse.move(end, t.y, {steps: 5});
    await page.mouse.up();
    const endAt = await t.landsAt(end);
    const released = await waitFor(page, 'the show where the drag was let go', (s) => Math.abs(s.time - endAt) < 0.0005 && s.mode === 3);
    console.log('drag: ' + fromAt + ' s to ' + toAt + ' s, let go at ' + released.time + ' s');

    // A touchpad's small turns (forward) add up to a notch before they step, and a notch over the
    // picture does nothing: the first change after them, and after one notch back over the
    // timeline, is that one step back. A notch forward then steps forward.
    const f = await facts(page);
    for (let i = 0; i < 10; ++i) await page.mouse.wheel({deltaY: -4});
    await page.mouse.move(picture.x, picture.y);
    await page.mouse.wheel({deltaY: -100});
    await page.mouse.move(end, t.y);
    await page.mouse.wheel({deltaY: 100});
    const stepped = await waitFor(page, 'a change after the wheel', (s) => s.time !== released.time);
    if (Math.abs(stepped.time - (released.time - f.wheelStep)) > 0.0005) {
        fail('ten small turns, a notch over the picture and one back over the timeline went from ' +
             released.time + ' s to ' + stepped.time + ' s, not one step of ' + f.wheelStep + ' s back');
    }
    await page.mouse.wheel({deltaY: -100});
    await waitFor(page, 'a notch forward', (s) => Math.abs(s.time - released.time) < 0.0005);
    console.log('wheel: ' + released.time + ' s to ' + stepped.time + ' s and back');

    // A click near a scene's mark lands on the scene's start.
    const markX = t.x(f.scenes[3]) + 1;
    await page.mouse.click(markX, t.y);
    await waitFor(page, 'the jump to the scene mark clicked', (s) => s.time === f.scenes[3]);
    console.log('a click by the fourth mark: ' + f.scenes[3] + ' s');

    // Idle, the playing show's controls go.
    await page.keyboard.press('k');
    await page.mouse.move(picture.x, picture.y); // over the picture, not the controls
    await waitFor(page, 'the controls gone from a playing show left alone', (s) => s.mode === 1 && s.controls === 0);
    console.log('the controls go from a playing show left alone');
    await closePage(page, 'mouse');
}

// ---- Phones -------------------------------------------------------------------------------

// Every control the visitor can press at least 44 x 44 CSS pixels, every text at least 13 CSS
// pixels, and the panel's text legible over any picture (contrast 4.5 or more over white).
async function checkSizes(page, what) {
    const found = await page.evaluate(() => {
        const visible = (e) => !e.closest('[hidden]') && e.getClientRects().length > 0;
        const small = [], smallText = [], seen = [], texts = [];
        for (const e of document.querySelectorAll('#controls button, #timeline, #panel button, #panel a, #help button')) {
            if (!visible(e)) continue;
            const r = e.getBoundingClientRect();
            seen.push((e.id || e.textContent.trim()) + ' ' + Math.round(r.width) + 'x' + Math.round(r.height));
            if (r.width < 44 || r.height < 44) small.push((e.id || e.textContent.trim()) + ' ' + r.width + ' x ' + r.height);
        }
        for (const e of document.querySelectorAll('#clock, #speed, #line, #about, #progress, #start-label, #panel h1, #notice')) {
            if (!visible(e) || !e.textContent.trim()) continue;
            const size = parseFloat(getComputedStyle(e).fontSize);
            if (size < 13) smallText.push(e.id + ' ' + size + ' px');
            texts.push(e.id + ' ' + size);
        }
        // Text over the panel's translucent black, on the brightest picture there can be.
        const rgba = (c) => c.match(/[\d.]+/g).map(Number);
        const [r, g, b, a = 1] = rgba(getComputedStyle(document.getElementById('panel')).backgroundColor);
        const under = [r, g, b].map((v) => a * v + (1 - a) * 255);
        const text = rgba(getComputedStyle(document.getElementById('about')).color).slice(0, 3);
        const luminance = (c) => c.map((v) => v / 255).map((v) => (v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4))
                                  .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
        const [light, dark] = [luminance(text), luminance(under)].sort((x, y) => y - x);
        return {small, smallText, seen, texts, contrast: (light + 0.05) / (dark + 0.05)};
    });
    if (found.small.length) fail(what + ': controls smaller than 44 x 44: ' + found.small.join(', '));
    if (found.smallText.length) fail(what + ': text under 13 px: ' + found.smallText.join(', '));
    if (found.contrast < 4.5) fail(what + ': the panel\'s text has a contrast of ' + found.contrast.toFixed(2));
    console.log(what + ': controls (CSS px) ' + found.seen.join(', ') + '; text (px) ' + found.texts.join(', ') +
                '; the panel\'s contrast over white ' + found.contrast.toFixed(1));
    return found;
}

// The controls kept clear of the credits line (the show's, drawn into the picture).
async function checkCreditsClear(page, what) {
    const clash = await page.evaluate(() => {
        const f = JSON.parse(UTF8ToString(Module._lumenfold_facts()));
        const c = document.getElementById('canvas'), box = c.getBoundingClientRect();
        const scale = c.width / box.width; // window pixels per CSS pixel
        const credits = {left: box.left + f.creditsLine.left / scale, right: box.left + f.creditsLine.right / scale,
                         top: box.bottom - f.creditsLine.top / scale, bottom: box.bottom - f.creditsLine.bottom / scale};
        const bar = document.getElementById('controls').getBoundingClientRect();
        const overlap = bar.left < credits.right && credits.left < bar.right && bar.top < credits.bottom && credits.top < bar.bottom;
        return {overlap, credits, bar: bar.toJSON()};
    });
    if (clash.overlap) fail(what + ': the controls cover the credits line: ' + JSON.stringify(clash));
}

async function touchTap(page, x, y) {
    await page.touchscreen.tap(x, y);
}

// Runs `act` (a press on the controls of a playing show) while they show with most of their
// 3 s still to go. On a machine busy enough that the time ran out since they were shown, they
// are first shown again by a tap on the bars (which only shows them): the rule is the page's
// real-time one, and a press must come while it holds. What the press does is checked after.
async function whileControlsShow(page, what, bars, act) {
    for (let attempt = 0; ; ++attempt) {
        const s = await status(page);
        if (s.mode !== 1 || (s.controls === 1 && s.idle < 1500)) break;
        if (attempt === 10) fail(what + ': the controls never showed long enough to be pressed');
        await touchTap(page, bars.x, bars.y);
        await waitFor(page, what + ': the controls shown by a tap on the bars', (x) => x.controls === 1);
    }
    await act();
}

async function phone(browser, base) {
    for (const [name, viewport] of Object.entries(kPhones)) {
        const page = await openPage(browser, base, '', {viewport});
        await waitForStart(page, name + ': the start offered');
        await checkSizes(page, name + ', before the start');
        // The help's close button stays in reach however far its list is scrolled (turned, the
        // list is taller than the screen).
        await page.keyboard.press('h');
        await waitInPage(page, name + ': the help after h', () => !document.getElementById('help').hidden);
        const reach = await page.evaluate(() => {
            const h = document.getElementById('help');
            h.scrollTop = h.scrollHeight;
            const c = document.getElementById('help-close').getBoundingClientRect(), b = h.getBoundingClientRect();
            return {scrolls: h.scrollHeight > h.clientHeight, inside: c.top >= b.top - 1 && c.bottom <= b.bottom + 1};
        });
        if (!reach.inside) fail(name + ': the help\'s close button scrolled out of reach');
        if (viewport.height < 500 && !reach.scrolls) fail(name + ': the help fits, so its scrolling was not tried');
        await page.keyboard.press('Escape');
        await waitInPage(page, name + ': the help closed', () => document.getElementById('help').hidden);
        const start = await centreOf(page, '#start');
        await touchTap(page, start.x, start.y);
        const playing = await waitFor(page, name + ': the show and its sound after a tap on Play',
                                      (s) => s.mode === 1 && s.heard > 0.2);
        const canvas = (await centreOf(page, '#canvas')).box;
        const t = await track(page);
        const held = await t.aim(93.6), lift = await t.aim(52);

        // Hidden controls: a tap where the timeline sits only shows them. (Each step that needs
        // the controls follows right after one that showed them: they stay 3 s.)
        await waitFor(page, name + ': the controls going from the playing show', (s) => s.controls === 0);
        const before = await status(page);
        const wall = Date.now();
        await touchTap(page, t.x(65), t.y);
        const shown = await waitFor(page, name + ': the controls after a tap on them hidden', (s) => s.controls === 1);
        if (shown.mode !== 1 || shown.time < before.time || shown.time > before.time + (Date.now() - wall) / 1000 + 0.5) {
            fail(name + ': a tap on the hidden controls changed the show: ' + JSON.stringify(before) + ' then ' + JSON.stringify(shown));
        }
        // The play button pauses; paused, the controls stay well past the time they would go.
        const play = await centreOf(page, '#play');
        const bars = viewport.width < viewport.height ? {x: viewport.width / 2, y: canvas.y / 2}
                                                      : {x: canvas.x / 2, y: viewport.height / 2};
        await whileControlsShow(page, name + ': the play button', bars, () => touchTap(page, play.x, play.y));
        await waitFor(page, name + ': paused by the play button', (s) => s.mode === 3 && s.heard < 0);
        await checkSizes(page, name + ', paused');
        await waitFor(page, name + ': paused and left alone for 3.6 s', (s) => s.idle > 3600);
        const still = await status(page);
        if (still.controls !== 1 || still.mode !== 3) fail(name + ': paused, the controls went: ' + JSON.stringify(still));
        await checkCreditsClear(page, name + ', paused');

        // A finger on the timeline: the picture follows it and stays where it is lifted.
        const finger = await page.touchscreen.touchStart(t.x(40), t.y);
        for (const at of [45.6, 65]) await finger.move(t.x(at), t.y);
        await finger.move(held.x, t.y);
        await waitFor(page, name + ': the picture under the finger', (s) => Math.abs(s.time - held.at) < 0.0005);
        await finger.end();
        const lifted = await waitFor(page, name + ': the show where the finger was lifted',
                                     (s) => Math.abs(s.time - held.at) < 0.0005 && s.mode === 3);
        // Playing, it plays on with its sound from where the finger left.
        await touchTap(page, play.x, play.y);
        await waitFor(page, name + ': playing again by the play button', (s) => s.mode === 1);
        await whileControlsShow(page, name + ': the timeline', bars, async () => {
            const second = await page.touchscreen.touchStart(t.x(65), t.y);
            await second.move(lift.x, t.y);
            await second.end();
        });
        const resumed = await waitFor(page, name + ': the show and its sound going on where the finger left',
                                      (s) => s.mode === 1 && s.heard >= 0 && s.time >= lift.at && s.time < lift.at + 5 &&
                                             Math.abs(s.heard - s.time) < 0.5);

        // A tap on the picture while they show hides them; one on the black bars shows them.
        // (Hidden by the tap, as the page reports, not by their time running out.)
        await whileControlsShow(page, name + ': a tap on the picture', bars,
                                () => touchTap(page, canvas.x + canvas.width * 0.3, canvas.y + canvas.height * 0.3));
        await waitFor(page, name + ': the controls hidden by a tap on the playing picture',
                      (x) => x.controls === 0 && x.tapHid === 1 && x.mode === 1);
        await touchTap(page, bars.x, bars.y);
        await waitFor(page, name + ': the controls after a tap on the bars', (s) => s.controls === 1 && s.mode === 1);
        console.log(name + ': taps show and hide the controls; ' +
                    'touch scrub lifted at ' + lifted.time + ' s, played on from ' + lift.at + ' s (show ' +
                    resumed.time + ' s, sound ' + resumed.heard + ' s); playing from ' + playing.time + ' s');

        // Two quick taps on the picture: full screen, the show as it was.
        const cdp = await page.createCDPSession();
        const point = [{x: canvas.x + canvas.width / 2, y: canvas.y + canvas.height * 0.3}];
        await Promise.all([
            cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: point}),
            cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []}),
            cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: point}),
            cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []}),
        ]);
        await waitInPage(page, name + ': full screen after a double tap',
                         () => document.fullscreenElement === document.getElementById('stage'));
        const after = await status(page);
        if (after.mode !== 1) fail(name + ': the double tap left the show in mode ' + after.mode);
        await closePage(page, name);
    }
}

// ---- Faults -------------------------------------------------------------------------------

// The panel's line once the page has settled on it (a failure shown, or the way on offered).
async function settledLine(page, what) {
    return waitInPage(page, what, () => {
        const l = document.getElementById('line');
        const settled = !document.getElementById('restart').hidden || l.className === 'error';
        return settled && {text: l.textContent, kind: l.className, width: l.scrollWidth,
                           box: document.getElementById('panel').getBoundingClientRect().toJSON(),
                           restart: !document.getElementById('restart').hidden,
                           silent: !document.getElementById('silent').hidden, innerWidth};
    });
}

async function faults(browser) {
    const server = await serve();
    const addresses = [
        ['?help', (t) => /^This page plays Lumenfold/.test(t) && /\?start=84&paused/.test(t) && /\?speed=/.test(t) &&
                         /\?loop/.test(t) && /\?mute/.test(t) && !/--/.test(t)],
        // The build's own version (the test's environment names it).
        ['?version', (t) => t === 'lumenfold ' + process.env.LUMENFOLD_VERSION],
        ['?unknown=1', (t) => t === 'This page has no parameter \'unknown\': ?help lists the ones it takes.'],
        ['?start=1%0Ax&paused', (t) => t === 'The address cannot be played: start takes a time in seconds from 0 to 130, not \'1\nx\'.'],
        ['?start=' + '9'.repeat(5000), (t) => t.endsWith('not \'' + '9'.repeat(40) + '\u2026\'.')],
    ];
    for (const [query, test] of addresses) {
        const page = await openPage(browser, server.url, query);
        const line = await settledLine(page, query.slice(0, 30));
        // The way on is offered last: no hint can come after it.
        if (!test(line.text) || !line.restart) fail(query.slice(0, 30) + ': the page shows ' + JSON.stringify(line));
        if (line.box.right > line.innerWidth || line.box.left < 0) fail(query.slice(0, 30) + ': the line runs off the page');
        const s = await status(page);
        if (s.frames !== 0 || !/refused|exited/.test(s.state)) fail(query.slice(0, 30) + ': ' + JSON.stringify(s));
        console.log(query.slice(0, 30) + ': ' + line.text.split('\n')[0]);
        await closePage(page, query.slice(0, 30));
    }
    // A shared link's tags (a newsletter's, a social network's) are passed over: the show opens
    // where the address asks, and the way-on link reads as a button as the others do.
    const tagged = await openPage(browser, server.url, '?start=84&paused&utm_source=newsletter&fbclid=IwAR0abc');
    await waitForPicture(tagged, 'the picture of 84 s from a tagged link', (s) => s.time === 84 && s.mode === 3);
    const linkLook = await tagged.evaluate(() => getComputedStyle(document.getElementById('restart')).backgroundColor);
    if (linkLook === 'rgba(0, 0, 0, 0)' || linkLook === 'transparent') fail('"Watch from the start" has no button of its own: ' + linkLook);
    console.log('a tagged link opens at 84 s; the way-on link looks like a button (' + linkLook + ')');
    await closePage(tagged, 'tagged link');
    await server.close();

    // Files missing or damaged: each said in its own words, with no uncaught error.
    const wasm = fs.readFileSync(site + '/lumenfold.wasm'), data = fs.readFileSync(site + '/lumenfold.data');
    const cases = [
        ['lumenfold.data missing', {'lumenfold.data': null}, /data \(lumenfold\.data\) could not be loaded: 404 File not found/],
        ['lumenfold.data damaged', {'lumenfold.data': data.subarray(0, 5000)}, /data \(lumenfold\.data\) arrived damaged \(5,000 bytes of/],
        ['lumenfold.wasm missing', {'lumenfold.wasm': null}, /program \(lumenfold\.wasm\) could not be loaded: 404 File not found/],
        ['lumenfold.wasm damaged', {'lumenfold.wasm': Buffer.concat([wasm.subarray(0, 8), Buffer.alloc(4000, 7)])},
         /program \(lumenfold\.wasm\) arrived damaged and cannot run/],
        ['lumenfold.js missing', {'lumenfold.js': null}, /program \(lumenfold\.js\) could not be loaded/],
    ];
    for (const [what, changes, words] of cases) {
        const broken = await serve(changes);
        const missing = Object.keys(changes).filter((name) => changes[name] === null);
        const page = await openPage(browser, broken.url, '', {missing});
        const line = await settledLine(page, what);
        if (!words.test(line.text) || line.kind !== 'error') fail(what + ': the page shows ' + JSON.stringify(line));
        console.log(what + ': ' + line.text);
        await closePage(page, what);
        await broken.close();
    }

    // Both soundtracks missing: said in one line, and the show plays without them when asked.
    const silent = await serve({'Sonavel.ogg': null, 'Sonavel.mp3': null});
    const page = await openPage(browser, silent.url, '', {missing: ['Sonavel.ogg', 'Sonavel.mp3']});
    await waitInPage(page, 'the music\'s failure said', () => !document.getElementById('silent').hidden);
    const said = await page.$eval('#line', (e) => e.textContent);
    if (!/^The music could not be loaded \(.*Sonavel\.ogg: 404.*Sonavel\.mp3: 404.*\)\.$/.test(said)) fail('without music: ' + said);
    if (!await page.$eval('#start', (e) => e.hidden)) fail('without music, the start was offered as if it had music');
    const choice = await centreOf(page, '#silent');
    await page.mouse.click(choice.x, choice.y);
    const quiet = await waitFor(page, 'the show playing without music', (s) => s.mode === 1 && s.time > 1);
    if (quiet.heard >= 0 || quiet.sound !== 0) fail('without music: ' + JSON.stringify(quiet));
    console.log('without the soundtracks: "' + said + '", then played silent');
    await closePage(page, 'without the soundtracks');
    await silent.close();

    // JavaScript off: the <noscript> line, and no "Loading" that never ends.
    const server2 = await serve();
    const noScript = await browser.newPage();
    await noScript.setJavaScriptEnabled(false);
    await noScript.goto(server2.url + 'index.html');
    const words = await noScript.evaluate(() => document.body.innerText);
    if (!/allow JavaScript for this page to watch it/.test(words) || /Loading/.test(words)) fail('without JavaScript the page says: ' + words);
    console.log('without JavaScript: ' + words.trim());
    await noScript.close();

    // ?fullscreen: no error; full screen comes with the first press of Play. (Puppeteer's page
    // opens with the user's activation, which a visitor's does not have: until the first press,
    // the page is told it has none.)
    const full = await openPage(browser, server2.url, '?fullscreen', {before: (p) => p.evaluateOnNewDocument(() => {
        const activation = Object.getPrototypeOf(navigator.userActivation);
        const isActive = Object.getOwnPropertyDescriptor(activation, 'isActive').get;
        let pressed = false;
        window.addEventListener('pointerdown', () => { pressed = true; }, true);
        Object.defineProperty(activation, 'isActive', {get() { return pressed && isActive.call(this); }});
    })});
    await waitForStart(full, '?fullscreen: the start offered');
    const note = await full.$eval('#notice', (e) => !e.hidden && e.textContent);
    if (!/Full screen comes on with your first tap/.test(note || '')) fail('?fullscreen: the notice says ' + note);
    if (await full.evaluate(() => !!document.fullscreenElement)) fail('?fullscreen: full screen without a press');
    const play = await centreOf(full, '#start');
    await full.mouse.click(play.x, play.y);
    await waitInPage(full, '?fullscreen: full screen with the first press of Play', () => !!document.fullscreenElement);
    await waitFor(full, '?fullscreen: playing', (s) => s.mode === 1);
    console.log('?fullscreen: "' + note + '", then full screen with Play');
    await closePage(full, '?fullscreen');

    // A phone turned again and again while the page loads.
    const turning = await openPage(browser, server2.url, '', {viewport: kPhones['phone upright']});
    let turns = 0;
    while (await turning.$eval('#start', (e) => e.hidden)) {
        await turning.setViewport(Object.values(kPhones)[++turns % 2]);
        checkProblems(turning, 'turned while loading');
        if (turns > 4000) fail('turned while loading: the start never came');
    }
    await turning.setViewport(kPhones['phone upright']);
    await waitInPage(turning, 'the picture across the upright phone', () => Math.abs(document.getElementById('canvas').getBoundingClientRect().width - innerWidth) < 1);
    console.log('turned ' + turns + ' times while loading: no error');
    await closePage(turning, 'turned while loading');

    // A lost WebGL context: said at once; the page comes back at the moment it had reached,
    // paused, and says so.
    const lost = await openPage(browser, server2.url, '?start=47&paused');
    await waitForPicture(lost, 'the picture of 47 s', (s) => s.time === 47);
    await lost.evaluate(() => {
        window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
        window.loseContext.loseContext();
    });
    await waitInPage(lost, 'the lost picture said', () => /taken the picture away/.test(document.getElementById('notice').textContent));
    await Promise.all([lost.waitForNavigation({timeout: limit}), lost.evaluate(() => window.loseContext.restoreContext())]);
    await waitForPicture(lost, 'the picture of 47 s again', (s) => s.time === 47 && s.mode === 3);
    const back = await lost.evaluate(() => ({search: location.search, note: document.getElementById('notice').textContent}));
    if (!/start=47/.test(back.search) || !/paused/.test(back.search) || !/Paused here .*press play/.test(back.note)) {
        fail('after the lost context: ' + JSON.stringify(back));
    }
    await canvasPicture(lost, out + '/restored.png');
    console.log('a lost context comes back at 47 s, paused: "' + back.note + '"');
    await closePage(lost, 'the lost context');
    await server2.close();

    // ?start=84 asks to play from there: where sound may start only after a press, the page
    // waits at 84 s and offers to play from there, with the music from 84 s. (Puppeteer's pages
    // open with the visitor's activation, which lets sound start: until the first press, the
    // page's audio is told it may not, as a browser's autoplay policy says.)
    const server4 = await serve();
    const page4 = await openPage(browser, server4.url, '?start=84', {before: (p) => p.evaluateOnNewDocument(() => {
        let pressed = false;
        window.addEventListener('pointerdown', () => { pressed = true; }, true);
        const state = Object.getOwnPropertyDescriptor(BaseAudioContext.prototype, 'state').get;
        Object.defineProperty(BaseAudioContext.prototype, 'state', {
            get() { return pressed ? state.call(this) : 'suspended'; }});
    })});
    await waitForStart(page4, '?start=84: the start offered');
    const offered = await page4.evaluate(() => document.getElementById('start').textContent.trim());
    const waiting = await status(page4);
    if (offered !== 'Play from 1:24' || waiting.mode !== 3 || waiting.time !== 84) {
        fail('?start=84 without sound allowed: "' + offered + '", ' + JSON.stringify(waiting));
    }
    const button = await centreOf(page4, '#start');
    await page4.mouse.click(button.x, button.y);
    const from84 = await waitFor(page4, '?start=84: playing from 84 s with its music',
                                 (s) => s.mode === 1 && s.heard >= 84 && s.time > 84.5);
    const first = await page4.evaluate(() => Module.sound.firstStart.at);
    if (Math.abs(first - 84) > 0.05) fail('?start=84: the music began at ' + first + ' s');
    console.log('?start=84: "' + offered + '", then the show and its music from 84 s (' + from84.heard + ' s heard)');
    await closePage(page4, '?start=84');
    // Where sound may start unasked, it plays from there as soon as the music has come.
    const page5 = await openPage(browser, server4.url, '?start=84');
    const unasked = await waitFor(page5, '?start=84: playing from 84 s unasked', (s) => s.mode === 1 && s.heard >= 84);
    const began = await page5.evaluate(() => Module.sound.firstStart.at);
    if (Math.abs(began - 84) > 0.05) fail('?start=84 unasked: the music began at ' + began + ' s');
    console.log('?start=84 where sound may start unasked: playing from 84 s (' + unasked.heard + ' s heard)');
    await closePage(page5, '?start=84 unasked');
    await server4.close();

    // A browser whose WebGL 2 cannot make a context.
    const noGl = await launchHeadlessChromium(['--disable-webgl2']);
    try {
        const server3 = await serve();
        const page3 = await openPage(noGl, server3.url, '');
        const line = await settledLine(page3, 'without WebGL 2');
        if (!/^This browser cannot draw the show: it needs WebGL 2/.test(line.text)) fail('without WebGL 2: ' + JSON.stringify(line));
        console.log('without WebGL 2: ' + line.text);
        await closePage(page3, 'without WebGL 2');
        await server3.close();
    } finally {
        await noGl.close();
    }
}

// ---- The network --------------------------------------------------------------------------

// The show's start on a slow link (2 Mbit/s, 150 ms each way): the start offered once the music
// can play from its first note, and that note heard as the picture starts.
async function slowLink(browser) {
    const server = await serve();
    const context = await browser.createBrowserContext();
    const page = await openPage(context, server.url, '', {before: async (p) => {
        await p.setBypassServiceWorker(true);
        const cdp = await p.createCDPSession();
        await cdp.send('Network.enable');
        await cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
        await cdp.send('Network.emulateNetworkConditions', {offline: false, latency: 150,
                                                             downloadThroughput: 2e6 / 8, uploadThroughput: 2e6 / 8});
    }});
    const opened = Date.now();
    await waitForStart(page, 'the start on a slow link');
    const offeredAfter = Date.now() - opened;
    const play = await centreOf(page, '#start');
    await page.mouse.click(play.x, play.y);
    const s = await waitFor(page, 'the show and its music after Play on a slow link', (x) => x.mode === 1 && x.heard >= 0 && x.time > 0.5);
    // The show time when the music's first sample was heard: from when the soundtrack started
    // (recorded by the page's sound) and the show's clock read at one moment since.
    const first = await page.evaluate(() => {
        const read = JSON.parse(UTF8ToString(Module._lumenfold_status()));
        return {start: Module.sound.firstStart, now: performance.now(), time: read.time, mode: read.mode};
    });
    const showTimeAtFirstNote = first.time - (first.now - first.start.wall) / 1000 + first.start.latency;
    console.log('slow link: start offered ' + (offeredAfter / 1000).toFixed(1) + ' s after opening; the music ' +
                'began at its ' + first.start.at.toFixed(3) + ' s, heard at show time ' + showTimeAtFirstNote.toFixed(3) + ' s');
    if (first.start.at > 0.1 || Math.abs(showTimeAtFirstNote) > 0.1 || first.mode !== 1 || s.speed !== 1) {
        fail('on a slow link the music did not start with the show: ' + JSON.stringify(first));
    }
    await closePage(page, 'slow link');
    await context.close();
    await server.close();
}

// After one visit the page plays with the server gone and the network off; its manifest is
// valid with its icons; a new build's worker replaces the old cache.
async function offline(browser) {
    const server = await serve();
    const context = await browser.createBrowserContext();
    const page = await openPage(context, server.url, '');
    await waitForStart(page, 'the first visit\'s start');
    const manifest = await page.evaluate(async () => {
        const link = document.querySelector('link[rel=manifest]');
        const m = await (await fetch(link.href)).json();
        const icons = await Promise.all(m.icons.map((icon) => new Promise((resolve) => {
            const image = new Image();
            image.onload = () => resolve({sizes: icon.sizes, real: image.naturalWidth + 'x' + image.naturalHeight});
            image.onerror = () => resolve({sizes: icon.sizes, real: 'missing'});
            image.src = new URL(icon.src, link.href);
        })));
        return {m, icons};
    });
    const m = manifest.m;
    if (m.name !== 'Lumenfold' || !/^(fullscreen|standalone)$/.test(m.display) || !/landscape/.test(m.orientation) ||
        !m.start_url || !manifest.icons.some((i) => i.sizes === '192x192') || !manifest.icons.some((i) => i.sizes === '512x512') ||
        manifest.icons.some((i) => i.real !== i.sizes)) {
        fail('the manifest: ' + JSON.stringify(manifest));
    }
    console.log('manifest: ' + m.name + ', ' + m.display + ', ' + m.orientation + ', icons ' +
                manifest.icons.map((i) => i.real).join(' and '));
    const kept = await waitInPage(page, 'the service worker active with the page and its music kept', async () => {
        const registration = await navigator.serviceWorker.getRegistration();
        if (!registration || !registration.active || registration.active.state !== 'activated') return false;
        const names = await caches.keys();
        if (names.length !== 1) return false;
        const cache = await caches.open(names[0]);
        const files = (await cache.keys()).map((r) => new URL(r.url).pathname);
        return files.includes('/' + Module.sound.url) && files.includes('/lumenfold.wasm') && {name: names[0], files};
    });
    console.log('kept for offline in ' + kept.name + ': ' + kept.files.length + ' files');
    await closePage(page, 'the first visit');

    await server.close();
    const again = await context.newPage();
    again.problems = [];
    again.on('pageerror', (error) => again.problems.push('uncaught error: ' + error.message));
    again.on('console', (message) => {
        if (message.type() === 'error') again.problems.push('console error: ' + message.text());
    });
    await again.setViewport(kDesktop);
    await again.setOfflineMode(true);
    await again.goto(server.url + 'index.html');
    await waitForStart(again, 'the start with the network off');
    const play = await centreOf(again, '#start');
    await again.mouse.click(play.x, play.y);
    await waitFor(again, 'the show and its music with the network off', (s) => s.mode === 1 && s.heard > 0.5);
    console.log('with the server gone and the network off: the show plays with its music');
    await closePage(again, 'offline');

    // A new build: the worker of another cache name takes over and the old cache goes.
    const sw = fs.readFileSync(site + '/sw.js', 'utf8');
    const renamed = sw.replace(/const kCache = '([^']+)'/, 'const kCache = \'$1-next\'');
    if (renamed === sw) fail('sw.js names no cache');
    // The same origin as before: the server comes back on the port the worker knows.
    const rebuilt = await serve({'sw.js': Buffer.from(renamed)}, Number(new URL(server.url).port));
    const third = await openPage(context, rebuilt.url, '');
    await waitForStart(third, 'the start after a new build');
    const swapped = await waitInPage(third, 'the old cache replaced by the new build\'s', async (name) => {
        const registration = await navigator.serviceWorker.getRegistration();
        if (registration) await registration.update();
        const names = await caches.keys();
        return names.length === 1 && names[0] === name + '-next' && names;
    }, kept.name);
    console.log('a new build\'s worker replaced ' + kept.name + ' by ' + swapped[0]);
    await closePage(third, 'the new build');
    await rebuilt.close();
    await context.close();
}

async function network(browser) {
    await slowLink(browser);
    await offline(browser);
}

// ---- A browser without Opus ---------------------------------------------------------------

// A browser that cannot play Ogg Opus: it fetches the MP3 and never the Ogg, plays it, and
// downloads no more than 4 MB in all.
async function withoutOpus(browser) {
    const server = await serve();
    const context = await browser.createBrowserContext();
    const urls = new Map(), bytes = new Map();
    const page = await openPage(context, server.url, '', {before: async (p) => {
        await p.evaluateOnNewDocument(() => {
            const canPlay = HTMLMediaElement.prototype.canPlayType;
            HTMLMediaElement.prototype.canPlayType = function(type) {
                return /opus/i.test(type) ? '' : canPlay.call(this, type);
            };
        });
        await p.setBypassServiceWorker(true);
        const cdp = await p.createCDPSession();
        await cdp.send('Network.enable');
        await cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
        cdp.on('Network.requestWillBeSent', (e) => urls.set(e.requestId, e.request.url));
        cdp.on('Network.loadingFinished', (e) => bytes.set(e.requestId, e.encodedDataLength));
    }});
    await waitForStart(page);
    await page.keyboard.press('a');
    await waitFor(page, 'the MP3 heard after a', (s) => s.mode === 1 && s.heard > 0.5);
    const files = [...urls].map(([id, url]) => [url.replace(server.url, ''), bytes.get(id) || 0]);
    const total = files.reduce((sum, [, n]) => sum + n, 0);
    if (files.some(([name]) => /\.ogg$/.test(name))) fail('the Ogg was fetched: ' + JSON.stringify(files));
    if (!files.some(([name]) => /\.mp3$/.test(name))) fail('no MP3 was fetched: ' + JSON.stringify(files));
    if (total > 4 * 1024 * 1024) fail(total + ' bytes over the wire: ' + JSON.stringify(files));
    console.log('without Opus: ' + total + ' bytes over the wire (' + files.map(([name, n]) => name + ' ' + n).join(', ') + ')');
    await closePage(page, 'without Opus');
    await context.close();
    await server.close();
}

// ---- The pictures for docs/ ---------------------------------------------------------------

async function screenshots(browser) {
    const server = await serve();
    const phone = kPhones['phone upright'];
    let page = await openPage(browser, server.url, '', {viewport: phone});
    await waitForStart(page);
    await page.screenshot({path: out + '/page-phone-start.png'});
    const start = await centreOf(page, '#start');
    await touchTap(page, start.x, start.y);
    await waitFor(page, 'playing', (s) => s.mode === 1 && s.time > 17);
    await page.touchscreen.tap(phone.width / 2, 100);
    await waitFor(page, 'the controls', (s) => s.controls === 1);
    // Taken once they have faded fully in (a playing show's controls fade in and out).
    await waitInPage(page, 'the controls fully shown',
                     () => getComputedStyle(document.getElementById('controls')).opacity === '1');
    await page.screenshot({path: out + '/page-phone-controls.png'});
    await closePage(page);
    page = await openPage(browser, server.url, '?start=125&paused', {viewport: kPhones['phone sideways']});
    await waitForPicture(page, 'the picture of 125 s', (s) => s.time === 125);
    await page.screenshot({path: out + '/page-phone-paused.png'});
    await closePage(page);
    page = await openPage(browser, server.url, '?start=84&paused', {viewport: kDesktop});
    await waitForPicture(page, 'the picture of 84 s', (s) => s.time === 84);
    await page.screenshot({path: out + '/page-desktop.png'});
    await closePage(page);
    await server.close();
}

// ---- Comparing pictures -------------------------------------------------------------------

// The share of pixels of two raw RGB pictures of one size whose channels all lie within 24/255.
function match(a, b) {
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
    match(site, out);
    process.exit(0);
}

const browser = await launchHeadlessChromium();
try {
    const commands = {pictures, keys, mouse, phone, faults, network, screenshots,
                      'without-opus': withoutOpus};
    if (!commands[command]) fail('unknown command ' + command);
    if (command === 'pictures' || command === 'keys' || command === 'mouse' || command === 'phone') {
        const server = await serve();
        await commands[command](browser, server.url);
        await server.close();
    } else {
        await commands[command](browser);
    }
} finally {
    await browser.close();
}
