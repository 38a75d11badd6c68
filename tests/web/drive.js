// Driving the program's page in chromium: shared by the smoke drill and the figures.
'use strict';
const puppeteer = require('puppeteer-core');

const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run'];

function launch() {
    return puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, args: chromiumFlags });
}

// Where the window's controls are, in its own pixels.
const at = {
    start: [140, 432], reveal: [236, 432], quit: [320, 432], print: [592, 32], length: [30, 396],
};

// The window's controls as the screen reader sees them: Qt mirrors its accessible tree into
// the page once asked to (the button it offers assistive technology).
async function enableReader(page) {
    await page.evaluate(() => {
        const all = root => [...root.querySelectorAll('*')].flatMap(e => [e, ...(e.shadowRoot ? all(e.shadowRoot) : [])]);
        const button = all(document).find(e => e.tagName === 'BUTTON' && e.textContent === 'Enable Screen Reader');
        button?.click();
    });
}

// Qt names each mirrored control after its object's path (QApplication.Form1.Panel1.Edit1),
// and writes a box's text into its element's content when the box's caret moves (a new text
// of another length, or typing).
async function controls(page) {
    return page.evaluate(() => {
        const all = root => [...root.querySelectorAll('*')].flatMap(e => [e, ...(e.shadowRoot ? all(e.shadowRoot) : [])]);
        return all(document.getElementById('screen'))
            .filter(e => e.id.startsWith('QApplication.'))
            .map(e => ({ name: e.id.split('.').pop(), text: e.textContent }));
    });
}

async function boxText(page, name) {
    return (await controls(page)).find(c => c.name === name)?.text;
}

async function waitFor(what, test, ms = 10000) {
    const until = Date.now() + ms;
    for (;;) {
        const value = await test();
        if (value)
            return value;
        if (Date.now() > until)
            throw new Error(`timed out waiting for ${what}`);
        await new Promise(resolve => setTimeout(resolve, 50));
    }
}

async function waitForStatus(page, text, ms) {
    return waitFor(`the message ${text}`, async () => (await boxText(page, 'Edit10'))?.trim() === text, ms);
}

async function openWindow(page, url) {
    await page.goto(url);
    await readyWindow(page);
}

async function readyWindow(page) {
    await waitFor('the window', () => page.evaluate(() => !document.getElementById('status')), 60000);
    // The window, and with it the button, comes a moment after the page's status goes.
    await waitFor('the screen reader tree', async () => {
        await enableReader(page);
        return (await boxText(page, 'Edit10')) !== undefined;
    });
}

async function press(page, place, touch) {
    const origin = await page.evaluate(() => {
        const r = document.getElementById('screen').getBoundingClientRect();
        return [r.left, r.top];
    });
    const [x, y] = [origin[0] + place[0], origin[1] + place[1]];
    if (touch)
        await page.touchscreen.tap(x, y);
    else
        await page.mouse.click(x, y);
}

// The hidden value of the problem on show, from the values shown: compared = base x ratio,
// a percentage is its ratio x 100, and the base's own ratio is 1.
async function problemOnShow(page) {
    const shown = {};
    let hidden = null;
    for (const { name, text } of await controls(page)) {
        const value = text.trim();
        if (value === '？')
            hidden = name;
        else if (/^[0-9.]+$/.test(value))
            shown[name] = Number(value);
    }
    const ratio = shown.Edit5 ?? shown.Edit6 / 100;
    const answers = {
        Edit1: shown.Edit4 / ratio, Edit2: 1, Edit3: 100, Edit4: shown.Edit1 * ratio,
        Edit5: shown.Edit4 / shown.Edit1, Edit6: shown.Edit4 / shown.Edit1 * 100,
    };
    const answer = answers[hidden];
    if (answer === undefined || !Number.isFinite(answer))
        throw new Error(`no hidden value among ${JSON.stringify(await controls(page))}`);
    return { box: hidden, answer: String(Number(answer.toFixed(6))) };
}

async function answerOnShow(page) {
    return (await problemOnShow(page)).answer;
}

module.exports = { launch, at, controls, boxText, waitFor, waitForStatus, openWindow, readyWindow, press, problemOnShow, answerOnShow };
