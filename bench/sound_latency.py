#!/usr/bin/python3
# Enter → first sound on the sink: the real program on an X server, a wrong answer typed and
# Entered through XTEST, and the sink's monitor recorded with parec; against a fresh paplay of
# the same sound, recorded the same way. The recording's own delay is in both figures alike.
# Run by bench/sound_latency.sh, which starts the private X and sound servers.
#   sound_latency.py <tovemi> <media folder> [answers]
import os
import statistics
import subprocess
import sys
import threading
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

RATE = 44100
LOUD = 200  # of 32768: above the silence of a null sink, below any sound's first swing


class Recorder(threading.Thread):
    """The null sink's monitor, each piece stamped as it arrives."""

    def __init__(self):
        super().__init__(daemon=True)
        self.pieces = []
        self.lock = threading.Lock()
        self.parec = subprocess.Popen(
            ["parec", "-d", "nullsink.monitor", "--raw", "--format=s16le", f"--rate={RATE}",
             "--channels=1", "--latency-msec=1"], stdout=subprocess.PIPE)

    def run(self):
        fd = self.parec.stdout.fileno()
        rest = b""
        while True:
            data = os.read(fd, 512)
            now = time.monotonic()
            if not data:
                return
            data = rest + data
            cut = len(data) - len(data) % 2
            rest = data[cut:]
            with self.lock:
                self.pieces.append((now, data[:cut]))

    def first_sound_after(self, start):
        """Seconds from `start` to the first loud sample, or None."""
        with self.lock:
            pieces = list(self.pieces)
        for arrived, data in pieces:
            if arrived < start:
                continue
            n = len(data) // 2
            for i in range(n):
                v = int.from_bytes(data[2 * i:2 * i + 2], "little", signed=True)
                if abs(v) > LOUD:
                    return arrived - (n - i) / RATE - start
        return None

    def stop(self):
        self.parec.terminate()
        self.parec.wait()


def find_window(d, title, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for w in d.screen().root.query_tree().children:
            try:
                if w.get_wm_name() == title and w.get_attributes().map_state == X.IsViewable:
                    return w
            except Exception:
                pass
            # A window may go between listing it and asking for its children (Wine's
            # start-up makes and drops several).
            try:
                children = w.query_tree().children
            except Exception:
                continue
            for c in children:
                try:
                    if c.get_wm_name() == title:
                        return c
                except Exception:
                    pass
        time.sleep(0.05)
    sys.exit(f"no window titled {title}")


def main():
    program, media = sys.argv[1], sys.argv[2]
    answers = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    recorder = Recorder()
    recorder.start()
    time.sleep(0.3)
    d = display.Display()
    # A program for another system runs through its loader (TOVEMI_LAUNCHER=wine).
    launcher = os.environ.get("TOVEMI_LAUNCHER", "").split()
    tovemi = subprocess.Popen(launcher + [program], cwd=media, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    window = find_window(d, "Tovemi Ver 2.00 R2")
    time.sleep(1.0)  # the window is drawn and the sound server connected
    origin = window.translate_coords(d.screen().root, 0, 0)
    x, y = -origin.x, -origin.y

    def key(name, press):
        code = d.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(d, X.KeyPress if press else X.KeyRelease, code)
        d.sync()

    # スタート, clicked where the layout puts it.
    xtest.fake_input(d, X.MotionNotify, x=x + 140, y=y + 432)
    xtest.fake_input(d, X.ButtonPress, 1)
    xtest.fake_input(d, X.ButtonRelease, 1)
    d.sync()
    time.sleep(0.8)

    program_ms = []
    for _ in range(answers):
        key("0", True)
        key("0", False)  # no answer is 0: each Enter is judged wrong and buzzes
        time.sleep(0.15)
        start = time.monotonic()
        key("Return", True)
        time.sleep(0.05)
        key("Return", False)
        time.sleep(0.8)
        delay = recorder.first_sound_after(start)
        program_ms.append(None if delay is None else delay * 1000)
    tovemi.terminate()
    tovemi.wait()

    paplay_ms = []
    for _ in range(answers):
        start = time.monotonic()
        subprocess.run(["paplay", os.path.join(media, "batu1.wav")])
        time.sleep(0.3)
        delay = recorder.first_sound_after(start)
        paplay_ms.append(None if delay is None else delay * 1000)
    recorder.stop()

    heard = [v for v in program_ms if v is not None]
    anchor = [v for v in paplay_ms if v is not None]
    print("Enter -> first sound on the sink, ms: " + " ".join(
        "-" if v is None else f"{v:.1f}" for v in program_ms))
    print("paplay -> first sound on the sink, ms: " + " ".join(
        "-" if v is None else f"{v:.1f}" for v in paplay_ms))
    if len(heard) < answers or not anchor:
        sys.exit(f"silent: {answers - len(heard)} of {answers} answers made no sound")
    first, median, base = program_ms[0], statistics.median(heard), statistics.median(anchor)
    print(f"{'':28} {'ms':>8}")
    print(f"{'tovemi, first answer':28} {first:8.1f}")
    print(f"{'tovemi, median':28} {median:8.1f}")
    print(f"{'paplay, median':28} {base:8.1f}")
    print(f"{'ratio (median / paplay)':28} {median / base:8.2f}")


if __name__ == "__main__":
    main()
