#!/usr/bin/env python3
"""Fails when the given font files lack a character of the program's own texts.

Usage: font-coverage.py SOURCE_ROOT FONT_FILE...
"""
import pathlib
import subprocess
import sys

PROGRAM_FOLDERS = ("app", "capture", "detect", "history", "mail", "settings", "sound", "upload")


def characters_of_texts(root):
    return {c for folder in PROGRAM_FOLDERS for path in (root / folder).rglob("*.cpp")
            for c in path.read_text(encoding="utf-8") if ord(c) > 0x2000}


def charset(font):
    listing = subprocess.run(["fc-query", "--format=%{charset}", font],
                             capture_output=True, text=True, check=True).stdout
    return [tuple(int(end, 16) for end in (span.split("-") * 2)[:2]) for span in listing.split()]


def main():
    root, fonts = pathlib.Path(sys.argv[1]), sys.argv[2:]
    if not fonts:
        sys.exit("no font file given")
    spans = [span for font in fonts for span in charset(font)]
    missing = sorted(c for c in characters_of_texts(root)
                     if not any(low <= ord(c) <= high for low, high in spans))
    if missing:
        sys.exit("the fonts lack: " + "".join(missing))
    print(f"the font holds every character of the texts ({len(fonts)} file(s))")


main()
