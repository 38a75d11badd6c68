#!/usr/bin/python3
"""A drill in WebKit, the engine of every browser on an iPad.

The site, served from 127.0.0.1, in a WebKitGTK view on the X display given (Xvfb, no window
manager, so the view stands at the screen's corner): the first frame drawn, スタート clicked and
a wrong and a right answer typed with xdotool, each judged (read from the window's accessible
mirror) and heard (the page's sound started).
  webkit_drill.py <url>
"""
import json
import subprocess
import sys
import time

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("WebKit2", "4.1")
from gi.repository import GLib, Gtk, WebKit2  # noqa: E402

ALL = ("var all = root => [...root.querySelectorAll('*')]"
       ".flatMap(e => [e, ...(e.shadowRoot ? all(e.shadowRoot) : [])]);")
FRAME = ALL + """(() => {
    const c = all(document).find(e => e.tagName === 'CANVAS' && e.width > 0);
    const x = c?.getContext('2d');
    return x && x.getImageData(c.width >> 1, c.height >> 1, 1, 1).data[3] !== 0 ? performance.now() : 0;
})()"""
# Qt mirrors the window's controls into the page once the button it offers is pressed; the
# page's sounds are counted as the program starts them.
READY = ALL + """(() => {
    all(document).find(e => e.tagName === 'BUTTON' && e.textContent === 'Enable Screen Reader')?.click();
    if (!window.startedSounds) {
        window.startedSounds = [];
        const start = tovemiSounds.start.bind(tovemiSounds);
        tovemiSounds.start = name => { startedSounds.push(name); start(name); };
    }
    return all(document).some(e => e.id.endsWith('.Edit10'));
})()"""
CONTROLS = ALL + """all(document.getElementById('screen')).filter(e => e.id.startsWith('QApplication.'))
    .map(e => [e.id.split('.').pop(), e.textContent.trim()])"""


class Crashed(Exception):
    """WebKit's own web process ended: its renderer, not the page, failed."""


def fail(text):
    print(f"FAIL (WebKit): {text}")
    sys.exit(1)


class Page:
    def __init__(self, url):
        window = Gtk.Window()
        window.set_default_size(820, 660)
        self.view = WebKit2.WebView()
        self.crashed = None
        self.view.connect("web-process-terminated",
                          lambda view, reason: setattr(self, "crashed", reason))
        window.add(self.view)
        window.show_all()
        self.view.load_uri(url)

    def pump(self, seconds):
        end = time.time() + seconds
        while time.time() < end:
            Gtk.main_iteration_do(False)
            time.sleep(0.01)

    def js(self, code):
        loop, out = GLib.MainLoop(), {}

        def done(view, result):
            try:
                value = view.evaluate_javascript_finish(result)
                out["value"] = json.loads(value.to_json(0) or "null")
            except GLib.Error as error:
                out["error"] = error.message
            loop.quit()

        self.view.evaluate_javascript(code, -1, None, None, None, done)
        loop.run()
        if "error" in out:
            # The signal may come just after the call's error.
            self.pump(0.5)
            if self.crashed is not None:
                raise Crashed(f"{self.crashed.value_nick} ({out['error']})")
            fail(out["error"])
        return out["value"]

    def until(self, what, test, seconds=90):
        end = time.time() + seconds
        while time.time() < end:
            self.pump(0.1)
            value = test()
            if value:
                return value
        if self.crashed is not None:
            raise Crashed(self.crashed.value_nick)
        fail(f"timed out waiting for {what}")

    def wait(self, what, code):
        return self.until(what, lambda: self.js(code))

    def controls(self):
        return dict(self.js(CONTROLS))


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def answer_of(boxes):
    """The hidden value, from the values shown (as a pupil works it out)."""
    shown = {name: float(text) for name, text in boxes.items()
             if text.replace(".", "", 1).isdigit()}
    hidden = next(name for name, text in boxes.items() if text == "？")
    def ratio():
        return shown["Edit5"] if "Edit5" in shown else shown["Edit6"] / 100

    answers = {"Edit1": lambda: shown["Edit4"] / ratio(), "Edit2": lambda: 1,
               "Edit3": lambda: 100, "Edit4": lambda: shown["Edit1"] * ratio(),
               "Edit5": lambda: shown["Edit4"] / shown["Edit1"],
               "Edit6": lambda: shown["Edit4"] / shown["Edit1"] * 100}
    return f"{answers[hidden]():.6f}".rstrip("0").rstrip(".")


def drill(url):
    page = Page(url)
    frame = page.wait("the first frame", FRAME)
    page.wait("the accessible mirror", READY)
    left, top = page.js("(() => { const r = document.getElementById('screen')"
                        ".getBoundingClientRect(); return [r.left, r.top]; })()")
    xdotool("mousemove", str(int(left) + 140), str(int(top) + 432), "click", "1")
    page.until("スタート", lambda: page.controls().get("Edit10") == "答を入れてリターンキー")
    answer = answer_of(page.controls())
    for typed, verdict, sound in (("9999", "ちがうよ！", "batu1.wav"),
                                  (answer, "せいかいです", "maru1.wav")):
        xdotool("key", "ctrl+a", "type", "--delay", "120", typed)
        xdotool("key", "Return")
        page.until(verdict, lambda: page.controls().get("Edit10") == verdict, 10)
        if page.js("startedSounds.at(-1)") != sound:
            fail(f"{typed} and Enter: {sound} was not started")
    print(f"ok: a drill in WebKit (first frame {frame:.0f} ms after navigation)")


def main():
    # WebKitGTK 2.50's renderer now and then aborts compiling one of Skia's own shaders
    # ("Unable to load module sksl_rt_shader"), whatever the page: that run says so and the
    # drill is taken once more in a new view. A failure of the page itself fails at once.
    try:
        drill(sys.argv[1])
    except Crashed as crash:
        print(f"WebKit's web process ended ({crash}); the drill once more", flush=True)
        try:
            drill(sys.argv[1])
        except Crashed as again:
            fail(f"the web process ended twice ({again})")


main()
