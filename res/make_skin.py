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

Only the standard library is used. Shapes are described by signed distance
functions and anti-aliased by their coverage of each pixel, so every edge is
smooth without supersampling. The small pictures (buttons, glyphs, check boxes)
are drawn over a crop of the background at the place where the wizard puts them,
so their corners blend into the window.
"""

import math
import os
import struct
import sys
import zlib

SKIN_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "skin")

WIDTH, HEIGHT = 584, 414
HEADER_BOTTOM = 55      # the turquoise band
PANEL_RIGHT = 200       # the picture panel on the left
BAND_TOP = 353          # the white band with the push buttons

# Where the wizard places its bitmap buttons on the 584-pixel background. The push buttons are
# wide enough for the longest caption of the thirteen languages inside their focus mark; the
# right margin (28) and the gap between them (21) are those of the first, narrower skin.
BUTTON_W, BUTTON_H = 100, 23
CANCEL_AT = (WIDTH - 28 - BUTTON_W, 374)
ACTION_AT = (CANCEL_AT[0] - 21 - BUTTON_W, 374)
CLOSE_AT, MINIMIZE_AT = (552, 11), (522, 11)
CHECK_AT = (215, 202)
OPTION_AT = (260, 150)  # the option marks are not placed; any spot of the content area will do

KEY_COLOUR = (255, 0, 255)  # pixels of this colour would be holes in the window

DESIGN_DPI = 96
# The scales with pictures of their own, by their dots per inch; the wizard finds a set's pictures
# at the 100 % picture's id plus SCALED_ID_STEP times the set's place in this list (1 for 125 %).
SCALED_DPIS = (120, 144, 168, 192)
SCALED_ID_STEP = 1000
# Resource ids of the pictures that the wizard shows (res/resource.h), which the sets carry.
SHOWN_IDS = {
    "background": 130, "button_normal": 131, "button_pressed": 132, "button_hover": 133,
    "button_disabled": 137, "close_normal": 134, "close_hover": 135, "close_disabled": 136,
    "check_empty": 142, "check_ticked": 143, "minimize_normal": 144, "minimize_hover": 145,
    "minimize_disabled": 146,
}


def scaled(value, dpi):
    """A design length at dpi, rounded half up as the wizard rounds it (MulDiv)."""
    return (value * dpi * 2 + DESIGN_DPI) // (2 * DESIGN_DPI)

# The palette, shared by every picture.
HEADER_TOP = (52, 199, 206)
HEADER_BASE = (14, 150, 167)
HEADER_LINE = (120, 226, 230)
CONTENT_TOP = (22, 92, 146)
CONTENT_BASE = (11, 50, 96)
WAVE_LIGHT = (120, 200, 235)
PANEL_TOP = (17, 128, 150)
PANEL_BASE = (10, 58, 96)
BAND_TOP_COLOUR = (241, 245, 248)
WHITE = (255, 255, 255)
FRAME = (9, 92, 112)
METAL_LIGHT = (98, 112, 128)
METAL_DARK = (38, 46, 58)
LED_GREEN = (96, 232, 128)
LED_BLUE = (92, 182, 255)
TITLE_SHADOW = (6, 96, 112)
GLYPH_TILE_TOP = (44, 120, 198)
GLYPH_TILE_BASE = (24, 88, 166)
CROSS_NORMAL = (255, 255, 255)
CROSS_HOVER = (150, 160, 172)
CROSS_DISABLED = (206, 212, 218)
BOX_BORDER = (104, 128, 154)
TICK = (28, 122, 200)

# Pill faces: (top, bottom, outline) for normal (mid blue), pressed (light blue),
# mouse-over (blue) and disabled (pale grey-blue). The wizard draws a disabled caption in
# RGB(92, 102, 114), more than 3:1 against every part of the disabled face.
PILL_NORMAL = ((86, 156, 226), (40, 108, 190), (28, 84, 156))
PILL_PRESSED = ((160, 208, 246), (112, 172, 232), (74, 132, 196))
PILL_HOVER = ((58, 130, 236), (18, 82, 204), (12, 62, 160))
PILL_DISABLED = ((228, 234, 240), (206, 214, 224), (168, 182, 198))


# ---------------------------------------------------------------- drawing

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def coverage(d):
    """Share of a pixel covered by a shape whose signed distance at its centre is d."""
    return clamp(0.5 - d)


class Canvas:
    """Screen pixels w x h; shapes are given in design pixels, kx and ky screen pixels each."""

    def __init__(self, w, h, colour=(0, 0, 0), alpha=None, kx=1.0, ky=1.0):
        self.w, self.h = w, h
        self.kx, self.ky = kx, ky
        self.k = (kx + ky) / 2.0  # for distances
        self.px = [list(colour) for _ in range(w * h)]
        # Only the icon keeps an alpha channel.
        self.alpha = [alpha] * (w * h) if alpha is not None else None

    def get(self, x, y):
        return tuple(self.px[y * self.w + x])

    def blend(self, x, y, colour, a):
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        if self.alpha is None:
            for i in range(3):
                p[i] += (colour[i] - p[i]) * a
            return
        # Porter-Duff "over" on straight (non-premultiplied) colour.
        old = self.alpha[y * self.w + x]
        new = a + old * (1.0 - a)
        if new > 0.0:
            for i in range(3):
                p[i] = (colour[i] * a + p[i] * old * (1.0 - a)) / new
        self.alpha[y * self.w + x] = new

    def fill(self, sdf, box, paint, opacity=1.0):
        """Paints the inside of sdf within box; paint is a colour or a function of (x, y)."""
        kx, ky, k = self.kx, self.ky, self.k
        x0, y0, x1, y1 = (int(math.floor(box[0] * kx)), int(math.floor(box[1] * ky)),
                          int(math.ceil(box[2] * kx)), int(math.ceil(box[3] * ky)))
        for y in range(max(y0, 0), min(y1, self.h)):
            cy = (y + 0.5) / ky
            for x in range(max(x0, 0), min(x1, self.w)):
                cx = (x + 0.5) / kx
                a = coverage(sdf(cx, cy) * k)
                if a > 0.0:
                    colour = paint(cx, cy) if callable(paint) else paint
                    self.blend(x, y, colour, a * opacity)

    def glow(self, sdf, box, colour, radius, strength):
        """A soft halo that fades out over radius pixels outside the shape."""
        kx, ky = self.kx, self.ky
        x0, y0, x1, y1 = (int(box[0] * kx - radius * kx), int(box[1] * ky - radius * ky),
                          int(box[2] * kx + radius * kx) + 1, int(box[3] * ky + radius * ky) + 1)
        for y in range(max(y0, 0), min(y1, self.h)):
            for x in range(max(x0, 0), min(x1, self.w)):
                d = sdf((x + 0.5) / kx, (y + 0.5) / ky)
                if d < radius:
                    t = clamp(1.0 - max(d, 0.0) / radius)
                    self.blend(x, y, colour, strength * t * t)

    def row_span(self, y):
        """The screen rows of design row y: at least one."""
        top = int(math.floor(y * self.ky + 0.5))
        return range(top, max(int(math.floor((y + 1) * self.ky + 0.5)), top + 1))

    def column_span(self, x):
        left = int(math.floor(x * self.kx + 0.5))
        return range(left, max(int(math.floor((x + 1) * self.kx + 0.5)), left + 1))

    def hline(self, y, colour, a):
        for row in self.row_span(y):
            for x in range(self.w):
                self.blend(x, row, colour, a)

    def crop(self, left, top, w, h, kx=1.0, ky=1.0):
        """Screen pixels from (left, top), to be drawn on with the scale kx, ky of their own."""
        c = Canvas(w, h, kx=kx, ky=ky)
        for y in range(h):
            for x in range(w):
                c.px[y * w + x] = list(self.get(left + x, top + y))
        return c

    def rgb_rows(self):
        """Rows top to bottom, each a list of 8-bit (r, g, b)."""
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                row.append(tuple(int(round(clamp(c, 0.0, 255.0))) for c in self.px[y * self.w + x]))
            rows.append(row)
        return rows


# Signed distance functions: negative inside, in pixels.

def rounded_rect(left, top, right, bottom, r):
    cx, cy = (left + right) / 2.0, (top + bottom) / 2.0
    hx, hy = (right - left) / 2.0 - r, (bottom - top) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else clamp(((x - ax) * dx + (y - ay) * dy) / length2)
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def strokes(segments, r):
    """Round-capped lines of half-width r."""
    def sdf(x, y):
        return min(segment_distance(x, y, *s) for s in segments) - r
    return sdf


def ring(sdf, half_width):
    return lambda x, y: abs(sdf(x, y)) - half_width


def vertical(top_colour, bottom_colour, top, bottom):
    span = float(bottom - top)
    return lambda x, y: mix(top_colour, bottom_colour, clamp((y - top) / span))


# ---------------------------------------------------------------- pixel font

# 5 x 9 cells: rows 0-6 above the baseline, 7-8 for descenders.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "D": ["###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "g": [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    " ": [],
}


def glyph_segments(rows):
    """Joins neighbouring dots of a glyph into strokes, so the letters come out smooth."""
    on = {(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == "#"}
    segments = []
    for (x, y) in sorted(on):
        lonely = True
        for dx, dy in ((1, 0), (0, 1)):
            if (x + dx, y + dy) in on:
                segments.append((x, y, x + dx, y + dy))
        for dx, dy in ((1, 1), (-1, 1)):
            # A diagonal step only where no square corner already joins the two dots.
            if (x + dx, y + dy) in on and (x + dx, y) not in on and (x, y + dy) not in on:
                segments.append((x, y, x + dx, y + dy))
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (dx or dy) and (x + dx, y + dy) in on:
                    lonely = False
        if lonely:
            segments.append((x, y, x, y))
    return segments


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(canvas, text, left, top, scale, weight, colour, shadow=None):
    """Draws text whose cap height is 6 * scale; weight is the stroke's half-width."""
    pen = left
    for ch in text:
        segs = [(pen + ax * scale, top + ay * scale, pen + bx * scale, top + by * scale)
                for ax, ay, bx, by in glyph_segments(FONT[ch])]
        if segs:
            box = (pen - 2 * weight, top - 2 * weight, pen + 4 * scale + 2 * weight + 2,
                   top + 8 * scale + 2 * weight + 2)
            if shadow:
                moved = [(a + 0.8, b + 1.2, c + 0.8, d + 1.2) for a, b, c, d in segs]
                canvas.fill(strokes(moved, weight + 0.3), box, shadow, 0.55)
            canvas.fill(strokes(segs, weight), box, colour)
        pen += 6 * scale


# ---------------------------------------------------------------- pictures

def draw_pill(canvas, left, top, faces, w=BUTTON_W, h=BUTTON_H):
    top_colour, bottom_colour, outline = faces
    body = rounded_rect(left + 0.5, top + 0.5, left + w - 0.5, top + h - 0.5, (h - 1) / 2.0)
    box = (left, top, left + w, top + h)
    canvas.fill(body, box, outline)
    inner = rounded_rect(left + 1.5, top + 1.5, left + w - 1.5, top + h - 1.5, (h - 3) / 2.0)
    canvas.fill(inner, box, vertical(top_colour, bottom_colour, top + 1, top + h - 1))
    # A soft gloss over the upper half.
    gloss = rounded_rect(left + 4, top + 2.5, left + w - 4, top + h / 2.0 + 0.5, (h / 2.0 - 2) / 2.0 + 1.5)
    canvas.fill(gloss, box, vertical(WHITE, mix(top_colour, WHITE, 0.2), top + 2, top + h / 2.0), 0.32)


def draw_logo(canvas, left, top, size):
    """The maker's mark: three stacked disk bars in a white badge with a green light."""
    badge = rounded_rect(left, top, left + size, top + size, size * 0.24)
    box = (left - 6, top - 6, left + size + 6, top + size + 6)
    shade = rounded_rect(left + 1, top + 2, left + size + 1, top + size + 2, size * 0.24)
    canvas.fill(shade, box, TITLE_SHADOW, 0.35)
    canvas.fill(badge, box, vertical(WHITE, (222, 244, 246), top, top + size))
    bar_h = size * 0.17
    gap = size * 0.075
    x0, x1 = left + size * 0.2, left + size * 0.8
    y = top + (size - 3 * bar_h - 2 * gap) / 2.0
    for i in range(3):
        bar = rounded_rect(x0, y, x1, y + bar_h, bar_h / 2.0)
        canvas.fill(bar, box, vertical((30, 176, 190), (12, 120, 142), y, y + bar_h))
        light = circle(x1 - bar_h * 0.75, y + bar_h / 2.0, bar_h * 0.22)
        canvas.fill(light, box, LED_GREEN if i == 0 else (200, 246, 248))
        y += bar_h + gap


def draw_header(canvas):
    canvas.fill(lambda x, y: -1.0, (0, 0, WIDTH, HEADER_BOTTOM),
                vertical(HEADER_TOP, HEADER_BASE, 0, HEADER_BOTTOM))
    # Broad soft light sweeping across the band from the left.
    sheen = lambda x, y: math.hypot((x - 120) / 360.0, (y + 40) / 90.0) - 1.0
    for y in range(int(math.ceil(HEADER_BOTTOM * canvas.ky))):
        for x in range(canvas.w):
            d = sheen((x + 0.5) / canvas.kx, (y + 0.5) / canvas.ky)
            if d < 0:
                canvas.blend(x, y, WHITE, 0.10 * clamp(-d * 2.0))
    canvas.hline(HEADER_BOTTOM - 2, HEADER_LINE, 0.55)
    canvas.hline(HEADER_BOTTOM - 1, (8, 104, 120), 0.8)

    draw_logo(canvas, 15, 12, 31)
    # Whole-pixel positions and a two-pixel stroke keep the straight parts of the letters sharp.
    title, scale, weight = "Kestrin HW RAID Manager", 2, 1.0
    draw_text(canvas, title, 60, 21, scale, weight, WHITE, TITLE_SHADOW)
    draw_text(canvas, "Setup", 60 + text_width(title, scale) + 8 * scale, 21, scale, weight,
              (196, 244, 246), TITLE_SHADOW)


def scaled_edge(v, k):
    """The screen edge of design edge v, rounded half up."""
    return int(math.floor(v * k + 0.5))


def wave_y(x, base, amplitude, length, phase):
    return (base + amplitude * math.sin(2 * math.pi * x / length + phase)
            + amplitude * 0.35 * math.sin(2 * math.pi * x / (length * 0.47) + phase * 1.7))


def draw_content(canvas):
    left, top, right, bottom = PANEL_RIGHT, HEADER_BOTTOM, WIDTH, BAND_TOP
    canvas.fill(lambda x, y: -1.0, (left, top, right, bottom),
                lambda x, y: mix(mix(CONTENT_TOP, CONTENT_BASE, (y - top) / (bottom - top)),
                                 CONTENT_BASE, 0.35 * (x - left) / (right - left)))
    # Layers of water below a few slow waves, lighter towards the bottom.
    waves = [
        (250, 9.0, 420.0, 0.3, 0.05, 1.2),
        (272, 11.0, 360.0, 1.9, 0.06, 1.0),
        (296, 8.0, 300.0, 3.4, 0.07, 1.4),
        (318, 10.0, 460.0, 4.6, 0.08, 1.1),
    ]
    kx, ky = canvas.kx, canvas.ky
    columns = range(scaled_edge(left, kx), scaled_edge(right, kx))
    rows_top, rows_bottom = scaled_edge(top, ky), scaled_edge(bottom, ky)
    for base, amp, length, phase, fill_alpha, line_w in waves:
        for x in columns:
            cx = (x + 0.5) / kx
            yc = wave_y(cx, base, amp, length, phase) * ky
            slope = (wave_y(cx + 0.5, base, amp, length, phase) - wave_y(cx - 0.5, base, amp, length, phase))
            scale = 1.0 / math.sqrt(1.0 + slope * slope)
            for y in range(int(yc) - int(math.ceil(3 * ky)), rows_bottom):
                d = (y + 0.5 - yc) * scale
                if y >= rows_top:
                    canvas.blend(x, y, WAVE_LIGHT, fill_alpha * coverage(-d))
                    canvas.blend(x, y, WAVE_LIGHT, 0.28 * coverage(abs(d) - line_w * ky / 2.0))
    # Fine high ripples near the top of the area.
    for base, amp, length, phase in ((92, 4.0, 220.0, 0.8), (112, 3.0, 170.0, 2.6)):
        for x in columns:
            cx = (x + 0.5) / kx
            yc = wave_y(cx, base, amp, length, phase) * ky
            fade = clamp((cx - left) / 120.0) * clamp((right - cx) / 60.0)
            for y in range(int(yc) - int(math.ceil(2 * ky)), int(yc) + int(math.ceil(3 * ky))):
                canvas.blend(x, y, WAVE_LIGHT, 0.12 * fade * coverage(abs(y + 0.5 - yc) - 0.5 * ky))
    for y in range(rows_top, rows_bottom):
        for x in canvas.column_span(left):
            canvas.blend(x, y, (70, 170, 200), 0.45)


def draw_drive_array(canvas, cx, cy):
    w, h = 124.0, 150.0
    left, top = cx - w / 2.0, cy - h / 2.0
    box = (left - 30, top - 30, left + w + 30, top + h + 40)
    chassis = rounded_rect(left, top, left + w, top + h, 9)
    # Floor shadow and a cool glow behind the enclosure.
    kx, ky = canvas.kx, canvas.ky
    for y in range(int((top + h) * ky), int((top + h + 20) * ky)):
        for x in range(int((cx - 80) * kx), int((cx + 80) * kx)):
            spread = math.hypot(((x + 0.5) / kx - cx) / 76.0, ((y + 0.5) / ky - (top + h + 7)) / 9.0)
            canvas.blend(x, y, (4, 26, 50), 0.45 * clamp(1.0 - spread) ** 2)
    canvas.glow(chassis, box, (90, 210, 230), 22, 0.22)
    canvas.fill(chassis, box, vertical(METAL_LIGHT, METAL_DARK, top, top + h))
    canvas.fill(ring(rounded_rect(left + 1, top + 1, left + w - 1, top + h - 1, 8), 0.5), box,
                (170, 186, 200), 0.45)
    # Name plate.
    plate = rounded_rect(left + 12, top + 9, left + w - 12, top + 19, 3)
    canvas.fill(plate, box, vertical((40, 50, 62), (26, 32, 42), top + 9, top + 19))
    for i in range(3):
        canvas.fill(circle(left + 20 + i * 7, top + 14, 1.8), box, LED_BLUE if i == 0 else (70, 84, 100))
    canvas.fill(rounded_rect(left + w - 52, top + 12.5, left + w - 18, top + 15.5, 1.5), box, (84, 200, 214))
    # Four drive sleds, each with vents, a handle and two lights.
    sled_top = top + 27
    for i in range(4):
        y0 = sled_top + i * 29
        sled = rounded_rect(left + 8, y0, left + w - 8, y0 + 24, 4)
        canvas.fill(sled, box, vertical((132, 146, 162), (88, 100, 116), y0, y0 + 24))
        canvas.fill(ring(sled, 0.5), box, (30, 38, 48), 0.6)
        for v in range(6):
            vx = left + 16 + v * 5
            canvas.fill(strokes([(vx, y0 + 7, vx, y0 + 17)], 1.1), box, (52, 62, 76))
        handle = rounded_rect(left + 54, y0 + 8, left + w - 30, y0 + 16, 4)
        canvas.fill(handle, box, vertical((176, 190, 204), (120, 134, 150), y0 + 8, y0 + 16))
        canvas.fill(ring(handle, 0.45), box, (60, 72, 88), 0.7)
        green = circle(left + w - 22, y0 + 9, 2.2)
        canvas.glow(green, box, LED_GREEN, 5, 0.35)
        canvas.fill(green, box, LED_GREEN)
        blue = circle(left + w - 22, y0 + 16, 2.0)
        canvas.fill(blue, box, LED_BLUE if i != 2 else (70, 84, 100))


def draw_panel(canvas):
    left, top, right, bottom = 0, HEADER_BOTTOM, PANEL_RIGHT, BAND_TOP
    canvas.fill(lambda x, y: -1.0, (left, top, right, bottom), vertical(PANEL_TOP, PANEL_BASE, top, bottom))
    # Light rings spreading from behind the enclosure.
    cx, cy = 100, 196
    for r, a in ((60, 0.10), (82, 0.08), (106, 0.06), (132, 0.045)):
        canvas.fill(ring(circle(cx, cy, r), 0.7), (left, top, right, bottom), (150, 230, 240), a)
    draw_drive_array(canvas, cx, cy)


def draw_band(canvas):
    top = BAND_TOP
    canvas.fill(lambda x, y: -1.0, (0, top, WIDTH, HEIGHT), vertical(BAND_TOP_COLOUR, WHITE, top, top + 24))
    canvas.hline(top, (196, 212, 222), 1.0)
    canvas.hline(top + 1, (230, 238, 243), 1.0)
    for left, top_ in (ACTION_AT, CANCEL_AT):
        shadow = rounded_rect(left + 0.5, top_ + 1.5, left + BUTTON_W - 0.5, top_ + BUTTON_H + 0.5,
                              (BUTTON_H - 1) / 2.0)
        canvas.fill(shadow, (left - 2, top_ - 2, left + BUTTON_W + 3, top_ + BUTTON_H + 4), (150, 170, 190), 0.35)


def draw_button_places(canvas):
    for left, top in (ACTION_AT, CANCEL_AT):
        draw_pill(canvas, left, top, PILL_NORMAL)


def draw_frame(canvas):
    # One design pixel wide, as the screen rounds it.
    t = max(1, scaled_edge(1, canvas.k))
    band = scaled_edge(BAND_TOP, canvas.ky)
    for x in range(canvas.w):
        for i in range(t):
            canvas.blend(x, i, FRAME, 1.0)
            canvas.blend(x, canvas.h - 1 - i, (150, 170, 186), 1.0)
    for y in range(canvas.h):
        edge = FRAME if y < band else (150, 170, 186)
        for i in range(t):
            canvas.blend(i, y, edge, 1.0)
            canvas.blend(canvas.w - 1 - i, y, edge, 1.0)


def make_background(dpi=DESIGN_DPI):
    """The background, and the ground under the push buttons before their faces are drawn."""
    k = dpi / float(DESIGN_DPI)
    canvas = Canvas(scaled(WIDTH, dpi), scaled(HEIGHT, dpi), WHITE, kx=k, ky=k)
    draw_content(canvas)
    draw_panel(canvas)
    draw_header(canvas)
    draw_band(canvas)
    draw_frame(canvas)
    button_ground = placed_crop(canvas, ACTION_AT, BUTTON_W, BUTTON_H, dpi)
    draw_button_places(canvas)
    return canvas, button_ground


def placed_crop(background, at, w, h, dpi):
    """The background where the wizard puts a picture of design size w x h, at the picture's size
    for dpi, to be drawn on in the picture's own design pixels."""
    sw, sh = scaled(w, dpi), scaled(h, dpi)
    return background.crop(scaled(at[0], dpi), scaled(at[1], dpi), sw, sh, sw / float(w), sh / float(h))


def make_pill(button_ground, faces):
    canvas = button_ground.crop(0, 0, button_ground.w, button_ground.h, button_ground.kx, button_ground.ky)
    draw_pill(canvas, 0, 0, faces)
    return canvas


def make_window_glyph(background, at, mark, colour, dpi=DESIGN_DPI):
    canvas = placed_crop(background, at, 16, 16, dpi)
    tile = rounded_rect(0.5, 0.5, 15.5, 15.5, 3.5)
    canvas.fill(tile, (0, 0, 16, 16), (8, 70, 128), 0.9)
    canvas.fill(rounded_rect(1.5, 1.5, 14.5, 14.5, 2.5), (0, 0, 16, 16),
                vertical(GLYPH_TILE_TOP, GLYPH_TILE_BASE, 1, 15))
    if mark == "cross":
        shape = strokes([(5.0, 5.0, 11.0, 11.0), (11.0, 5.0, 5.0, 11.0)], 0.95)
    else:
        shape = strokes([(4.5, 10.0, 11.5, 10.0)], 1.0)
    canvas.fill(shape, (0, 0, 16, 16), colour)
    return canvas


def make_check_box(background, ticked, dpi=DESIGN_DPI):
    canvas = placed_crop(background, CHECK_AT, 18, 18, dpi)
    outer = rounded_rect(0.5, 0.5, 17.5, 17.5, 3)
    canvas.fill(outer, (0, 0, 18, 18), BOX_BORDER)
    canvas.fill(rounded_rect(1.5, 1.5, 16.5, 16.5, 2), (0, 0, 18, 18), vertical((236, 242, 247), WHITE, 1, 10))
    if ticked:
        canvas.fill(strokes([(4.6, 9.2, 7.6, 12.4), (7.6, 12.4, 13.4, 5.4)], 1.25), (0, 0, 18, 18), TICK)
    return canvas


def make_option_mark(background, selected):
    canvas = background.crop(OPTION_AT[0], OPTION_AT[1], 23, 28)
    cx, cy = 11.5, 14.0
    canvas.fill(circle(cx, cy, 8.0), (0, 0, 23, 28), BOX_BORDER)
    canvas.fill(circle(cx, cy, 7.0), (0, 0, 23, 28), vertical((236, 242, 247), WHITE, 7, 16))
    if selected:
        canvas.fill(circle(cx, cy, 3.6), (0, 0, 23, 28), vertical((60, 150, 226), TICK, 10, 18))
    return canvas


def make_icon():
    canvas = Canvas(32, 32, (0, 0, 0), alpha=0.0)
    tile = rounded_rect(1, 1, 31, 31, 7)
    canvas.fill(rounded_rect(1.5, 2.5, 31, 31.5, 7), (0, 0, 32, 32), (0, 40, 60), 0.35)
    canvas.fill(tile, (0, 0, 32, 32), vertical(HEADER_TOP, (10, 118, 140), 1, 31))
    canvas.fill(ring(rounded_rect(1.5, 1.5, 30.5, 30.5, 6.5), 0.5), (0, 0, 32, 32), (150, 236, 240), 0.5)
    for i in range(3):
        y = 7.5 + i * 6.0
        canvas.fill(rounded_rect(7, y, 25, y + 4.6, 2.3), (0, 0, 32, 32), WHITE)
        canvas.fill(circle(21.6, y + 2.3, 1.1), (0, 0, 32, 32), LED_GREEN if i == 0 else (120, 200, 210))
    return canvas


# ---------------------------------------------------------------- files

def bmp_bytes(canvas):
    """An uncompressed 24-bit bottom-up Windows bitmap."""
    stride = (canvas.w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(canvas.rgb_rows()):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def ico_bytes(canvas):
    """One 32-bit DIB image with its AND mask (no PNG entry)."""
    w, h = canvas.w, canvas.h
    rows = canvas.rgb_rows()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in reversed(range(h)):
        bits = bytearray(mask_stride)
        for x in range(w):
            a = int(round(clamp(canvas.alpha[y * w + x]) * 255))
            r, g, b = rows[y][x] if a else (0, 0, 0)
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def png_filtered_rows(rows):
    """Each row with the filter of smallest absolute sum, as encoders commonly choose."""
    out = bytearray()
    prev = bytes(len(rows[0]))
    for row in rows:
        n = len(row)
        left = bytes(3) + row[:-3]
        upleft = bytes(3) + prev[:-3]
        candidates = (
            (0, row),
            (1, bytes((row[i] - left[i]) & 0xFF for i in range(n))),
            (2, bytes((row[i] - prev[i]) & 0xFF for i in range(n))),
            (3, bytes((row[i] - ((left[i] + prev[i]) >> 1)) & 0xFF for i in range(n))),
            (4, bytes((row[i] - paeth(left[i], prev[i], upleft[i])) & 0xFF for i in range(n))),
        )
        kind, data = min(candidates, key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))
        out.append(kind)
        out += data
        prev = row
    return bytes(out)


def rgb_bytes(canvas):
    return [bytes(v for p in row for v in p) for row in canvas.rgb_rows()]


def png_bytes(canvas):
    """A 24-bit PNG, which the Windows imaging component decodes."""
    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 2, 0, 0, 0)
    data = zlib.compress(png_filtered_rows(rgb_bytes(canvas)), 9)
    return PNG_SIGNATURE + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", data) + png_chunk(b"IEND", b"")


def png_rgb_rows(data):
    """The rows of a 24-bit PNG written by png_bytes, unfiltered; None when it is not one."""
    if not data.startswith(PNG_SIGNATURE):
        return None
    at, idat, size = len(PNG_SIGNATURE), b"", None
    while at + 8 <= len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            size = struct.unpack_from(">II", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if not size:
        return None
    w, h = size
    raw = zlib.decompress(idat)
    stride = w * 3
    rows, prev = [], bytearray(stride)
    for y in range(h):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            row[i] = (row[i] + (0, a, b, (a + b) >> 1, paeth(a, b, c))[kind]) & 0xFF
        rows.append(bytes(row))
        prev = row
    return rows


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
    stale = []
    for name, data in sorted(files.items()):
        path = os.path.join(SKIN_DIR, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    for name, canvas in sorted(pictures.items()):
        path = os.path.join(SKIN_DIR, name)
        if check:
            # The pixels count, not the compressor's choices, which another zlib may make otherwise.
            try:
                with open(path, "rb") as f:
                    if png_rgb_rows(f.read()) != rgb_bytes(canvas):
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(png_bytes(canvas))
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
