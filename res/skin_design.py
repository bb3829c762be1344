"""The skin's design: where the wizard puts each picture on the 584-pixel background, the palette,
and the drawing of the background's parts and of the small pictures, in design pixels at any scale."""

import math

from skin_canvas import (Canvas, circle, clamp, coverage, draw_text, mix, ring, rounded_rect,
                         scaled_edge, strokes, text_width, vertical)

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
