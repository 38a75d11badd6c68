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
        const button = all(document).find(e => e.tagName === 'BUTTON' && e.innerText === 'Enable Screen Reader');
        button?.click();
    });
}

async function controls(page) {
    return page.evaluate(() => {
        const all = root => [...root.querySelectorAll('*')].flatMap(e => [e, ...(e.shadowRoot ? all(e.shadowRoot) : [])]);
        return all(document.getElementById('screen'))
            .filter(e => ['INPUT', 'BUTTON', 'DIV', 'TEXTAREA'].includes(e.tagName) && e.getAttribute('aria-label'))
            .map(e => ({ name: e.getAttribute('aria-label'), text: e.value ?? e.textContent, tag: e.tagName }));
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
    return waitFor(`the message ${text}`, async () => (await boxText(page, 'メッセージ'))?.trim() === text, ms);
}

async function openWindow(page, url) {
    await page.goto(url);
    await waitFor('the window', () => page.evaluate(() => !document.getElementById('status')), 60000);
    await enableReader(page);
    await waitFor('the screen reader tree', async () => (await boxText(page, 'メッセージ')) !== undefined);
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
// and the percentage is the ratio x 100.
async function answerOnShow(page) {
    const read = async name => {
        const text = (await boxText(page, name))?.trim() ?? '';
        return text === '？' ? null : text === '' ? undefined : Number(text);
    };
    const base = await read('もとにする量');
    const compared = await read('くらべられる量');
    const ratio = await read('くらべられる量の割合');
    const percent = await read('くらべられる量の％');
    const r = ratio ?? (percent !== undefined && percent !== null ? percent / 100 : undefined);
    let answer;
    if (base === null)
        answer = compared / r;
    else if (compared === null)
        answer = base * r;
    else if (ratio === null)
        answer = compared / base;
    else if (percent === null)
        answer = compared / base * 100;
    if (answer === undefined || !Number.isFinite(answer))
        throw new Error(`no hidden value among ${JSON.stringify(await controls(page))}`);
    return String(Number(answer.toFixed(6)));
}

module.exports = { launch, at, controls, boxText, waitFor, waitForStatus, openWindow, press, answerOnShow };
