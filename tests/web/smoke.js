// The smoke drill of the site in Debian's chromium, as a pupil would run it: served from
// 127.0.0.1, スタート, a wrong and a right answer typed, the right answer's sound started, the
// worksheets' PDF, おしまい; then again from the offline copy; then again on a touch screen
// through the page's number pad; then with a teacher's folder that lacks a sound and has a
// broken one.
//   node smoke.js <site folder>
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { serve } = require('./serve.js');
const drive = require('./drive.js');

const failures = [];
function check(ok, what) {
    console.log(`${ok ? 'PASS' : 'FAIL'}: ${what}`);
    if (!ok)
        failures.push(what);
}

// Keys as a keyboard types them, or taps on the page's pad.
function typist(page, touch) {
    if (!touch) {
        return {
            type: text => page.keyboard.type(text, { delay: 20 }),
            key: name => page.keyboard.press(name),
        };
    }
    const tap = async key => {
        const box = await page.evaluate(key => {
            const button = document.querySelector(`#pad button[data-key="${key}"]`);
            if (!button || button.offsetParent === null)
                return null;
            const r = button.getBoundingClientRect();
            return [r.left + r.width / 2, r.top + r.height / 2];
        }, key);
        if (!box)
            throw new Error(`no pad key ${key} on show`);
        await page.touchscreen.tap(box[0], box[1]);
    };
    return {
        type: async text => {
            for (const c of text)
                await tap(c);
        },
        key: tap,
    };
}

function judged(page, verdict) {
    return drive.waitForStatus(page, verdict, 5000).then(() => true, () => false);
}

async function drill(page, url, label, { touch = false, print = false } = {}) {
    const lines = [];
    const listen = message => lines.push(message.text());
    page.on('console', listen);
    await drive.openWindow(page, url);
    const keys = typist(page, touch);
    await drive.press(page, drive.at.start, touch);
    await drive.waitForStatus(page, '答を入れてリターンキー');
    const right = await drive.answerOnShow(page);
    const wrong = String(Number(right) + 1);
    await keys.type(wrong);
    await keys.key('Enter');
    check(await judged(page, 'ちがうよ！'), `${label}: ${wrong} judged wrong`);
    for (let i = 0; i < wrong.length + 2; ++i)
        await keys.key('Backspace');
    await keys.type(right);
    await keys.key('Enter');
    check(await judged(page, 'せいかいです'), `${label}: ${right} judged right`);
    const started = await drive.waitFor('the right sound', () => lines.find(l => /sound maru1\.wav started/.test(l)), 5000)
        .catch(() => null);
    check(started !== null, `${label}: the right answer's sound started (${started})`);
    if (print)
        await printWorksheets(page, label);
    await drive.press(page, drive.at.quit, touch);
    const ended = await drive.waitFor('the end', () => page.evaluate(() => document.getElementById('status')?.textContent), 10000)
        .catch(() => null);
    check(ended?.startsWith('おしまい'), `${label}: おしまい ends the program (${ended})`);
    page.off('console', listen);
    return lines;
}

async function printWorksheets(page, label) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tovemi-pdf-'));
    const browserSession = await page.browser().target().createCDPSession();
    await browserSession.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    // The worksheets print a chosen length: the tick asks for it (10 is offered).
    await drive.press(page, drive.at.length);
    await new Promise(resolve => setTimeout(resolve, 500));
    await page.keyboard.press('Enter');
    await new Promise(resolve => setTimeout(resolve, 300));
    await drive.press(page, drive.at.print);
    await new Promise(resolve => setTimeout(resolve, 500));
    await page.keyboard.press('y'); // はい(Y): print
    const file = await drive.waitFor('the PDF', () => fs.readdirSync(folder).find(f => f.endsWith('.pdf')), 20000)
        .catch(() => null);
    check(file !== null, `${label}: the worksheets arrive as a PDF download`);
    if (!file)
        return;
    const pdf = path.join(folder, file);
    const pages = Number(/Pages:\s*(\d+)/.exec(execFileSync('pdfinfo', [pdf]).toString())?.[1]);
    const text = execFileSync('pdftotext', ['-layout', pdf, '-']).toString();
    check(pages === 2, `${label}: the PDF has a problem sheet and an answer sheet (${pages} pages)`);
    check(text.includes('なまえ') && text.includes('くらべられる量'), `${label}: the PDF's Japanese reads back`);
    fs.rmSync(folder, { recursive: true });
}

// A teacher's folder with one sound missing and one that is no sound: both are said in one
// box at スタート, and the drill goes on without them.
async function teachersFiles(browser, site) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tovemi-site-'));
    fs.cpSync(site, folder, { recursive: true });
    fs.rmSync(path.join(folder, 'maru1.wav'));
    fs.writeFileSync(path.join(folder, 'batu1.wav'), 'RIFF, but no sound');
    const server = serve(folder);
    await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
    const page = await browser.newPage();
    const lines = [];
    page.on('console', message => lines.push(message.text()));
    try {
        await drive.openWindow(page, `http://127.0.0.1:${server.address().port}/`);
        await drive.press(page, drive.at.start);
        const report = await drive.waitFor('the report', async () =>
            (await drive.controls(page)).map(c => c.text).find(t => t.includes('maru1.wav')), 5000).catch(() => '');
        check(report.includes('ファイルがありません') && report.includes('batu1.wav'),
              `files: the missing and the broken sound are reported in one box (${report})`);
        await page.keyboard.press('Enter');
        const right = await drive.answerOnShow(page);
        await page.keyboard.type(String(Number(right) + 1));
        await page.keyboard.press('Enter');
        check(await judged(page, 'ちがうよ！'), 'files: a wrong answer is judged with its sound broken');
        for (let i = 0; i < 12; ++i)
            await page.keyboard.press('Backspace');
        await page.keyboard.type(right);
        await page.keyboard.press('Enter');
        check(await judged(page, 'せいかいです'), 'files: a right answer is judged with its sound missing');
        const reports = (await drive.controls(page)).filter(c => c.text.includes('maru1.wav')).length;
        check(reports === 0 && !lines.some(l => /sound (maru1|batu1)\.wav started/.test(l)),
              'files: nothing plays and nothing is reported again during the drill');
    } finally {
        await page.close();
        server.close();
        fs.rmSync(folder, { recursive: true });
    }
}

(async () => {
    const site = path.resolve(process.argv[2]);
    const server = serve(site);
    await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
    const url = `http://127.0.0.1:${server.address().port}/`;
    const browser = await drive.launch();
    try {
        const page = await browser.newPage();
        await page.setViewport({ width: 800, height: 640 });
        await drill(page, url, 'keyboard', { print: true });

        // The service worker has kept the site; without the network the page comes from it.
        await drive.waitFor('the offline copy', () => page.evaluate(async () =>
            (await navigator.serviceWorker.getRegistration())?.active?.state === 'activated'));
        await page.setOfflineMode(true);
        await drill(page, url, 'offline');
        await page.setOfflineMode(false);

        const tablet = await browser.newPage();
        await tablet.emulate({ viewport: { width: 800, height: 800, hasTouch: true, isMobile: true }, userAgent: '' });
        await drill(tablet, url, 'touch', { touch: true });

        await teachersFiles(browser, site);
    } catch (error) {
        check(false, `the drill ran to its end: ${error.stack || error}`);
    } finally {
        await browser.close();
        server.close();
    }
    console.log(failures.length ? `${failures.length} failed` : 'all passed');
    process.exitCode = failures.length ? 1 : 0;
})();
