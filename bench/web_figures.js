// The page's figures, each against a baseline measured in the same run: the bare Qt Widgets
// window built and served the same way (bench/bare_window.cpp).
//   node web_figures.js <site folder> <bare site folder> [rounds]
// First load: bytes the browser received (gzip, as a school's server sends them) and the time
// from navigation to the window's first drawn frame, with no cache and no offline copy; that
// time also on a class's share of a school's line (schoolLine).
// Enter: the time from the Enter key's event to the frame showing the verdict, and to the
// right answer's sound starting as the page measures it (the audio output's own latency
// apart), each against the answer's first digit, from its key's event to the frame showing it
// in the box.
'use strict';
const path = require('path');
const { serve } = require('../tests/web/serve.js');
const drive = require('../tests/web/drive.js');

// Records when the window's canvas first holds a drawn pixel, and when a control first shows
// the answer to a key.
function probe() {
    const all = root => [...root.querySelectorAll('*')].flatMap(e => [e, ...(e.shadowRoot ? all(e.shadowRoot) : [])]);
    const look = () => {
        const canvas = all(document).find(e => e.tagName === 'CANVAS' && e.width > 0);
        const context = canvas?.getContext('2d');
        if (context && context.getImageData(canvas.width >> 1, canvas.height >> 1, 1, 1).data[3] !== 0) {
            window.tovemiFirstFrame = performance.now();
            return;
        }
        requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
    // The first frame in which the window's canvas differs, inside the control whose object
    // path ends with `suffix` (placed as the reader's copy of it is), from what it showed when
    // asked, counted from the next key's event.
    window.tovemiWatchBox = suffix => new Promise(resolve => {
        const box = all(document).find(e => e.id.startsWith('QApplication.') && e.id.endsWith(suffix));
        const canvas = all(document).find(e => e.tagName === 'CANVAS' && e.width > 0);
        const scale = canvas.width / canvas.clientWidth;
        const [x, y, w, h] = ['left', 'top', 'width', 'height'].map(side => Math.round(parseFloat(box.style[side]) * scale));
        const pixels = () => canvas.getContext('2d').getImageData(x, y, w, h).data;
        const before = pixels();
        let keyTime = null;
        window.addEventListener('keydown', event => { keyTime ??= event.timeStamp; }, { capture: true, once: true });
        const poll = () => {
            const now = pixels();
            if (keyTime !== null && now.some((value, i) => value !== before[i]))
                resolve(performance.now() - keyTime);
            else
                requestAnimationFrame(poll);
        };
        requestAnimationFrame(poll);
        setTimeout(() => resolve(NaN), 5000);
    });
}

// A class of forty starting at once on 408 Mbit/s, the band Japan's education ministry
// recommends for a school of 280 pupils (2024; four schools in five have less): about
// 10 Mbit/s each, with a 20 ms round trip to the school's server.
const schoolLine = { offline: false, latency: 20, downloadThroughput: 10e6 / 8, uploadThroughput: 10e6 / 8 };

async function firstLoad(browser, url, line) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 800, height: 640 });
    const session = await page.createCDPSession();
    await session.send('Network.enable');
    await session.send('Network.setCacheDisabled', { cacheDisabled: true });
    if (line)
        await session.send('Network.emulateNetworkConditions', line);
    let bytes = 0;
    session.on('Network.loadingFinished', event => { bytes += event.encodedDataLength; });
    await page.evaluateOnNewDocument(probe);
    await page.goto(url);
    const frame = await drive.waitFor('the first frame', () => page.evaluate(() => window.tovemiFirstFrame), 60000);
    await new Promise(resolve => setTimeout(resolve, 500)); // the files fetched after the frame
    return { page, context, bytes, frame };
}

// The watch is in place (the control's pixels read, the key listened for) before the key is
// sent: a key that overtook it found nothing left to change, and its round went unmeasured.
async function watch(page, suffix) {
    await page.evaluate(s => { window.tovemiWatched = window.tovemiWatchBox(s); }, suffix);
}

function watched(page) {
    return page.evaluate(() => window.tovemiWatched);
}

// A round whose frame never came (NaN) is left out, and said.
const median = values => {
    const measured = values.filter(Number.isFinite).sort((a, b) => a - b);
    if (measured.length < values.length)
        console.log(`(${values.length - measured.length} of ${values.length} rounds not measured)`);
    return measured[measured.length >> 1];
};

(async () => {
    const [site, bare] = process.argv.slice(2, 4).map(f => path.resolve(f));
    const rounds = Number(process.argv[4] ?? 5);
    const servers = [serve(site), serve(bare)];
    await Promise.all(servers.map(s => new Promise(resolve => s.listen(0, '127.0.0.1', resolve))));
    const [siteUrl, bareUrl] = servers.map(s => `http://127.0.0.1:${s.address().port}/`);
    const browser = await drive.launch();
    const figures = { bytes: [[], []], frame: [[], []], school: [[], []], judged: [], echo: [], sound: [], latency: [] };
    try {
        for (let round = 0; round < rounds; ++round) {
            // The program's page: first load, then one right answer.
            const ours = await firstLoad(browser, siteUrl);
            figures.bytes[0].push(ours.bytes);
            figures.frame[0].push(ours.frame);
            const lines = [];
            ours.page.on('console', message => lines.push(message.text()));
            await drive.readyWindow(ours.page);
            await drive.press(ours.page, drive.at.start);
            await drive.waitForStatus(ours.page, '答を入れてリターンキー');
            // The baseline: the answer's first digit, from its key to the frame showing it.
            const { box, answer } = await drive.problemOnShow(ours.page);
            await watch(ours.page, `.${box}`);
            await ours.page.keyboard.type(answer[0]);
            figures.echo.push(await watched(ours.page));
            await ours.page.keyboard.type(answer.slice(1));
            await watch(ours.page, '.Edit10');
            await ours.page.keyboard.press('Enter');
            figures.judged.push(await watched(ours.page));
            const sound = await drive.waitFor('the sound', () => lines.find(l => /sound maru1\.wav started/.test(l)));
            const [, afterKey, latency] = /started ([\d.]+) ms.*latency ([\d.]+) ms/.exec(sound);
            figures.sound.push(Number(afterKey));
            figures.latency.push(Number(latency));
            await ours.context.close();

            // The bare window: first load.
            const theirs = await firstLoad(browser, bareUrl);
            figures.bytes[1].push(theirs.bytes);
            figures.frame[1].push(theirs.frame);
            await theirs.context.close();

            // Both first loads again on the school's line.
            for (const [i, url] of [siteUrl, bareUrl].entries()) {
                const load = await firstLoad(browser, url, schoolLine);
                figures.school[i].push(load.frame);
                await load.context.close();
            }
        }
    } finally {
        await browser.close();
        servers.forEach(s => s.close());
    }
    const row = (what, ours, base, unit) =>
        console.log(`${what.padEnd(44)} ${median(ours).toFixed(1).padStart(10)} ${median(base).toFixed(1).padStart(10)} ${unit.padEnd(3)} ${(median(ours) / median(base)).toFixed(2)}x`);
    console.log(`medians of ${rounds} rounds; baseline: the bare Qt Widgets window built the same way`);
    console.log(`${'figure'.padEnd(44)} ${'Tovemi'.padStart(10)} ${'baseline'.padStart(10)}`);
    row('first load, bytes received (gzip)', figures.bytes[0].map(b => b / 1024), figures.bytes[1].map(b => b / 1024), 'KiB');
    row('navigation -> first frame', figures.frame[0], figures.frame[1], 'ms');
    row('the same on a school line, 10 Mbit/s, 20 ms', figures.school[0], figures.school[1], 'ms');
    row('Enter -> verdict frame (baseline: digit -> echo)', figures.judged, figures.echo, 'ms');
    row('Enter -> sound started (baseline: digit -> echo)', figures.sound, figures.echo, 'ms');
    console.log(`audio output latency reported by the browser: ${median(figures.latency).toFixed(1)} ms (on top of the start)`);
})();
