"""The skin's drawing kit: a canvas of screen pixels drawn on in design pixels, shapes given by
signed distance functions and anti-aliased by their coverage of each pixel, and a small pixel font
whose dots are joined into strokes."""

import math

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



def scaled_edge(v, k):
    """The screen edge of design edge v, rounded half up."""
    return int(math.floor(v * k + 0.5))
