#!/usr/bin/python3
# What the program's sound costs while nobody answers, and how soon it sounds again: the real
# program on an X server and a private PulseAudio server (a null sink, module-suspend-on-idle
# with a one-second timeout), keys sent through XTEST, the sink's monitor recorded only around
# an answer (a recording keeps the sink awake). Run by bench/sound_idle.sh.
#   sound_idle.py <tovemi> <media folder> <server pid> [idle seconds measured] [answers]
# Each figure comes with its baseline from the same run:
#  - the server's CPU time and context switches while the program idles, 3 s after its last
#    sound ended, against the same server with no client at all;
#  - the null sink's state 3 s after the last sound ended;
#  - Enter -> first sound after more than 5 s idle, the answer's digit typed 1 s before Enter,
#    against a fresh paplay of the same sound;
#  - the next answer's sound after the server killed the program's stream;
#  - closing the window while ALSA's default device is stalled (no server; the device a FIFO
#    that nobody reads), against the same with a working device (a plain file).
import os
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display
from Xlib.ext import xtest
from Xlib.protocol import event

from sound_latency import Recorder, find_window

TITLE = "Tovemi Ver 2.00 R2"
TICK = os.sysconf("SC_CLK_TCK")


def usage(pid):
    """CPU seconds and context switches of a process so far, all its threads."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / TICK
    switches = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")):
                        switches += int(line.split()[1])
        except FileNotFoundError:
            pass
    return cpu, switches


def usage_over(pid, seconds):
    cpu0, sw0 = usage(pid)
    time.sleep(seconds)
    cpu1, sw1 = usage(pid)
    return cpu1 - cpu0, sw1 - sw0


def sink_state():
    out = subprocess.run(["pactl", "list", "short", "sinks"], capture_output=True, text=True)
    for line in out.stdout.splitlines():
        fields = line.split("\t")
        if len(fields) > 4 and fields[1] == "nullsink":
            return fields[4]
    return "none"


class Program:
    """The real program with its window, driven as a pupil drives it."""

    def __init__(self, d, program, media, env=None):
        self.d = d
        self.proc = subprocess.Popen([program], cwd=media, env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = find_window(d, TITLE)
        time.sleep(1.0)
        origin = self.window.translate_coords(d.screen().root, 0, 0)
        # スタート, clicked where the layout puts it.
        xtest.fake_input(d, X.MotionNotify, x=-origin.x + 140, y=-origin.y + 432)
        xtest.fake_input(d, X.ButtonPress, 1)
        xtest.fake_input(d, X.ButtonRelease, 1)
        d.sync()
        time.sleep(0.8)

    def key(self, name):
        code = self.d.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.d, X.KeyPress, code)
        self.d.sync()
        if name == "Return":
            time.sleep(0.05)
        xtest.fake_input(self.d, X.KeyRelease, code)
        self.d.sync()

    def close(self, limit=10.0):
        """Seconds from the window's close box to the process's end, and its exit code."""
        protocols = self.d.intern_atom("WM_PROTOCOLS")
        delete = self.d.intern_atom("WM_DELETE_WINDOW")
        self.window.send_event(event.ClientMessage(
            window=self.window, client_type=protocols,
            data=(32, [delete, X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
        self.d.sync()
        start = time.monotonic()
        try:
            code = self.proc.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            return None, None
        return time.monotonic() - start, code


def answer(program, digit_first=1.0):
    """Types a wrong answer and Enter; ms from Enter to the first sound, or None."""
    # A null sink woken by a recording first renders a block of up to 2 s, and so records
    # that late: the recording starts 2.5 s before Enter, and before the digit.
    recorder = Recorder()
    recorder.start()
    time.sleep(2.5 - digit_first)
    program.key("0")  # no answer is 0: each Enter is judged wrong and buzzes
    time.sleep(digit_first)
    start = time.monotonic()
    program.key("Return")
    time.sleep(0.8)
    recorder.stop()
    delay = recorder.first_sound_after(start)
    return None if delay is None else delay * 1000, start


def paplay_ms(media, runs):
    recorder = Recorder()
    recorder.start()
    time.sleep(2.5)
    out = []
    for _ in range(runs):
        start = time.monotonic()
        subprocess.run(["paplay", os.path.join(media, "batu1.wav")])
        time.sleep(0.3)
        delay = recorder.first_sound_after(start)
        out.append(None if delay is None else delay * 1000)
    recorder.stop()
    return out


def ms(values):
    return " ".join("-" if v is None else f"{v:.1f}" for v in values)


def close_with_device(d, program, media, device):
    """Closes the program while its sound goes to ALSA's default device `device`."""
    home = tempfile.mkdtemp()
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        f.write(f'pcm.!default {{ type file; slave.pcm "null"; file "{device}"; format "raw" }}\n')
    env = dict(os.environ, HOME=home, PULSE_SERVER="unix:/nonexistent")
    tovemi = Program(d, program, media, env)
    tovemi.key("0")
    tovemi.key("Return")
    time.sleep(1.0)
    return tovemi.close()


def main():
    program, media, server = sys.argv[1], sys.argv[2], int(sys.argv[3])
    idle = float(sys.argv[4]) if len(sys.argv) > 4 else 10.0
    answers = int(sys.argv[5]) if len(sys.argv) > 5 else 10
    per_minute = 60.0 / idle
    d = display.Display()

    time.sleep(2.0)
    none_cpu, none_sw = usage_over(server, idle)

    tovemi = Program(d, program, media)
    _, entered = answer(tovemi, 0.3)
    time.sleep(max(0.0, entered + 0.4 + 3.0 - time.monotonic()))  # the buzz lasts 0.4 s
    state = sink_state()
    idle_cpu, idle_sw = usage_over(server, idle)
    program_cpu, _ = usage(tovemi.proc.pid)

    after_idle = []
    for _ in range(answers):
        time.sleep(4.0)  # and 1.5 s more in answer(), before the digit
        after_idle.append(answer(tovemi)[0])

    dropped = []
    for _ in range(3):
        time.sleep(1.0)
        tovemi.key("0")
        time.sleep(0.5)
        inputs = subprocess.run(["pactl", "list", "short", "sink-inputs"],
                                capture_output=True, text=True).stdout.splitlines()
        for sink_input in inputs:
            subprocess.run(["pacmd", "kill-sink-input", sink_input.split()[0]])
        dropped.append(answer(tovemi, 0.2)[0])
    tovemi.proc.terminate()
    tovemi.proc.wait()
    anchor = paplay_ms(media, answers)

    with tempfile.TemporaryDirectory() as folder:
        fifo = os.path.join(folder, "stalled")
        os.mkfifo(fifo)
        held = os.open(fifo, os.O_RDWR)  # open for reading, and never read
        stalled = close_with_device(d, program, media, fifo)
        os.close(held)
        working = close_with_device(d, program, media, os.path.join(folder, "device.raw"))

    heard = [v for v in after_idle if v is not None]
    base = [v for v in anchor if v is not None]
    print(f"idle measured over {idle:.0f} s, shown per minute")
    print(f"{'':46} {'program':>10} {'baseline':>10}")
    print(f"{'server CPU s/min (baseline: no client)':46} {idle_cpu * per_minute:10.2f}"
          f" {none_cpu * per_minute:10.2f}")
    print(f"{'server context switches/min':46} {idle_sw * per_minute:10.0f}"
          f" {none_sw * per_minute:10.0f}")
    print(f"{'sink 3 s after the last sound':46} {state:>10}")
    print(f"{'program CPU s in all, so far':46} {program_cpu:10.2f}")
    print("Enter -> sound after idle, ms: " + ms(after_idle))
    print("paplay -> sound, ms: " + ms(anchor))
    if heard and base:
        print(f"{'Enter -> sound after idle, first / median ms':46} "
              f"{ms([after_idle[0]]):>10} {statistics.median(heard):10.1f}")
        print(f"{'paplay median ms; ratio of medians':46} {statistics.median(base):10.1f}"
              f" {statistics.median(heard) / statistics.median(base):10.2f}")
    print("next answer after the stream was killed, ms: " + ms(dropped))

    def closing(outcome):
        seconds, code = outcome
        return "> 10 s, killed" if seconds is None else f"{seconds:.2f} s, exit {code}"

    print(f"{'close, ALSA device stalled':46} {closing(stalled):>20}")
    print(f"{'close, ALSA device working (baseline)':46} {closing(working):>20}")


if __name__ == "__main__":
    main()
