'use strict';
// The page around the program: the six files fetched from beside index.html before it starts,
// its sounds played through Web Audio, the worksheets' PDF handed to the browser, a number pad
// for tablets without a keyboard, and the service worker that keeps the page for lessons
// without a network.

// The files a teacher may replace, as on the desktop: by replacing them in the folder.
const tovemiMediaFiles = [@TOVEMI_MEDIA_FILES@];

// The sounds, decoded once as the page fetches them, so that Enter only starts one.
class TovemiSounds {
    constructor() {
        this.decoded = new Map();
        this.broken = new Map();
        this.source = null;
        this.context = null;
        this.decoder = null;
        this.keyTime = null;
    }

    audio() {
        // Made when the program first wakes the sound, right after the window's first frame
        // (or at a key that comes sooner): opening the audio output takes the browser a
        // quarter of a second, which must not come before that frame. A browser lets it run
        // only after the pupil's first key or tap (unlock).
        if (!this.context)
            this.context = new AudioContext({ latencyHint: 'interactive' });
        return this.context;
    }

    async decode(name, bytes) {
        try {
            // Decoded without an output: a buffer plays in any context, so the sounds are
            // ready before the context is made.
            this.decoder ??= new OfflineAudioContext(1, 1, 44100);
            this.decoded.set(name, await this.decoder.decodeAudioData(bytes));
        } catch (error) {
            this.broken.set(name, error.message || String(error));
        }
    }

    // '' for a sound ready to start, else why it cannot start.
    problem(name) {
        if (this.decoded.has(name))
            return '';
        return this.broken.get(name) ?? '読みこまれていません';
    }

    unlock() {
        const context = this.audio();
        if (context.state === 'suspended')
            context.resume();
    }

    wake() {
        if (this.context) {
            this.unlock();
            return;
        }
        // The first wake comes as the first frame is drawn: the output, which holds the
        // page's only thread a quarter of a second, is opened once that frame is on the
        // screen, whether or not the page may already play. What else waits for that frame
        // goes first, so that a browser without an audio output still gets it.
        requestAnimationFrame(() => setTimeout(() => {
            tovemiPage.windowShown();
            this.audio();
        }, 0));
    }

    start(name) {
        const buffer = this.decoded.get(name);
        if (!buffer)
            return;
        this.stop();
        const context = this.audio();
        const source = context.createBufferSource();
        source.buffer = buffer;
        source.connect(context.destination);
        source.onended = () => {
            if (this.source === source)
                this.source = null;
        };
        source.start();
        this.source = source;
        // From the key's event to the source's start, as the page sees them; the context's
        // own output latency comes on top, and is stated apart.
        const afterKey = this.keyTime === null ? NaN : performance.now() - this.keyTime;
        const latency = (context.outputLatency ?? context.baseLatency ?? NaN) * 1000;
        console.info(`tovemi: sound ${name} started ${afterKey.toFixed(2)} ms after the key; ` +
                     `output latency ${latency.toFixed(2)} ms; audio ${context.state}`);
    }

    stop() {
        const source = this.source;
        this.source = null;
        if (source) {
            source.onended = null;
            source.stop();
        }
    }

    playing() {
        return this.source !== null;
    }
}

// On the window object, where the program looks them up.
window.tovemiSounds = new TovemiSounds();

window.tovemiPage = {
    // The offline copy's registration: its install fetches the whole site again, the module
    // and all, and stores it, work that must not come before the window's first frame (it
    // held that frame back a tenth of a second and more). Registering again is harmless: the
    // browser hands back the registration it has.
    windowShown() {
        if ('serviceWorker' in navigator)
            navigator.serviceWorker.register('sw.js').catch(error => console.warn('tovemi: no offline copy:', error));
    },

    // Where the six files are looked for, for the report of one that is missing.
    folder() {
        return new URL('.', location.href).href;
    },

    offerPdf(view) {
        const blob = new Blob([view.slice()], { type: 'application/pdf' });
        const link = document.createElement('a');
        link.href = URL.createObjectURL(blob);
        link.download = 'tovemi-worksheets.pdf';
        document.body.append(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    },
};

// Each file fetched afresh where the network answers (a replaced file takes effect at the
// next start) and decoded if it is a sound; a missing one is left out of the program's
// folder, where it is reported as on the desktop.
function fetchMedia() {
    return Promise.all(tovemiMediaFiles.map(async name => {
        try {
            const response = await fetch(name, { cache: 'no-cache' });
            if (!response.ok)
                return { name, bytes: null };
            const bytes = new Uint8Array(await response.arrayBuffer());
            if (name.endsWith('.wav'))
                await tovemiSounds.decode(name, bytes.slice().buffer);
            return { name, bytes };
        } catch (error) {
            return { name, bytes: null };
        }
    }));
}

// The first key or tap unlocks the sound; Enter's time is where a sound's delay counts from.
function watchKeys() {
    const unlock = () => tovemiSounds.unlock();
    window.addEventListener('keydown', event => {
        if (event.key === 'Enter')
            tovemiSounds.keyTime = event.timeStamp;
        if (event.isTrusted) {
            document.body.classList.remove('touch');
            document.body.classList.add('keyboard');
        }
        unlock();
    }, true);
    for (const type of ['mousedown', 'pointerup', 'touchend'])
        window.addEventListener(type, unlock, true);
    // A tablet: touched, and no key of a keyboard pressed yet.
    window.addEventListener('touchstart', () => {
        if (!document.body.classList.contains('keyboard'))
            document.body.classList.add('touch');
    }, { capture: true, passive: true });
}

// The pad types into the focused box as keys do: the same key events, sent to the window.
function setUpPad(screen) {
    const pad = document.getElementById('pad');
    // The window that has the focus takes the keys, whichever window element they reach.
    const send = (key, code, time) => {
        const target = qtWindows(screen)[0];
        if (!target)
            return;
        if (key === 'Enter')
            tovemiSounds.keyTime = time;
        const shiftKey = key === 'Shift';
        const init = { key, code, bubbles: true, cancelable: true, composed: true };
        target.dispatchEvent(new KeyboardEvent('keydown', { ...init, shiftKey }));
        target.dispatchEvent(new KeyboardEvent('keyup', init));
    };
    // On pointerdown, with the default prevented: the focus stays in the box.
    pad.addEventListener('pointerdown', event => {
        const button = event.target.closest('button');
        if (!button)
            return;
        event.preventDefault();
        tovemiSounds.unlock();
        send(button.dataset.key, button.dataset.code, event.timeStamp);
    });
}

// Qt keeps its windows in a shadow tree of the screen element; those on show.
function qtWindows(screen) {
    const all = root => [...root.querySelectorAll('*')].flatMap(e => [e, ...(e.shadowRoot ? all(e.shadowRoot) : [])]);
    return all(screen).filter(e => e.classList.contains('qt-window') && getComputedStyle(e).display !== 'none');
}

// おしまい closes the window, and a program in a page has nowhere to return to: the page says
// so, and offers the drill again.
function watchForTheEnd(screen, status) {
    let seen = false;
    const timer = setInterval(() => {
        const shown = qtWindows(screen).length > 0;
        if (seen && !shown) {
            clearInterval(timer);
            status.textContent = 'おしまい';
            const again = document.createElement('button');
            again.textContent = 'もう一度';
            again.addEventListener('click', () => location.reload());
            status.append(' ', again);
            screen.before(status);
        }
        seen ||= shown;
    }, 250);
}

async function startTovemi() {
    const screen = document.getElementById('screen');
    const status = document.getElementById('status');
    watchKeys();
    setUpPad(screen);
    try {
        await qtLoad({
            qt: {
                entryFunction: async config => {
                    // The program's download first: six fetches begun before it would hold
                    // every connection a browser opens to one server.
                    const instance = tovemi_entry(config);
                    const [ready, files] = await Promise.all([instance, fetchMedia()]);
                    for (const { name, bytes } of files) {
                        if (bytes)
                            ready.FS.writeFile(name, bytes);
                    }
                    return ready;
                },
                containerElements: [screen],
                // The boxes take digits only: keys reach the window as key events, as on the
                // desktop, and no system keyboard covers the boxes (the pad stands in).
                environment: { QT_IM_MODULE: 'none' },
                // Called as the program starts, before its window is made: the offline copy
                // waits for the window's first frame (windowShown).
                onLoaded: () => {
                    status.remove();
                    watchForTheEnd(screen, status);
                },
                onExit: exit => {
                    status.textContent = exit.crashed ? `エラー: ${exit.text}` : 'おしまい';
                    screen.before(status);
                },
            },
        });
    } catch (error) {
        status.textContent = `エラー: ${error.message || error}`;
        console.error(error);
    }
}
