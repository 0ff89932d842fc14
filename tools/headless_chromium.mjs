// Headless Chromium for the page's tests and benchmark: the system's /usr/bin/chromium (never a
// download), WebGL 2 drawn in software, a 720 x 576 window, nothing fetched in the background.
// tools/browser-driver copies this file beside puppeteer-core, where the scripts import it.
import puppeteer from 'puppeteer-core';

// The start of the browser is waited for as long as the tests wait for anything (E2E_WAIT_SECONDS,
// 180 s by default), not puppeteer's 30 s: a busy machine was seen to take longer.
const launchWaitMs = 1000 * (Number(process.env.E2E_WAIT_SECONDS) || 180);

// `extraArgs`: more of Chromium's switches (a test turns WebGL 2 off with one).
export function launchHeadlessChromium(extraArgs = []) {
    return puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        timeout: launchWaitMs,
        args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
               '--window-size=720,576', '--disable-background-networking',
               '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic',
               ...extraArgs],
    });
}
