// Drives the show's page in headless Chromium (software WebGL 2) through puppeteer-core, the way
// a visitor would: real key presses, screenshots of the canvas, and the page's status read back.
//   node drive.mjs pictures BASE_URL OUT_DIR SECONDS...   ?start=T&paused for each T -> OUT_DIR/web-T.png
//   node drive.mjs keys BASE_URL OUT_DIR                  a, p, 5, s, h, m, q and a bad address
//   node drive.mjs match A.rgb B.rgb                      the share of pixels within 24/255
//   node drive.mjs faults BASE_URL OUT_DIR                ?help, ?version, a value with a newline,
//                                                         a lost WebGL context
//   node drive.mjs mouse BASE_URL OUT_DIR                 clicks, double click, drag, wheel
//   node drive.mjs phone BASE_URL OUT_DIR                 an emulated phone's canvas and touches
//   node drive.mjs without-opus BASE_URL OUT_DIR          what a browser without Opus downloads
// Every wait is for an event and bounded; a wait that runs out says what did not happen.
import {launchHeadlessChromium} from './headless_chromium.mjs';

const [command, base, out, ...rest] = process.argv.slice(2);
const limit = 1000 * Number(process.env.E2E_WAIT_SECONDS || 180);

function fail(what) {
    console.log('FAIL: ' + what);
    process.exit(1);
}

const kDesktop = {width: 720, height: 576};
const kPhone = {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true};

async function openPage(browser, query, viewport = kDesktop) {
    const page = await browser.newPage();
    await page.setViewport(viewport);
    // Full-screen requests are counted, whether or not the browser grants them.
    await page.evaluateOnNewDocument(() => {
        window.fullScreenRequests = 0;
        const request = Element.prototype.requestFullscreen;
        Element.prototype.requestFullscreen = function(...args) {
            ++window.fullScreenRequests;
            return request.apply(this, args);
        };
    });
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

// Waits for `test(status)` once the page has set up (sized the canvas, which clears it), then
// for one frame more: that frame is the picture shown. (The frames asked for before and after
// the sizing can be drawn as one or as two.)
async function waitForPicture(page, what, test) {
    await waitFor(page, what, (s) => test(s) && s.frames >= 1);
    await waitForLine(page, what + ' (the page set up)', (l) => l.text !== 'Loading the show…');
    const drawn = (await status(page)).frames;
    await page.evaluate(() => _glutPostRedisplay());
    return waitFor(page, what + ' (drawn again)', (s) => s.frames > drawn && test(s));
}

async function shot(page, path) {
    const canvas = await page.$('#canvas');
    await canvas.screenshot({path});
}

async function pictures(browser) {
    for (const t of rest) {
        const page = await openPage(browser, '?start=' + t + '&paused');
        const ms = Math.round(Number(t) * 1000);
        const at = await waitForPicture(page, 'the picture of ' + t + ' s',
                                        (s) => Math.round(s.time * 1000) === ms);
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
    if (hint !== 'Click or press a to start the show, h for the keys') {
        fail('the hint before the show says: ' + hint);
    }

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
    // The help says what the page's s and m do.
    const help = await page.evaluate(() => UTF8ToString(Module._lumenfold_keys()));
    if (!/^s +screenshot as a download$/m.test(help) || /screenshots\//.test(help)) {
        fail('the help does not say s downloads:\n' + help);
    }
    if (!/^m +how movies are made$/m.test(help)) fail('the help promises a movie:\n' + help);
    console.log('h shows the help');

    // m: no movie in a browser; it says where movies are made and changes nothing else.
    await page.keyboard.press('m');
    const afterM = await waitFor(page, 'the notice after m',
                                 (s) => s.notice === 'Movies are made by lumenfold-movie, a Linux program not in this release');
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

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Waits until the page's line says `test(text, className)`.
async function waitForLine(page, what, test) {
    const deadline = Date.now() + limit;
    for (;;) {
        const line = await page.$eval('#line', (e) => ({text: e.textContent, kind: e.className,
                                                         shown: e.style.display !== 'none'}));
        if (test(line)) return line;
        if (Date.now() > deadline) fail(what + ': the page says "' + line.text + '"');
        await sleep(100);
    }
}

// The address stops the show before it runs: the page shows the usage, the version or the
// refusal (whatever the value holds), and no hint to start a show that will not run. A lost
// WebGL context says so, and the picture comes back at the moment the show had reached.
async function faults(browser) {
    const expectations = [
        ['?help', 'text', (t) => /^usage: lumenfold \[options\]\n/.test(t) && /--start SECONDS/.test(t)],
        // The build's own version (the test's environment names it).
        ['?version', 'text', (t) => t === 'lumenfold ' + process.env.LUMENFOLD_VERSION],
        ['?start=1%0Ax&paused', 'error',
         (t) => t === "lumenfold: --start takes a time in seconds from 0 to 130, not '1\nx'"],
    ];
    for (const [query, kind, test] of expectations) {
        const page = await openPage(browser, query);
        const line = await waitForLine(page, query, (l) => l.text !== 'Loading the show…');
        if (!test(line.text) || line.kind !== kind || !line.shown) {
            fail(query + ': the page shows (' + line.kind + ') "' + line.text + '"');
        }
        await sleep(500); // nothing may replace it (the hint came 0 ms after main before)
        const later = await page.$eval('#line', (e) => e.textContent);
        if (later !== line.text) fail(query + ': the line became "' + later + '"');
        const s = await status(page);
        if (s.frames !== 0 || s.state !== (kind === 'error' ? 'refused' : 'exited')) {
            fail(query + ': ' + JSON.stringify(s));
        }
        console.log(query + ': ' + line.text.split('\n')[0]);
        await page.close();
    }

    const page = await openPage(browser, '?start=47&paused');
    await waitForPicture(page, 'the picture of 47 s', (s) => s.time === 47);
    await page.evaluate(() => {
        window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
        window.loseContext.loseContext();
    });
    await waitForLine(page, 'a word about the lost picture',
                      (l) => l.shown && l.kind === 'error' && /picture/.test(l.text) && !/\n/.test(l.text));
    await Promise.all([page.waitForNavigation({timeout: limit}),
                       page.evaluate(() => window.loseContext.restoreContext())]);
    if (!/[?&]start=47\.00&paused$/.test(page.url())) fail('the page came back as ' + page.url());
    await waitForPicture(page, 'the picture of 47 s again', (s) => s.time === 47 && s.mode === 3);
    await shot(page, out + '/restored.png'); // browser.sh checks it is not dark
    console.log('a lost WebGL context: the page said so and came back at ' + page.url().split('?')[1]);
    await page.close();
}

// The strip's timeline on the page: where a moment lies, in CSS pixels, and the span of one
// CSS pixel in seconds.
async function timeline(page) {
    const t = await page.evaluate(() => {
        const r = canvas.getBoundingClientRect();
        return {...JSON.parse(UTF8ToString(Module._lumenfold_timeline())), rectLeft: r.left,
                rectBottom: r.bottom, k: r.width / canvas.width};
    });
    const width = t.right - t.left;
    t.x = (seconds) => t.rectLeft + (t.left + seconds / t.length * width + 0.5) * t.k;
    t.pageY = t.rectBottom - (t.y + 0.5) * t.k;
    t.perCssPixel = t.length / width * t.k;
    return t;
}

// Halfway between two scene marks: no mark pulls a drag there.
function between(t, i) {
    return (t.marks[i] + t.marks[i + 1]) / 2;
}

function near(what, seconds, expected, tolerance) {
    if (!(Math.abs(seconds - expected) <= tolerance)) {
        fail(what + ': ' + seconds + ' s, not within ' + tolerance.toFixed(3) + ' s of ' + expected);
    }
}

async function canvasCentre(page) {
    return page.evaluate(() => {
        const r = canvas.getBoundingClientRect();
        return {x: r.left + r.width / 2, y: r.top + r.height / 2};
    });
}

// A desktop mouse: a click starts the show with its sound and then pauses, the timeline is
// dragged and clicked, the wheel steps over it, and a double click asks for full screen
// without leaving the show paused or playing otherwise than before.
async function mouse(browser) {
    const page = await openPage(browser, '');
    await waitFor(page, 'the opening picture', (s) => s.frames >= 1 && s.mode === 0);
    const centre = await canvasCentre(page);
    await page.mouse.click(centre.x, centre.y);
    const playing = await waitFor(page, 'the show and its sound after a click',
                                  (s) => s.mode === 1 && s.time > 1 && s.heard > 0.5);
    console.log('click: show at ' + playing.time + ' s, sound at ' + playing.heard + ' s');
    await page.mouse.click(centre.x + 30, centre.y); // too far from the first for a double click
    await waitFor(page, 'the pause after a second click', (s) => s.mode === 3 && s.heard < 0);

    const t = await timeline(page);
    const from = between(t, 1), to = between(t, 2), end = between(t, 4);
    const tolerance = t.perCssPixel + 0.04;
    await page.mouse.move(centre.x, centre.y + 10); // the strip appears with movement
    await page.mouse.move(t.x(from), t.pageY);
    await page.mouse.down();
    await waitFor(page, 'the press on the timeline', (s) => Math.abs(s.time - from) <= tolerance);
    await page.mouse.move(t.x(to), t.pageY, {steps: 5});
    const held = await waitFor(page, 'the picture following the drag',
                               (s) => Math.abs(s.time - to) <= tolerance);
    await page.mouse.move(t.x(end), t.pageY, {steps: 5});
    await page.mouse.up();
    const released = await waitFor(page, 'the show where the drag was released',
                                   (s) => Math.abs(s.time - end) <= tolerance && s.mode === 3);
    console.log('drag: ' + from + ' s to ' + held.time + ' s, released at ' + released.time +
                ' s (aimed at ' + end + ' s)');

    await page.mouse.wheel({deltaY: -100});
    const forward = await waitFor(page, 'a wheel step forward over the timeline',
                                  (s) => Math.abs(s.time - (released.time + 5)) < 0.001);
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.wheel({deltaY: 100});
    await sleep(500);
    if ((await status(page)).time !== forward.time) fail('the wheel over the picture moved the show');

    await page.mouse.move(t.x(t.marks[3]) + 1, t.pageY);
    await page.mouse.click(t.x(t.marks[3]) + 1, t.pageY);
    await waitFor(page, 'the jump to the scene mark clicked', (s) => s.time === t.marks[3]);
    console.log('wheel: ' + released.time + ' s to ' + forward.time + ' s; a mark to ' + t.marks[3] + ' s');

    await page.mouse.click(centre.x, centre.y, {count: 2});
    await page.waitForFunction(() => window.fullScreenRequests === 1, {timeout: limit})
        .catch(() => fail('a double click asked for no full screen'));
    await sleep(500);
    const after = await status(page);
    if (after.mode !== 3) fail('the double click left the show in mode ' + after.mode);
    // Where the browser grants it (headless Chromium does), the picture keeps its proportions
    // inside the full-screen window.
    const box = await page.evaluate(() => {
        const r = canvas.getBoundingClientRect();
        return {full: !!document.fullscreenElement, left: r.left, top: r.top, width: r.width,
                height: r.height, innerWidth, innerHeight, aspect: Module._lumenfold_show_aspect()};
    });
    if (box.full && (box.left < -0.5 || box.top < -0.5 || box.left + box.width > box.innerWidth + 0.5 ||
                     box.top + box.height > box.innerHeight + 0.5 ||
                     Math.abs(box.width / box.height - box.aspect) > 0.01)) {
        fail('the picture in full screen: ' + JSON.stringify(box));
    }
    console.log('double click: full screen requested' + (box.full ? ' and granted' : '') +
                ', the show still paused');
    await page.close();
}

// The canvas of an emulated phone in portrait: the show's proportions across the width, bars
// above and below, at the screen's density up to the page's pixel budget.
async function checkPhoneCanvas(page, what) {
    const c = await page.evaluate(() => {
        const r = canvas.getBoundingClientRect();
        return {width: canvas.width, height: canvas.height, cssWidth: r.width, cssHeight: r.height,
                top: r.top, left: r.left, innerWidth, innerHeight, ratio: devicePixelRatio,
                most: Number(canvas.dataset.mostPixels), aspect: Module._lumenfold_show_aspect()};
    });
    const expectedDensity = Math.min(c.ratio, Math.sqrt(c.most / (c.cssWidth * c.cssHeight)));
    const problems = [];
    if (Math.abs(c.cssWidth - c.innerWidth) > 1) problems.push('not as wide as the screen');
    if (Math.abs(c.cssWidth / c.cssHeight - c.aspect) > 0.01) problems.push('CSS proportions');
    if (Math.abs(c.width / c.height - c.aspect) > 0.01) problems.push('backing proportions');
    if (Math.abs(c.top - (c.innerHeight - c.cssHeight) / 2) > 1) problems.push('not centred');
    if (Math.abs(c.width - c.cssWidth * expectedDensity) > 1) problems.push('density');
    if (c.width * c.height > c.most * 1.01) problems.push('over the pixel budget');
    if (!(c.width > c.cssWidth)) problems.push('drawn at CSS density');
    if (problems.length) fail(what + ': ' + problems.join(', ') + ': ' + JSON.stringify(c));
    console.log(what + ': ' + c.cssWidth + ' x ' + c.cssHeight + ' CSS pixels at ' + c.top +
                ' from the top, drawn ' + c.width + ' x ' + c.height + ' (density ' +
                (c.width / c.cssWidth).toFixed(2) + ' of ' + c.ratio + ')');
}

// Real touches on an emulated phone (390 x 844, density 3): a tap starts the show and its
// sound, a tap pauses and resumes, a drag on the timeline poses the picture under the finger
// and the sound goes on from where it is released, and a double tap asks for full screen.
async function phone(browser) {
    const page = await openPage(browser, '', kPhone);
    await waitFor(page, 'the opening picture', (s) => s.frames >= 1 && s.mode === 0);
    const hint = await page.$eval('#line', (e) => e.textContent);
    if (!/^Tap or press a to start/.test(hint)) fail('the hint on a phone says: ' + hint);
    await checkPhoneCanvas(page, 'portrait');

    const centre = await canvasCentre(page);
    await page.touchscreen.tap(centre.x, centre.y);
    const playing = await waitFor(page, 'the show and its sound after a tap',
                                  (s) => s.mode === 1 && s.time > 1 && s.heard > 0.5);
    console.log('tap: show at ' + playing.time + ' s, sound at ' + playing.heard + ' s');
    // Taps in turn a few pixels apart, so that no two of them make a double tap however fast
    // they come.
    await page.touchscreen.tap(centre.x - 30, centre.y);
    await waitFor(page, 'the pause after a second tap', (s) => s.mode === 3 && s.heard < 0);
    const t = await timeline(page);
    await page.touchscreen.tap(centre.x + 30, centre.y);
    // The tap also shows the strip for a few seconds: the drag starts on its timeline.
    await waitFor(page, 'the show going on after a third tap, with the strip',
                  (s) => s.mode === 1 && s.heard >= 0 && s.strip === 1);
    const to = between(t, 2), end = between(t, 3);
    const tolerance = t.perCssPixel + 0.04;
    const finger = await page.touchscreen.touchStart(t.x(between(t, 1)), t.pageY);
    for (let i = 1; i <= 5; ++i) {
        await finger.move(t.x(between(t, 1) + (to - between(t, 1)) * i / 5), t.pageY);
    }
    const held = await waitFor(page, 'the picture under the finger',
                               (s) => Math.abs(s.time - to) <= tolerance && s.mode === 3);
    await shot(page, out + '/controls-phone.png');
    await finger.move(t.x(end), t.pageY);
    await finger.end();
    const released = await waitFor(page, 'the show and its sound going on where the finger left',
                                   (s) => s.mode === 1 && s.heard >= 0 && s.time >= end - tolerance &&
                                          s.heard >= end - tolerance && s.heard < end + 3);
    console.log('drag: held at ' + held.time + ' s (aimed at ' + to + ' s), released at ' + end +
                ' s: show at ' + released.time + ' s, sound at ' + released.heard + ' s');

    // Both taps at once: CDP takes them in order, well within a double tap's time.
    const cdp = await page.createCDPSession();
    const point = [{x: centre.x, y: centre.y}];
    await Promise.all([
        cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: point}),
        cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []}),
        cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: point}),
        cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []}),
    ]);
    await page.waitForFunction(() => window.fullScreenRequests === 1, {timeout: limit})
        .catch(() => fail('a double tap asked for no full screen'));
    const after = await waitFor(page, 'the show playing on after the double tap', (s) => s.mode === 1);
    console.log('double tap: full screen requested, the show still playing at ' + after.time + ' s');
    // Headless Chromium grants it: the picture keeps its proportions and density there too.
    // (The browser's GLUT first sizes the canvas to the screen; the page then fits it.)
    await page.waitForFunction(() => document.fullscreenElement &&
                                     document.fullscreenElement.contains(canvas) &&
                                     Math.abs(canvas.width / canvas.height -
                                              Module._lumenfold_show_aspect()) < 0.01,
                               {timeout: limit})
        .catch(async () => fail('the picture did not keep its proportions in full screen: ' +
                                JSON.stringify(await page.evaluate(() => ({
                                    full: String(document.fullscreenElement && document.fullscreenElement.tagName),
                                    box: canvas.getBoundingClientRect().toJSON(), innerWidth})))));
    await checkPhoneCanvas(page, 'in full screen');
    await page.close();
}

// A browser that cannot play Ogg Opus: it fetches the MP3 and never the Ogg, plays it, and
// downloads no more than 4 MB in all.
async function withoutOpus(browser) {
    const page = await browser.newPage();
    await page.setViewport(kDesktop);
    await page.evaluateOnNewDocument(() => {
        const canPlay = HTMLMediaElement.prototype.canPlayType;
        HTMLMediaElement.prototype.canPlayType = function(type) {
            return /opus/i.test(type) ? '' : canPlay.call(this, type);
        };
    });
    const cdp = await page.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
    const urls = new Map(), bytes = new Map();
    cdp.on('Network.requestWillBeSent', (e) => urls.set(e.requestId, e.request.url));
    cdp.on('Network.loadingFinished', (e) => bytes.set(e.requestId, e.encodedDataLength));
    await page.goto(base + 'index.html');
    await waitFor(page, 'the opening picture', (s) => s.frames >= 1 && s.mode === 0);
    await page.keyboard.press('a');
    await waitFor(page, 'the MP3 heard after a', (s) => s.mode === 1 && s.heard > 0.5);
    const files = [...urls].map(([id, url]) => [url.replace(base, ''), bytes.get(id) || 0]);
    const total = files.reduce((sum, [, n]) => sum + n, 0);
    if (files.some(([name]) => /\.ogg$/.test(name))) fail('the Ogg was fetched: ' + JSON.stringify(files));
    if (!files.some(([name]) => /\.mp3$/.test(name))) fail('no MP3 was fetched: ' + JSON.stringify(files));
    if (total > 4 * 1024 * 1024) fail(total + ' bytes over the wire: ' + JSON.stringify(files));
    console.log('without Opus: ' + total + ' bytes over the wire (' +
                files.map(([name, n]) => name + ' ' + n).join(', ') + ')');
    await page.close();
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
    else if (command === 'faults') await faults(browser);
    else if (command === 'mouse') await mouse(browser);
    else if (command === 'phone') await phone(browser);
    else if (command === 'without-opus') await withoutOpus(browser);
    else fail('unknown command ' + command);
} finally {
    await browser.close();
}
