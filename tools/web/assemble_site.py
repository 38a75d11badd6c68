#!/usr/bin/env python3
"""Puts the site a teacher copies together in one folder: the files given, and the service
worker, whose cache is named after a hash of them all so that a new build replaces it.
  assemble_site.py <site-folder> <sw.js template> <file>...
"""
import hashlib
import pathlib
import shutil
import sys


def main(argv):
    site, template, files = pathlib.Path(argv[1]), pathlib.Path(argv[2]), argv[3:]
    if site.exists():
        shutil.rmtree(site)
    site.mkdir(parents=True)
    digest = hashlib.sha256(template.read_bytes())
    names = []
    for file in sorted(files, key=lambda f: pathlib.Path(f).name):
        path = pathlib.Path(file)
        shutil.copyfile(path, site / path.name)
        digest.update(path.name.encode() + b"\0" + path.read_bytes())
        names.append(path.name)
    kept = ["./"] + [name for name in names if name != "index.html"]
    worker = template.read_text(encoding="utf-8")
    worker = worker.replace("@TOVEMI_SITE_HASH@", digest.hexdigest()[:16])
    worker = worker.replace("@TOVEMI_SITE_FILES@", ", ".join(f"'{name}'" for name in kept))
    (site / "sw.js").write_text(worker, encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv)
