#!/usr/bin/python3
"""Builds the square test font "Ahem" and a fontconfig file that finds it.

make_test_font.py OUT_FOLDER writes OUT_FOLDER/ahem.ttf and
OUT_FOLDER/fonts.conf (the system's fonts plus OUT_FOLDER). Point
FONTCONFIG_FILE at the latter and any program using fontconfig can use the
font. Its metrics: ascent 0.8 em, descent 0.2 em; every glyph
is a filled em square a full em wide, except the space and no-break space
(blank), "p" (only the part below the baseline), U+00C9 (only the part above
it) and U+200B (no width). Text in it measures as exactly its size times the
number of characters, whatever the installed fonts are.

The em is 1280 units, not the usual 1000: a size in pixels that is a
multiple of 5 then scales every advance to a whole pixel, so glyphs meet
without seams of background between them, as solid squares should.
"""
import os
import sys

import fontforge

EM, ASCENT, DESCENT = 1280, 1024, 256


def box(glyph, bottom, top, width=EM):
    pen = glyph.glyphPen()
    pen.moveTo((0, bottom))
    pen.lineTo((0, top))
    pen.lineTo((width, top))
    pen.lineTo((width, bottom))
    pen.closePath()
    pen = None
    glyph.width = width


def build(path):
    font = fontforge.font()
    font.fontname = font.familyname = font.fullname = "Ahem"
    font.em = EM
    font.ascent, font.descent = ASCENT, DESCENT
    for attr in ("os2_winascent", "os2_typoascent", "hhea_ascent"):
        setattr(font, attr, ASCENT)
    for attr in ("os2_windescent",):
        setattr(font, attr, DESCENT)
    for attr in ("os2_typodescent", "hhea_descent"):
        setattr(font, attr, -DESCENT)
    # The values above are the metrics themselves, not offsets from the
    # glyphs' bounds.
    for attr in ("os2_winascent_add", "os2_windescent_add", "os2_typoascent_add",
                 "os2_typodescent_add", "hhea_ascent_add", "hhea_descent_add"):
        setattr(font, attr, False)
    font.os2_typolinegap = font.hhea_linegap = 0
    font.os2_use_typo_metrics = True
    codes = list(range(0x21, 0x7F)) + list(range(0xA1, 0x100)) + [0x20, 0xA0, 0x200B]
    codes += [0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026, 0x20AC]
    for code in codes:
        glyph = font.createChar(code)
        if code in (0x20, 0xA0):
            glyph.width = EM
        elif code == 0x200B:
            glyph.width = 0
        elif code == ord("p"):
            box(glyph, -DESCENT, 0)
        elif code == 0xC9:
            box(glyph, 0, ASCENT)
        else:
            box(glyph, -DESCENT, ASCENT)
    font.generate(path)


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    os.makedirs(out, exist_ok=True)
    build(os.path.join(out, "ahem.ttf"))
    with open(os.path.join(out, "fonts.conf"), "w") as conf:
        conf.write('<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n'
                   "<fontconfig>\n  <include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
                   f"  <dir>{out}</dir>\n  <cachedir>{out}/cache</cachedir>\n</fontconfig>\n")


if __name__ == "__main__":
    main()
