#!/usr/bin/env python3
"""Draws Tovemi's pictures and synthesises its sounds, with nothing but the standard library.

Writes the six feedback files into media/files/ (the program reads them by bare name from its
working directory) and the window's own pictures into resources/. The output is the same on
every run, so the committed files can be checked against a fresh run.

    tools/make_media.py                 # write everything
    tools/make_media.py --preview DIR   # also write enlarged PNG copies of each picture to DIR
"""

import argparse
import math
import struct
import wave
import zlib
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent


# ---------------------------------------------------------------------------------------------
# Shapes in design units. Each knows its bounding box and whether it holds a point.

class Shape:
    def bbox(self):
        raise NotImplementedError

    def contains(self, x, y):
        raise NotImplementedError


class Ellipse(Shape):
    def __init__(self, cx, cy, rx, ry, degrees=0.0):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        a = math.radians(degrees)
        self.c, self.s = math.cos(a), math.sin(a)

    def grown(self, d):
        e = Ellipse(self.cx, self.cy, self.rx + d, self.ry + d)
        e.c, e.s = self.c, self.s
        return e

    def bbox(self):
        r = max(self.rx, self.ry)
        return self.cx - r, self.cy - r, self.cx + r, self.cy + r

    def contains(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        u = dx * self.c + dy * self.s
        v = -dx * self.s + dy * self.c
        return (u / self.rx) ** 2 + (v / self.ry) ** 2 <= 1.0


def Circle(cx, cy, r):
    return Ellipse(cx, cy, r, r)


class Ring(Shape):
    def __init__(self, cx, cy, outer, inner):
        self.cx, self.cy, self.outer2, self.inner2, self.r = cx, cy, outer * outer, inner * inner, outer

    def bbox(self):
        return self.cx - self.r, self.cy - self.r, self.cx + self.r, self.cy + self.r

    def contains(self, x, y):
        d2 = (x - self.cx) ** 2 + (y - self.cy) ** 2
        return self.inner2 <= d2 <= self.outer2


class Polygon(Shape):
    def __init__(self, points):
        self.points = points

    def bbox(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return min(xs), min(ys), max(xs), max(ys)

    def contains(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside


class Stroke(Shape):
    """A line of the given width through the points, with round ends and joins."""

    def __init__(self, points, width, closed=False):
        self.points = list(points) + ([points[0]] if closed else [])
        self.h2 = (width / 2) ** 2
        self.h = width / 2

    def bbox(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return min(xs) - self.h, min(ys) - self.h, max(xs) + self.h, max(ys) + self.h

    def contains(self, x, y):
        pts = self.points
        if len(pts) == 1:
            return (x - pts[0][0]) ** 2 + (y - pts[0][1]) ** 2 <= self.h2
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            px, py = ax + t * dx - x, ay + t * dy - y
            if px * px + py * py <= self.h2:
                return True
        return False


class Rect(Shape):
    def __init__(self, x0, y0, x1, y1, radius=0.0):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, radius

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def contains(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        r = self.r
        if r <= 0:
            return True
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Intersection(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        a, b = self.a.bbox(), self.b.bbox()
        return max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])

    def contains(self, x, y):
        return self.a.contains(x, y) and self.b.contains(x, y)


def arc(cx, cy, r, start_degrees, end_degrees, steps=16):
    """Points along a circle; angles run clockwise on screen (y grows downwards)."""
    out = []
    for i in range(steps + 1):
        a = math.radians(start_degrees + (end_degrees - start_degrees) * i / steps)
        out.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return out


# ---------------------------------------------------------------------------------------------
# A canvas with coverage anti-aliasing: each pixel is sampled on an n x n grid.

def hex_colour(text):
    text = text.lstrip('#')
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


class Canvas:
    def __init__(self, size, design_size, background=None, samples=4):
        self.w = self.h = size
        self.scale = size / design_size
        self.n = samples
        # Premultiplied red, green, blue, alpha per pixel.
        if background is None:
            self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
        else:
            r, g, b = hex_colour(background)
            self.px = [[r, g, b, 1.0] for _ in range(size * size)]

    def fill(self, shape, colour, opacity=1.0):
        r, g, b = hex_colour(colour)
        x0, y0, x1, y1 = shape.bbox()
        s = self.scale
        px0, py0 = max(0, int(math.floor(x0 * s))), max(0, int(math.floor(y0 * s)))
        px1, py1 = min(self.w, int(math.ceil(x1 * s)) + 1), min(self.h, int(math.ceil(y1 * s)) + 1)
        n = self.n
        offsets = [(i + 0.5) / n for i in range(n)]
        total = n * n
        for py in range(py0, py1):
            for px in range(px0, px1):
                hits = 0
                for oy in offsets:
                    y = (py + oy) / s
                    for ox in offsets:
                        if shape.contains((px + ox) / s, y):
                            hits += 1
                if hits == 0:
                    continue
                a = opacity * hits / total
                p = self.px[py * self.w + px]
                keep = 1.0 - a
                p[0] = r * a + p[0] * keep
                p[1] = g * a + p[1] * keep
                p[2] = b * a + p[2] * keep
                p[3] = a + p[3] * keep

    def rgba(self):
        """Straight-alpha 8-bit RGBA rows."""
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append(tuple(min(255, int(round(c / a * 255))) for c in (r, g, b)) +
                               (min(255, int(round(a * 255))),))
            rows.append(row)
        return rows


# ---------------------------------------------------------------------------------------------
# File formats.

def png_bytes(rows):
    h, w = len(rows), len(rows[0])

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for pixel in row:
            raw.extend(pixel)
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            chunk(b'IEND', b''))


def median_cut(counts, limit):
    """At most `limit` colours for the weighted colours in `counts`; returns colour -> index."""
    boxes = [list(counts.items())]
    while len(boxes) < limit:
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                values = [c[ch] for c, _ in box]
                span = max(values) - min(values)
                if span > best_range:
                    best, best_range, best_channel = i, span, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][best_channel])
        half, seen, cut = sum(n for _, n in box) / 2, 0, 1
        for k, (_, n) in enumerate(box[:-1]):
            seen += n
            cut = k + 1
            if seen >= half:
                break
        boxes[best:best] = [box[:cut], box[cut:]]
    palette, index = [], {}
    for box in boxes:
        weight = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[ch] * n for c, n in box) / weight)) for ch in range(3)))
        for c, _ in box:
            index[c] = len(palette) - 1
    return palette, index


def bmp8_bytes(rows):
    """An uncompressed 8-bit palettised Windows bitmap (BITMAPINFOHEADER, bottom-up rows)."""
    h, w = len(rows), len(rows[0])
    counts = {}
    for row in rows:
        for r, g, b, _ in row:
            counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    palette, index = median_cut(counts, 256)
    stride = (w + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytes(index[(r, g, b)] for r, g, b, _ in row)
        pixels.extend(line + b'\0' * (stride - w))
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(pixels), 3780, 3780, len(palette), 0)
    return header + info + colours + bytes(pixels)


def bmp32_bytes(rows):
    """An uncompressed 32-bit Windows bitmap with alpha (BITMAPV4HEADER, bottom-up rows)."""
    h, w = len(rows), len(rows[0])
    pixels = b''.join(struct.pack('<BBBB', b, g, r, a) for row in reversed(rows) for r, g, b, a in row)
    offset = 14 + 108
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    # BI_BITFIELDS with an alpha mask; the colour space and gamma fields stay zero ('sRGB').
    info = struct.pack('<IiiHHIIiiII4I4s36s3I', 108, w, h, 1, 32, 3, len(pixels), 3780, 3780, 0, 0,
                       0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, b'BGRs', b'', 0, 0, 0)
    return header + info + pixels


def write_wav(path, samples, rate, level):
    """16-bit mono PCM, scaled so that the loudest sample reaches `level` of full scale."""
    peak = max(abs(s) for s in samples) or 1.0
    with wave.open(str(path), 'wb') as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(b''.join(struct.pack('<h', int(round(s / peak * level * 32767))) for s in samples))


# ---------------------------------------------------------------------------------------------
# The pictures.

INK = '#5b4639'  # a warm dark brown: softer than black for a child's picture


def draw_mascot():
    c = Canvas(81, 81, background='#dff0ff')
    ears = [Ellipse(27.5, 22.5, 8.5, 20.5, -13), Ellipse(53.5, 22.5, 8.5, 20.5, 13)]
    inner = [Ellipse(27.8, 24.0, 4.3, 14.5, -13), Ellipse(53.2, 24.0, 4.3, 14.5, 13)]
    head = Ellipse(40.5, 54.0, 27.0, 22.5)
    for ear in ears:
        c.fill(ear.grown(1.6), INK)
    for ear, pink in zip(ears, inner):
        c.fill(ear, '#ffffff')
        c.fill(pink, '#ffb9c8')
    c.fill(head.grown(1.6), INK)
    c.fill(head, '#ffffff')
    # Cheeks, eyes with a glint, nose and the rabbit's mouth.
    c.fill(Ellipse(22.0, 61.0, 5.0, 3.2), '#ffaabb', 0.75)
    c.fill(Ellipse(59.0, 61.0, 5.0, 3.2), '#ffaabb', 0.75)
    for x in (29.5, 51.5):
        c.fill(Ellipse(x, 51.0, 3.3, 4.4), '#2a1d16')
        c.fill(Circle(x + 1.0, 49.3, 1.3), '#ffffff')
    c.fill(Ellipse(40.5, 57.5, 2.9, 2.1), '#f27a93')
    c.fill(Stroke([(40.5, 58.5), (40.5, 61.3)], 1.2), INK)
    c.fill(Stroke(arc(38.0, 61.0, 2.5, 0, 160), 1.2), INK)
    c.fill(Stroke(arc(43.0, 61.0, 2.5, 20, 180), 1.2), INK)
    for y0, y1 in ((57.0, 55.0), (60.5, 61.5)):
        c.fill(Stroke([(17.5, y0), (7.0, y1)], 0.9), INK)
        c.fill(Stroke([(63.5, y0), (74.0, y1)], 0.9), INK)
    return c.rgba()


def draw_maru():
    c = Canvas(81, 81, background='#ffffff')
    c.fill(Ring(40.5, 40.5, 35.0, 24.0), '#e60012')
    return c.rgba()


def draw_batu():
    c = Canvas(81, 81, background='#ffffff')
    c.fill(Stroke([(14.0, 14.0), (67.0, 67.0)], 12.5), '#1e50d2')
    c.fill(Stroke([(67.0, 14.0), (14.0, 67.0)], 12.5), '#1e50d2')
    return c.rgba()


def draw_bird(size):
    """A round little bluebird facing right, drawn on a 32-unit grid and scaled to `size`."""
    c = Canvas(size, 32, samples=4 if size <= 128 else 3)
    outline = '#1b3552'
    body = Ellipse(14.5, 18.5, 9.5, 7.3, -8)
    head = Circle(20.5, 11.8, 6.0)
    tail = Polygon([(6.5, 16.5), (2.4, 14.0), (2.6, 21.2), (7.0, 20.8)])
    beak = Polygon([(25.9, 10.0), (29.6, 11.9), (25.9, 13.6)])
    legs = [[(13.5, 24.5), (13.0, 28.6)], [(17.0, 24.5), (17.2, 28.6)]]
    w = 1.7
    for leg in legs:
        c.fill(Stroke(leg, 1.3 + w), outline)
    for leg in legs:
        c.fill(Stroke(leg, 1.3), '#ff9f1a')
    c.fill(Stroke(tail.points, w, closed=True), outline)
    c.fill(tail, '#1f6fc0')
    c.fill(Stroke(beak.points, w, closed=True), outline)
    c.fill(beak, '#ffae2e')
    c.fill(body.grown(w / 2), outline)
    c.fill(head.grown(w / 2), outline)
    c.fill(body, '#3fa9f5')
    c.fill(head, '#3fa9f5')
    c.fill(Intersection(Ellipse(17.0, 22.3, 7.0, 4.6, -8), body), '#fff4d9')
    wing = Ellipse(12.3, 18.0, 5.2, 3.1, -20)
    c.fill(wing.grown(0.6), outline)
    c.fill(wing, '#1f6fc0')
    c.fill(Circle(22.4, 10.7, 1.5), '#10202e')
    c.fill(Circle(22.9, 10.1, 0.5), '#ffffff')
    c.fill(Ellipse(20.6, 14.3, 1.4, 0.9), '#ff8fa8', 0.8)
    return c.rgba()


def draw_printer():
    c = Canvas(33, 33)
    edge = '#3b4250'
    # The sheet going in at the back, the printer, the printed sheet coming out at the front.
    c.fill(Rect(8.0, 1.0, 25.0, 13.0), edge)
    c.fill(Rect(9.0, 2.0, 24.0, 13.0), '#ffffff')
    for y in (4.0, 6.5, 9.0):
        c.fill(Rect(11.0, y, 22.0, y + 1.0), '#b7c3d6')
    c.fill(Rect(2.0, 11.0, 31.0, 25.0, 3.0), edge)
    c.fill(Rect(3.0, 12.0, 30.0, 24.0, 2.2), '#97a3b6')
    c.fill(Rect(3.0, 12.0, 30.0, 15.5, 2.2), '#c9d1de')
    c.fill(Circle(26.5, 14.0, 1.3), '#2fcb4a')
    c.fill(Rect(6.0, 18.0, 27.0, 21.0, 0.8), '#333844')
    c.fill(Rect(7.0, 19.5, 26.0, 32.0), edge)
    c.fill(Rect(8.0, 20.0, 25.0, 31.0), '#ffffff')
    for y, right in ((22.5, 23.0), (25.0, 21.0), (27.5, 23.0)):
        c.fill(Rect(10.0, y, right, y + 1.0), '#3d6fd1')
    return c.rgba()


# ---------------------------------------------------------------------------------------------
# The sounds.

RATE = 22050


def envelope(t, attack, length, release):
    if t < attack:
        return t / attack
    if t > length - release:
        return max(0.0, (length - t) / release)
    return 1.0


def chime():
    """A bright two-note bell, high then low: the right-answer sound."""
    length = 0.4
    out = []
    for i in range(int(RATE * length)):
        t = i / RATE
        s = 0.0
        for start, freq, decay in ((0.0, 1318.5, 0.09), (0.12, 1046.5, 0.14)):
            u = t - start
            if u < 0:
                continue
            bell = (math.sin(2 * math.pi * freq * u) + 0.35 * math.sin(2 * math.pi * 2 * freq * u) +
                    0.12 * math.sin(2 * math.pi * 3.01 * freq * u))
            s += bell * math.exp(-u / decay) * min(1.0, u / 0.004)
        out.append(s * envelope(t, 0.001, length, 0.02))
    return out


def buzz():
    """A low, rough double buzz: the wrong-answer sound."""
    length = 0.4
    out = []
    for i in range(int(RATE * length)):
        t = i / RATE
        gate = 1.0 if t < 0.13 or t >= 0.17 else 0.0
        first = envelope(t, 0.006, 0.13, 0.015) if t < 0.13 else 0.0
        second = envelope(t - 0.17, 0.006, length - 0.17, 0.03) if t >= 0.17 else 0.0
        s = 0.0
        for f in (130.0, 133.5):
            for k in range(1, 30, 2):  # odd harmonics: a square wave kept below 4 kHz
                if k * f > 4000:
                    break
                s += math.sin(2 * math.pi * k * f * t) / k
        out.append(s * gate * (first + second))
    return out


def pip():
    """A short high pip for each Enter in the wari, bu and rin boxes."""
    length = 0.08
    out = []
    for i in range(int(RATE * length)):
        t = i / RATE
        s = math.sin(2 * math.pi * 1760.0 * t) + 0.2 * math.sin(2 * math.pi * 3520.0 * t)
        out.append(s * envelope(t, 0.003, length, 0.02) * math.exp(-t / 0.05))
    return out


# ---------------------------------------------------------------------------------------------

def enlarged(rows, factor):
    """Nearest-neighbour enlargement over a light checkerboard, for looking at a picture."""
    out = []
    for y, row in enumerate(rows):
        line = []
        for x, (r, g, b, a) in enumerate(row):
            for dx in range(factor):
                shade = 235 if ((x * factor + dx) // 8 + (y * factor) // 8) % 2 else 250
                k = a / 255
                line.append(tuple(int(round(cc * k + shade * (1 - k))) for cc in (r, g, b)) + (255,))
        out.extend([line] * factor)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--preview', type=Path, help='also write enlarged PNG copies here')
    args = parser.parse_args()

    files = TOP / 'media' / 'files'
    resources = TOP / 'resources'
    files.mkdir(parents=True, exist_ok=True)
    resources.mkdir(parents=True, exist_ok=True)

    pictures = {}
    pictures['mascot.bmp'] = draw_mascot()
    pictures['maru1.bmp'] = draw_maru()
    pictures['batu1.bmp'] = draw_batu()
    for name in ('mascot.bmp', 'maru1.bmp', 'batu1.bmp'):
        (files / name).write_bytes(bmp8_bytes(pictures[name]))
    (resources / 'mascot.bmp').write_bytes((files / 'mascot.bmp').read_bytes())

    # A bitmap, as the mascot: the window then decodes no PNG before its first frame.
    pictures['printer.bmp'] = draw_printer()
    (resources / 'printer.bmp').write_bytes(bmp32_bytes(pictures['printer.bmp']))
    for size in (32, 48, 64, 128, 256):
        name = 'bird.png' if size == 32 else f'bird-{size}.png'
        pictures[name] = draw_bird(size)
        (resources / name).write_bytes(png_bytes(pictures[name]))

    write_wav(files / 'maru1.wav', chime(), RATE, 0.8)
    # A square wave sounds far louder than a bell of the same peak.
    write_wav(files / 'batu1.wav', buzz(), RATE, 0.45)
    write_wav(files / 'p.wav', pip(), RATE, 0.6)

    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        for name, rows in pictures.items():
            factor = max(1, 320 // len(rows))
            (args.preview / (Path(name).stem + '.png')).write_bytes(png_bytes(enlarged(rows, factor)))


if __name__ == '__main__':
    main()
