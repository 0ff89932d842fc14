// The show's page played whole in headless Chromium (software WebGL 2): the time from opening the
// page to its first picture and to the start offered (the music ready), frames drawn in each
// wall-clock second of the show (the slowest second and the mean), how far the sound heard is
// from the picture (show time minus sound time, sampled every 50 ms while both play), and the
// bytes over the wire for the visit (the page's and its service worker's). Prints one JSON line.
//   node web_show.mjs URL [phone]      (phone: an emulated phone, 390 x 844 at density 3)
import {launchHeadlessChromium} from './headless_chromium.mjs';

const [url, device] = process.argv.slice(2);
const browser = await launchHeadlessChromium();
try {
    // Every byte the browser fetches for the page, its own and its service worker's.
    const fetched = new Map();
    const count = async (session, who) => {
        await session.send('Network.enable');
        session.on('Network.loadingFinished', (e) => fetched.set(who + e.requestId, e.encodedDataLength));
    };
    browser.on('targetcreated', async (target) => {
        if (target.type() === 'service_worker') await count(await target.createCDPSession(), 'worker ');
    });
    const page = await browser.newPage();
    await count(await page.createCDPSession(), 'page ');
    await page.setViewport(device === 'phone'
        ? {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true}
        : {width: 720, height: 576});
    // Watches from inside the page, from its very start, so the first picture is timed exactly.
    await page.evaluateOnNewDocument(() => {
        window.benchSamples = [];
        const poll = () => {
            try {
                const s = JSON.parse(UTF8ToString(Module._lumenfold_status()));
                if (s.frames > 0 && window.firstPictureAt === undefined) {
                    window.firstPictureAt = performance.now();
                }
                if (window.benchRecording) window.benchSamples.push([performance.now(), s]);
            } catch (e) {
                // the show is still loading
            }
            setTimeout(poll, window.firstPictureAt === undefined ? 5 : 50);
        };
        poll();
    });
    await page.goto(url);
    await page.waitForFunction('window.firstPictureAt !== undefined', {timeout: 120000});
    const firstPicture = await page.evaluate(() => window.firstPictureAt);
    // Play is offered once the music can play from its first note.
    await page.waitForFunction(() => !document.getElementById('start').hidden, {timeout: 120000, polling: 50});
    const startOffered = await page.evaluate(() => performance.now());
    await page.evaluate(() => { window.benchRecording = true; });
    await page.keyboard.press('a');
    await page.waitForFunction(
        'window.benchSamples.length > 0 && window.benchSamples[window.benchSamples.length - 1][1].mode === 4',
        {timeout: 600000, polling: 1000});
    const samples = await page.evaluate(() => window.benchSamples);

    // Frames in each whole second from the show's start to its end.
    const playing = samples.filter(([, s]) => s.mode === 1);
    const start = playing[0][0], end = playing[playing.length - 1][0];
    const perSecond = [];
    for (let t = start; t + 1000 <= end; t += 1000) {
        const inside = playing.filter(([at]) => at >= t && at <= t + 1000);
        if (inside.length > 1) {
            const [a, sa] = inside[0], [b, sb] = inside[inside.length - 1];
            perSecond.push({second: Math.round(sa.time), fps: (sb.frames - sa.frames) * 1000 / (b - a)});
        }
    }
    const slowest = perSecond.reduce((m, p) => (p.fps < m.fps ? p : m), perSecond[0]);
    const mean = (playing[playing.length - 1][1].frames - playing[0][1].frames) * 1000 / (end - start);
    // The sound fades out before the end and is not kept in step then, as on the desktop.
    const drift = playing.filter(([, s]) => s.heard >= 0 && s.time < 129)
                         .map(([, s]) => (s.time - s.heard) * 1000).sort((x, y) => x - y);
    const at = (q) => drift[Math.min(drift.length - 1, Math.floor(q * drift.length))];
    const canvas = await page.evaluate(() => [canvas.width, canvas.height]);
    console.log(JSON.stringify({
        canvas: canvas.join(' x '),
        firstPictureMs: Math.round(firstPicture),
        startOfferedMs: Math.round(startOffered),
        bytesOverTheWire: [...fetched.values()].reduce((sum, n) => sum + n, 0),
        seconds: perSecond.length,
        slowestFps: Number(slowest.fps.toFixed(1)),
        slowestAtShowSecond: slowest.second,
        meanFps: Number(mean.toFixed(1)),
        secondsUnder25Fps: perSecond.filter((p) => p.fps < 25).map((p) => p.second),
        driftMs: {samples: drift.length, median: Number(at(0.5).toFixed(1)),
                  p5: Number(at(0.05).toFixed(1)), p95: Number(at(0.95).toFixed(1)),
                  largest: Number(Math.max(-drift[0], drift[drift.length - 1]).toFixed(1))},
    }));
} finally {
    await browser.close();
}
