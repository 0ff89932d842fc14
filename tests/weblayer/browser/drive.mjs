// Opens the check's page in headless Chromium (software WebGL 2), takes the test scene's
// screenshot and runs the benchmark, printing its figures as JSON.
//   node drive.mjs URL SCREENSHOT.png FRAMES
import {launchHeadlessChromium} from './headless_chromium.mjs';

const [url, screenshot, frames] = process.argv.slice(2);
const browser = await launchHeadlessChromium();
try {
    const page = await browser.newPage();
    await page.setViewport({width: 720, height: 576});
    page.on('console', (m) => console.error('page:', m.text()));
    await page.goto(url);
    await page.waitForFunction('window.layerReady === true', {timeout: 60000});
    const renderer = await page.evaluate(() => {
        const gl = document.createElement('canvas').getContext('webgl2');
        return gl ? gl.getParameter(gl.VERSION) + ' / ' + gl.getParameter(gl.RENDERER) : 'none';
    });
    console.error('WebGL:', renderer);
    await page.evaluate(() => Module._showTestScene());
    const canvas = await page.$('#canvas');
    await canvas.screenshot({path: screenshot});
    const report = await page.evaluate((n) => {
        // Two passes: unlit, then lit (the figure that counts), each after a warm-up.
        Module._runBenchmark(10, 0);
        const unlit = UTF8ToString(Module._runBenchmark(n, 0));
        Module._runBenchmark(10, 1);
        const lit = UTF8ToString(Module._runBenchmark(n, 1));
        return '[' + unlit + ', ' + lit + ']';
    }, Number(frames));
    console.log(report);
} finally {
    await browser.close();
}
