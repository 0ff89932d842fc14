// Headless Chromium for the page's tests and benchmark: the system's /usr/bin/chromium (never a
// download), WebGL 2 drawn in software, a 720 x 576 window, nothing fetched in the background.
// tools/browser-driver copies this file beside puppeteer-core, where the scripts import it.
import puppeteer from 'puppeteer-core';

export function launchHeadlessChromium() {
    return puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
               '--window-size=720,576', '--disable-background-networking',
               '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic'],
    });
}
