// One moment of the show drawn again and again in the page, each frame waited for (one pixel
// read back): the median and slowest milliseconds a frame, free of the show's own pace and of
// timers, which headless Chromium runs irregularly. Pages given together are measured in turns,
// so a machine that gets busier mid-run weighs on each alike. Prints one JSON line per page.
//   node web_frame.mjs SECONDS ROUNDS URL... [phone]   (phone: 390 x 844 at density 3)
import {launchHeadlessChromium} from './headless_chromium.mjs';

const args = process.argv.slice(2);
const phone = args[args.length - 1] === 'phone';
const [seconds, rounds, ...urls] = phone ? args.slice(0, -1) : args;
const kFramesPerRound = 20;

const browser = await launchHeadlessChromium();
try {
    const pages = [];
    for (const url of urls) {
        const page = await browser.newPage();
        await page.setViewport(phone
            ? {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true}
            : {width: 720, height: 576});
        await page.goto(url + '?start=' + seconds + '&paused');
        await page.waitForFunction(() => {
            try {
                return JSON.parse(UTF8ToString(Module._lumenfold_status())).frames >= 1 &&
                       document.getElementById('line').textContent !== 'Loading the show…';
            } catch (e) {
                return false;
            }
        }, {timeout: 120000});
        pages.push({url, page, times: []});
    }
    for (let round = 0; round < Number(rounds); ++round) {
        for (const p of pages) {
            await p.page.bringToFront();
            p.times.push(...await p.page.evaluate((n) => {
                const gl = Module.ctx, pixel = new Uint8Array(4), times = [];
                for (let i = 0; i < n; ++i) {
                    const start = performance.now();
                    getWasmTableEntry(GLUT.displayFunc)();
                    gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
                    times.push(performance.now() - start);
                }
                return times;
            }, kFramesPerRound));
        }
    }
    for (const p of pages) {
        const t = p.times.slice(kFramesPerRound).sort((a, b) => a - b); // the first round warms up
        const canvas = await p.page.evaluate(() => [canvas.width, canvas.height]);
        console.log(JSON.stringify({url: p.url, canvas: canvas.join(' x '), frames: t.length,
                                    medianMs: Number(t[t.length >> 1].toFixed(1)),
                                    p90Ms: Number(t[Math.floor(t.length * 0.9)].toFixed(1))}));
    }
} finally {
    await browser.close();
}
