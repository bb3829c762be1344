#!/usr/bin/env python3
"""Draws the wizard's skin bitmaps and the program icon into res/skin/.

Run it after changing a picture and commit the outputs with it:

    python3 res/make_skin.py            # writes res/skin/*.bmp, res/skin/setup.ico, the PNG sets
    python3 res/make_skin.py --check    # exit status 1 when a committed file differs

The pictures are drawn for 100 % (the uncompressed bitmaps) and again, from the same shapes, for
125, 150, 175 and 200 % (res/skin/<percent>/*.png, listed for setup.rc in res/skin/scaled.rc): a
screen at those scales gets pictures made for its size, never a stretched 100 % picture. A design
pixel at a scale of dpi / 96 covers that many screen pixels; where the wizard puts a picture is
rounded as it rounds (half up), and each picture is the scaled size of its 100 % version.

Only the standard library is used: skin_canvas.py holds the drawing kit (shapes as signed distance
functions, anti-aliased by their coverage of each pixel, so every edge is smooth without
supersampling), skin_design.py the places, the palette and the pictures (the small ones drawn over a
crop of the background where the wizard puts them, so their corners blend into the window),
skin_files.py the file formats.
"""

import os
import sys

from skin_design import (CLOSE_AT, CROSS_DISABLED, CROSS_HOVER,
                         CROSS_NORMAL, DESIGN_DPI, KEY_COLOUR, MINIMIZE_AT, PILL_DISABLED, PILL_HOVER,
                         PILL_NORMAL, PILL_PRESSED, SCALED_DPIS, SCALED_ID_STEP, SHOWN_IDS,
                         make_background, make_check_box, make_icon, make_option_mark, make_pill,
                         make_window_glyph)
from skin_files import bmp_bytes, ico_bytes, png_bytes, png_rgb_rows, rgb_bytes

SKIN_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "skin")


def scaled_set(dpi):
    """The pictures that the wizard shows, made for dpi."""
    background, button_ground = make_background(dpi)
    for row in background.rgb_rows():
        assert KEY_COLOUR not in row, "the background must not contain the key colour"
    return {
        "background": background,
        "button_normal": make_pill(button_ground, PILL_NORMAL),
        "button_pressed": make_pill(button_ground, PILL_PRESSED),
        "button_hover": make_pill(button_ground, PILL_HOVER),
        "button_disabled": make_pill(button_ground, PILL_DISABLED),
        "close_normal": make_window_glyph(background, CLOSE_AT, "cross", CROSS_NORMAL, dpi),
        "close_hover": make_window_glyph(background, CLOSE_AT, "cross", CROSS_HOVER, dpi),
        "close_disabled": make_window_glyph(background, CLOSE_AT, "cross", CROSS_DISABLED, dpi),
        "minimize_normal": make_window_glyph(background, MINIMIZE_AT, "bar", CROSS_NORMAL, dpi),
        "minimize_hover": make_window_glyph(background, MINIMIZE_AT, "bar", CROSS_HOVER, dpi),
        "minimize_disabled": make_window_glyph(background, MINIMIZE_AT, "bar", CROSS_DISABLED, dpi),
        "check_empty": make_check_box(background, False, dpi),
        "check_ticked": make_check_box(background, True, dpi),
    }


def percent(dpi):
    return str(dpi * 100 // DESIGN_DPI)


def scaled_rc():
    lines = ["// Written by res/make_skin.py: the pictures of the wizard made for larger scales, as PNG.",
             "// Id: the 100 %% picture's id plus %d times the set's place (125 %% first)." % SCALED_ID_STEP]
    for place, dpi in enumerate(SCALED_DPIS, 1):
        for name, base in sorted(SHOWN_IDS.items(), key=lambda item: item[1]):
            lines.append('%d PNG "skin/%s/%s.png"' % (base + place * SCALED_ID_STEP, percent(dpi), name))
    return ("\n".join(lines) + "\n").encode("ascii")


def build():
    """Every output file by its path under res/skin, with the canvas of each PNG for --check."""
    background, button_ground = make_background()
    for row in background.rgb_rows():
        assert KEY_COLOUR not in row, "the background must not contain the key colour"
    files = {
        "background.bmp": bmp_bytes(background),
        "button_normal.bmp": bmp_bytes(make_pill(button_ground, PILL_NORMAL)),
        "button_pressed.bmp": bmp_bytes(make_pill(button_ground, PILL_PRESSED)),
        "button_hover.bmp": bmp_bytes(make_pill(button_ground, PILL_HOVER)),
        "button_disabled.bmp": bmp_bytes(make_pill(button_ground, PILL_DISABLED)),
        "close_normal.bmp": bmp_bytes(make_window_glyph(background, CLOSE_AT, "cross", CROSS_NORMAL)),
        "close_hover.bmp": bmp_bytes(make_window_glyph(background, CLOSE_AT, "cross", CROSS_HOVER)),
        "close_disabled.bmp": bmp_bytes(make_window_glyph(background, CLOSE_AT, "cross", CROSS_DISABLED)),
        "minimize_normal.bmp": bmp_bytes(make_window_glyph(background, MINIMIZE_AT, "bar", CROSS_NORMAL)),
        "minimize_hover.bmp": bmp_bytes(make_window_glyph(background, MINIMIZE_AT, "bar", CROSS_HOVER)),
        "minimize_disabled.bmp": bmp_bytes(make_window_glyph(background, MINIMIZE_AT, "bar", CROSS_DISABLED)),
        "option_empty.bmp": bmp_bytes(make_option_mark(background, False)),
        "option_selected.bmp": bmp_bytes(make_option_mark(background, True)),
        "check_empty.bmp": bmp_bytes(make_check_box(background, False)),
        "check_ticked.bmp": bmp_bytes(make_check_box(background, True)),
        "setup.ico": ico_bytes(make_icon()),
        "scaled.rc": scaled_rc(),
    }
    pictures = {}
    for dpi in SCALED_DPIS:
        for name, canvas in scaled_set(dpi).items():
            pictures[os.path.join(percent(dpi), name + ".png")] = canvas
    return files, pictures


def main(argv):
    check = "--check" in argv[1:]
    files, pictures = build()
    # Each file: how its bytes are made, and whether a file on the disk matches. For a PNG the
    # pixels count, not the compressor's choices, which another zlib may make otherwise.
    entries = [(name, lambda data=data: data, lambda found, data=data: found == data) for name, data in files.items()]
    entries += [(name, lambda canvas=canvas: png_bytes(canvas),
                 lambda found, canvas=canvas: png_rgb_rows(found) == rgb_bytes(canvas))
                for name, canvas in pictures.items()]
    stale = []
    for name, make, matches in sorted(entries, key=lambda entry: entry[0]):
        path = os.path.join(SKIN_DIR, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if not matches(f.read()):
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(make())
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
