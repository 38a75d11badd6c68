#!/usr/bin/env python3
"""Cuts IPA's two faces down to the characters the program can show.

The whole IPAGothic is 6.3 MB of what a pupil's device downloads; the window shows only the
texts written in the program's source, numbers, and what a teacher's file names may hold.
  subset_faces.py <out-folder> <face.ttf>... -- <source file>...
"""
import pathlib
import sys

from fontTools import subset


def written_characters(sources):
    """What the program's texts hold beyond ASCII."""
    written = set()
    for source in sources:
        written.update(c for c in pathlib.Path(source).read_text(encoding="utf-8") if ord(c) > 0x7E)
    return written


def shown_characters(written):
    text = {chr(c) for c in range(0x20, 0x7F)} | written
    # Full-width ASCII and the kana, for file names and whatever a box may be given.
    for first, last in ((0xFF01, 0xFF5E), (0x3000, 0x30FF)):
        text.update(chr(c) for c in range(first, last + 1))
    return "".join(sorted(text))


def main(argv):
    split = argv.index("--")
    out, faces, sources = pathlib.Path(argv[1]), argv[2:split], argv[split + 1:]
    out.mkdir(parents=True, exist_ok=True)
    written = written_characters(sources)
    text = shown_characters(written)
    options = subset.Options()
    options.name_IDs = ["*"]
    options.notdef_outline = True
    for face in faces:
        font = subset.load_font(face, options)
        # The program carries no other face: a character of its texts that this one lacks
        # would show as an empty box.
        lacking = sorted(c for c in written if ord(c) not in font.getBestCmap())
        if lacking:
            sys.exit(f"{face} lacks {' '.join(lacking)}, which the program's texts hold")
        subsetter = subset.Subsetter(options)
        subsetter.populate(text=text)
        subsetter.subset(font)
        subset.save_font(font, str(out / pathlib.Path(face).name), options)


if __name__ == "__main__":
    main(sys.argv)
