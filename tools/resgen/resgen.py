#!/usr/bin/env python3
"""Draws the suite's resource pictures as Windows files: toolbox bitmaps (.bmp), icons (.ico)
and cursors (.cur).

Every picture is drawn here from simple shapes; nothing is copied from elsewhere.
Usage: resgen.py OUTDIR NAME...   (names listed in PICTURES)
"""
import struct
import sys
from pathlib import Path

# Colours as (r, g, b).
FACE = (0xD4, 0xD0, 0xC8)
DARK = (0x40, 0x40, 0x40)
BAR = (0x00, 0x3A, 0x87)
LIGHT = (0xFF, 0xFF, 0xFF)
TROUGH = (0xD8, 0xD9, 0xDE)


def bmp(width, height, pixel):
    """A bottom-up 24-bit BMP of pixel(x, y) -> (r, g, b)."""
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def progress_toolbox(x, y):
    """16x15 toolbox picture: a framed bar, two thirds filled, lighter at the top."""
    if y < 4 or y > 10 or x > 14:
        return FACE
    if y in (4, 10) or x in (0, 14):
        return DARK
    if x <= 9:
        return LIGHT if y == 5 else BAR
    return TROUGH


def meter_toolbox(x, y):
    """16x15 toolbox picture: a column of five segments, the lower three lit green, amber, red."""
    if x < 5 or x > 10 or y < 1 or y > 14:
        return FACE
    if y % 3 == 0:
        return DARK
    lit = {4: (0x00, 0xC0, 0x00), 3: (0xC0, 0xC0, 0x00), 2: (0xC0, 0x00, 0x00)}
    return lit.get(y // 3, (0x40, 0x40, 0x40))


def gradframe_toolbox(x, y):
    """16x15 toolbox picture: a frame shaded from blue-grey to white with a tab at the top left."""
    if x in (0, 15) or y in (0, 14) or (y == 4 and x <= 6) or (x == 6 + 4 - y and y < 4):
        return DARK
    shade = int(0x9C + (0xFF - 0x9C) * y / 14)
    return (shade, min(0xFF, shade + 0x11), min(0xFF, shade + 0x1F))


# ---- Icons and cursors (32-bit colour with alpha, plus the 1-bit mask older systems use) ----

CLEAR = None  # a transparent pixel


def _icon_image(width, height, pixel):
    """BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the AND mask (1 = transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask_row = ((width + 31) // 32) * 4
    mask = bytearray()
    for y in range(height - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(width):
            p = pixel(x, y)
            if p is CLEAR:
                colour += b"\0\0\0\0"
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = p
                colour += bytes((b, g, r, 0xFF))
        mask += bits
    return header + bytes(colour) + bytes(mask)


def _icon_file(kind, width, height, pixel, hotspot=(0, 0), scales=(1,)):
    """An .ico (kind 1) or .cur (kind 2) file holding the image at each of `scales` (1: the
    96 DPI size; larger ones repeat its pixels, so the system can pick the size it shows)."""
    images, entries = [], []
    offset = 6 + 16 * len(scales)
    for k in scales:
        w, h = scaled_size(width, k), scaled_size(height, k)
        image = _icon_image(w, h, pixel if k == 1 else nearest(pixel, k))
        planes, bits = (1, 32) if kind == 1 else (int(hotspot[0] * k), int(hotspot[1] * k))
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, planes, bits, len(image),
                                   offset))
        images.append(image)
        offset += len(image)
    head = struct.pack("<HHH", 0, kind, len(scales))
    return head + b"".join(entries) + b"".join(images)


def _near_segment(x, y, a, b, reach):
    """Whether the centre of pixel (x, y) lies within `reach` of the segment a-b."""
    px, py = x + 0.5, y + 0.5
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return (px - cx) ** 2 + (py - cy) ** 2 <= reach * reach


# Check box images, 16x16: a 13x13 box with a frame, empty, crossed or ticked.
CHECK_LOOKS = {
    # enabled: dark frame, white field, red cross, green tick
    1: {"frame": (0x1C, 0x51, 0x80), "field": (0xFF, 0xFF, 0xFF), "cross": (0xD2, 0x1E, 0x1E),
        "tick": (0x1E, 0x9A, 0x2E)},
    # disabled: the same shapes in greys
    0: {"frame": (0xA0, 0xA0, 0xA0), "field": (0xF0, 0xF0, 0xF0), "cross": (0x9A, 0x9A, 0x9A),
        "tick": (0x9A, 0x9A, 0x9A)},
}
BOX = (1, 14)  # first and last row/column of the frame


def scaled_size(pixels, scale):
    """A size of the 96 DPI drawing at `scale` (1.25, 1.5, 2), rounded half up."""
    return int(pixels * scale + 0.5)


def check_image(look, state, scale=1):
    """Image `state` (0 crossed, 1 empty, 2 ticked) of look 1 (enabled) or 0 (disabled), drawn
    for a display of `scale` times 96 DPI: the frame stays one pixel (two from double size), the
    cross and the tick are drawn again at the larger size rather than stretched."""
    colours = CHECK_LOOKS[look]
    size = scaled_size(16, scale)
    lo, hi = BOX[0], size - 1 - (15 - BOX[1])
    line = max(1, int(scale))
    f = (hi - lo) / float(BOX[1] - BOX[0])  # the box's own scale

    def at(u, v):
        return (lo + (u - BOX[0]) * f, lo + (v - BOX[0]) * f)

    def pixel(x, y):
        if x < lo or x > hi or y < lo or y > hi:
            return CLEAR
        if x < lo + line or x > hi - line or y < lo + line or y > hi - line:
            return colours["frame"]
        if state == 0 and (_near_segment(x, y, at(4.5, 4.5), at(11.5, 11.5), 0.9 * f)
                           or _near_segment(x, y, at(11.5, 4.5), at(4.5, 11.5), 0.9 * f)):
            return colours["cross"]
        if state == 2 and (_near_segment(x, y, at(4.0, 8.0), at(7.0, 11.0), 1.0 * f)
                           or _near_segment(x, y, at(7.0, 11.0), at(12.0, 4.5), 1.0 * f)):
            return colours["tick"]
        return colours["field"]

    return pixel


def nearest(pixel, scale):
    """A drawing made larger by repeating pixels (crisp: no colour is mixed)."""
    return lambda x, y: pixel(int(x / scale), int(y / scale))


# The larger drawings for displays of more dots per inch: resource name suffix and scale.
SCALES = {"125": 1.25, "150": 1.5, "200": 2.0}


BLACK = (0x00, 0x00, 0x00)
WHITE = (0xFF, 0xFF, 0xFF)


def _outlined(inside, fill=WHITE):
    """A 32x32 cursor picture of a shape: black edge pixels, `fill` inside, clear outside."""

    def pixel(x, y):
        if not inside(x, y):
            return CLEAR
        for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
            if not inside(nx, ny):
                return BLACK
        return fill

    return pixel


def _hand_inside(x, y):
    """A hand pointing up with its index finger; the finger tip is at (10, 1)."""
    if 8 <= x <= 12 and 1 <= y <= 14:  # index finger, rounded tip
        return not (y == 1 and x in (8, 12))
    if 12 <= x <= 15 and 8 <= y <= 14:  # middle finger
        return not (y == 8 and x == 15)
    if 15 <= x <= 18 and 9 <= y <= 14:  # ring finger
        return not (y == 9 and x == 18)
    if 18 <= x <= 21 and 10 <= y <= 16:  # little finger
        return not (y == 10 and x == 21)
    if 3 <= x <= 8 and 12 <= y <= 19 and x - 3 >= (19 - y) // 2 - 1:  # thumb, slanting out
        return True
    if 6 <= x <= 21 and 14 <= y <= 25:  # palm with rounded lower corners
        return not (y == 25 and x in (6, 21)) and not (y >= 23 and x == 6)
    return False


def hand_cursor(x, y):
    # Lines between the folded fingers, down to the palm.
    if _hand_inside(x, y) and (x, y) in {(12, y) for y in range(9, 14)} | {
            (15, y) for y in range(10, 14)} | {(18, y) for y in range(11, 15)}:
        return BLACK
    return _outlined(_hand_inside)(x, y)


def _arrow_inside(x, y):
    """The usual arrow with its tip at (0, 0)."""
    if 0 <= y <= 15 and 0 <= x <= y * 0.62:
        return True
    return 16 <= y <= 20 and 4 + (y - 16) // 2 <= x <= 7 + (y - 16) // 2


def check_cursor(x, y):
    """The arrow with a small ticked box at its lower right: the pointer over a check box."""
    if 14 <= x <= 27 and 14 <= y <= 27:
        return check_image(1, 2)(x - 13, y - 13) or WHITE
    return _outlined(_arrow_inside)(x, y)


ICONS = {
    "chk_img%d_%d.ico" % (look, state): (16, 16, check_image(look, state))
    for look in (0, 1)
    for state in (0, 1, 2)
}
ICONS.update({
    "chk_img%d_%d_%s.ico" % (look, state, suffix):
    (scaled_size(16, k), scaled_size(16, k), check_image(look, state, k))
    for look in (0, 1)
    for state in (0, 1, 2)
    for suffix, k in SCALES.items()
})
CURSORS = {
    "check.cur": (32, 32, check_cursor, (0, 0)),
    "hand.cur": (32, 32, hand_cursor, (10, 1)),
}


def checkbox_toolbox(x, y):
    """16x15 toolbox picture: the ticked check box."""
    if y > 15 or x > 15:
        return FACE
    return check_image(1, 2)(x, y + 1) or FACE


def hyperlink_toolbox(x, y):
    """16x15 toolbox picture: a blue, underlined link text on the face colour."""
    link = (0x00, 0x00, 0xFF)
    if y == 12 and 1 <= x <= 14:
        return link
    word = ["  X  X    X  X  ", "  X     XXX  X X", "  X  X X  X  XX ", "  X  X X  X  X X",
            "  X  X X  X  X  X"]
    if 5 <= y <= 9:
        row = word[y - 5]
        return link if x < len(row) and row[x] == "X" else FACE
    return FACE


def button_toolbox(x, y):
    """16x15 toolbox picture: a push button, light at the top and darker below, with a caption."""
    if x < 1 or x > 14 or y < 3 or y > 12:
        return FACE
    if y == 12 or x == 14:
        return DARK
    if y == 3 or x == 1:
        return LIGHT
    if y == 8 and 4 <= x <= 11:
        return (0x20, 0x20, 0x20)
    shade = 0xF4 - (y - 4) * 10
    return (shade, shade, min(0xFF, shade + 8))


def tracker_toolbox(x, y):
    """16x15 toolbox picture: a dark graph with a green trace rising to the right."""
    if x > 15 or y < 1 or y > 13:
        return FACE
    if x in (0, 15) or y in (1, 13):
        return DARK
    trace = {1: 10, 2: 9, 3: 10, 4: 8, 5: 8, 6: 7, 7: 9, 8: 6, 9: 5, 10: 6, 11: 4, 12: 4, 13: 3,
             14: 3}
    if trace.get(x) == y:
        return (0x00, 0xFF, 0x00)
    return (0x00, 0x33, 0x00) if y == 7 else (0x00, 0x00, 0x00)


def eurobox_toolbox(x, y):
    """16x15 toolbox picture: a white entry box with digits and a euro sign."""
    if x > 15 or y < 3 or y > 11:
        return FACE
    if x in (0, 15) or y in (3, 11):
        return DARK
    digits = ["         ", " X  XX   ", "XX    X  ", " X   X   ", " X  X  X ", "XXX XXXX "]
    if 5 <= y <= 10 and 1 <= x <= 9:
        row = digits[y - 5]
        return (0x00, 0x00, 0x00) if x - 1 < len(row) and row[x - 1] == "X" else LIGHT
    euro = {5: (12, 13), 6: (11,), 7: (10, 11, 12), 8: (11,), 9: (10, 11, 12), 10: (12, 13)}
    if x in euro.get(y, ()):
        return (0x00, 0x00, 0x80)
    return LIGHT


# ---- Country flags of the VAT number box: 24x16, a grey outline round a 22x14 flag ----
#
# A flag is drawn by a function of a point (u, v) inside the 22x14 field (u to the right, v
# down, both in pixels) that returns a colour, or None where it leaves the layer below showing.
# Straight bands sit on whole pixels; round and slanting shapes are softened by sampling each
# pixel several times.

FLAG_W, FLAG_H = 22, 14
FLAG_EDGE = (0x80, 0x80, 0x80)
FLAG_SAMPLES = 4  # per axis


def _cuts(weights, extent):
    """Pixel positions of the borders between bands of the given relative sizes."""
    total = float(sum(weights))
    cuts, run = [], 0
    for w in weights[:-1]:
        run += w
        cuts.append(int(run * extent / total + 0.5))
    return cuts


def _bands(colours, weights=None, vertical=False):
    """Bands across the flag (top to bottom), or side by side from the hoist when vertical."""
    cuts = _cuts(weights or [1] * len(colours), FLAG_W if vertical else FLAG_H)

    def draw(u, v):
        at = u if vertical else v
        return colours[sum(1 for c in cuts if at >= c)]

    return draw


def _rect(x0, y0, x1, y1, colour):
    return lambda u, v: colour if x0 <= u < x1 and y0 <= v < y1 else None


def _disc(cx, cy, radius, colour):
    return lambda u, v: colour if (u - cx) ** 2 + (v - cy) ** 2 <= radius * radius else None


def _polygon(points, colour):
    """The inside of a closed polygon (even-odd rule)."""

    def draw(u, v):
        inside = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > v) != (by > v) and u < ax + (v - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return colour if inside else None

    return draw


def _line(a, b, width, colour):
    """A stroke of the given width along the segment a-b."""
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length2 = float(dx * dx + dy * dy)

    def draw(u, v):
        t = max(0.0, min(1.0, ((u - ax) * dx + (v - ay) * dy) / length2))
        cx, cy = ax + t * dx, ay + t * dy
        return colour if (u - cx) ** 2 + (v - cy) ** 2 <= width * width / 4 else None

    return draw


def _nordic(field, cross, width, hoist):
    """A field with a cross whose upright stands `hoist` pixels from the hoist."""
    top = (FLAG_H - width) // 2
    return _stack(lambda u, v: field, _rect(hoist, 0, hoist + width, FLAG_H, cross),
                  _rect(0, top, FLAG_W, top + width, cross))


def _stack(*layers):
    """Layers from the bottom up: each point takes the colour of the topmost one covering it."""

    def draw(u, v):
        for layer in reversed(layers):
            colour = layer(u, v)
            if colour is not None:
                return colour
        return None

    return draw


def _flag_picture(draw, scale=1):
    """The bitmap pixel function of a flag drawing: 24x16 at 96 DPI; at `scale` the flag is
    drawn again at the larger size inside the same one-pixel edge."""
    w, h = scaled_size(FLAG_W, scale), scaled_size(FLAG_H, scale)
    fx, fy = FLAG_W / float(w), FLAG_H / float(h)

    def pixel(x, y):
        if x in (0, w + 1) or y in (0, h + 1):
            return FLAG_EDGE
        total = [0, 0, 0]
        n = FLAG_SAMPLES
        for i in range(n):
            for j in range(n):
                colour = draw((x - 1 + (i + 0.5) / n) * fx, (y - 1 + (j + 0.5) / n) * fy)
                for k in range(3):
                    total[k] += colour[k]
        return tuple(int(t / (n * n) + 0.5) for t in total)

    return pixel


def _union_flag():
    """Crosses of St George, St Andrew and St Patrick; diagonals measured on a 60x30 flag."""
    blue, red = (0x01, 0x21, 0x69), (0xC8, 0x10, 0x2E)
    root5 = 5 ** 0.5

    def saltire(u, v):
        # Taken at pixel centres: thin slanting stripes stay sharper unsoftened at this size.
        x, y = (int(u) + 0.5) * 60 / FLAG_W, (int(v) + 0.5) * 30 / FLAG_H
        # Signed distance below the diagonal through this quarter. The red stripes are
        # counterchanged: below the diagonal in the two hoist quarters, above it in the fly.
        left, top = x < 30, y < 15
        if left == top:
            s = (2 * y - x) / root5  # from the upper hoist corner down to the lower fly
        else:
            s = (x + 2 * y - 60) / root5  # from the lower hoist corner up to the upper fly
        if 0 < (s if left else -s) < 2:
            return red
        if abs(s) < 3:
            return WHITE
        return blue

    return _stack(saltire, _rect(9, 0, 13, FLAG_H, WHITE), _rect(0, 5, FLAG_W, 9, WHITE),
                  _rect(10, 0, 12, FLAG_H, red), _rect(0, 6, FLAG_W, 8, red))


def _greek_flag():
    blue = (0x0D, 0x5E, 0xAF)
    stripes = _bands([blue, WHITE] * 4 + [blue])
    canton = _cuts([1] * 9, FLAG_H)[4]  # the canton is as tall as five stripes, and square
    return _stack(stripes, _rect(0, 0, canton, canton, blue),
                  _rect(canton // 2 - 1, 0, canton // 2 + 1, canton, WHITE),
                  _rect(0, canton // 2 - 1, canton, canton // 2 + 1, WHITE))


def _cypriot_flag():
    copper, olive = (0xD5, 0x7C, 0x1A), (0x4E, 0x5B, 0x31)
    island = [(5.6, 7.4), (6.8, 6.0), (9.0, 5.7), (11.5, 5.7), (13.6, 5.0), (15.4, 3.9),
              (17.0, 3.1), (16.4, 4.2), (14.8, 5.6), (14.6, 6.6), (13.0, 7.6), (11.8, 8.8),
              (9.6, 9.0), (8.2, 9.4), (7.0, 8.4)]
    return _stack(lambda u, v: WHITE, _polygon(island, copper),
                  _line((10.5, 11.5), (7.5, 10.5), 1.7, olive),
                  _line((11.5, 11.5), (14.5, 10.5), 1.7, olive))


def _portuguese_flag():
    green, red, yellow = (0x04, 0x6A, 0x38), (0xDA, 0x29, 0x1C), (0xFF, 0xE0, 0x00)
    split = _cuts([2, 3], FLAG_W)[0]
    return _stack(_bands([green, red], [2, 3], vertical=True), _disc(split + 0.5, 7, 3.7, yellow),
                  _rect(split - 1, 5, split + 2, 9, red), _rect(split, 6, split + 1, 8, WHITE))


def _czech_flag():
    blue = (0x11, 0x45, 0x7E)
    return _stack(_bands([WHITE, (0xD7, 0x14, 0x1A)]),
                  _polygon([(0, 0), (FLAG_W / 2, FLAG_H / 2), (0, FLAG_H)], blue))


def _maltese_flag():
    grey, red = (0xA8, 0xA8, 0xA8), (0xCF, 0x14, 0x2B)
    return _stack(_bands([WHITE, red], vertical=True), _rect(3, 1, 4, 6, grey),
                  _rect(1, 3, 6, 4, grey))


def _spanish_flag():
    red, yellow = (0xC6, 0x0B, 0x1E), (0xFF, 0xC4, 0x00)
    return _stack(_bands([red, yellow, red], [1, 2, 1]), _rect(5, 5, 8, 9, (0xAD, 0x15, 0x19)),
                  _rect(6, 6, 7, 8, (0xE0, 0xA0, 0x30)))


def _slovenian_flag():
    blue, red = (0x00, 0x5D, 0xA4), (0xED, 0x1C, 0x24)
    return _stack(_bands([WHITE, blue, red]), _rect(4, 2, 9, 8, red), _rect(6, 8, 7, 9, red),
                  _rect(5, 3, 8, 8, blue), _rect(6, 5, 7, 6, WHITE), _rect(5, 6, 8, 7, WHITE))


def _slovak_flag():
    blue, red = (0x0B, 0x4E, 0xA2), (0xEE, 0x1C, 0x25)
    # A white-edged red shield with a white double cross standing on blue hills.
    shield = _stack(_rect(3, 2, 11, 11, WHITE), _rect(4, 11, 10, 12, WHITE),
                    _rect(5, 12, 9, 13, WHITE), _rect(4, 3, 10, 11, red),
                    _rect(5, 11, 9, 12, red), _rect(6, 4, 8, 10, WHITE),
                    _rect(5, 5, 9, 6, WHITE), _rect(4, 7, 10, 8, WHITE),
                    _rect(4, 9, 10, 11, blue), _rect(5, 11, 9, 12, blue),
                    _rect(6, 9, 8, 10, blue))
    return _stack(_bands([WHITE, blue, red]), shield)


FLAGS = {
    "AT": _bands([(0xC8, 0x10, 0x2E), WHITE, (0xC8, 0x10, 0x2E)]),
    "BE": _bands([(0x10, 0x10, 0x10), (0xFD, 0xDA, 0x24), (0xEF, 0x33, 0x40)], vertical=True),
    "BG": _bands([WHITE, (0x00, 0x96, 0x6E), (0xD6, 0x26, 0x12)]),
    "CY": _cypriot_flag(),
    "CZ": _czech_flag(),
    "DE": _bands([(0x10, 0x10, 0x10), (0xDD, 0x00, 0x00), (0xFF, 0xCE, 0x00)]),
    "DK": _nordic((0xC8, 0x10, 0x2E), WHITE, 2, 7),
    "EE": _bands([(0x00, 0x72, 0xCE), (0x10, 0x10, 0x10), WHITE]),
    "EL": _greek_flag(),
    "ES": _spanish_flag(),
    "FI": _nordic(WHITE, (0x00, 0x2F, 0x6C), 4, 6),
    "FR": _bands([(0x00, 0x35, 0x9C), WHITE, (0xEF, 0x41, 0x35)], vertical=True),
    "GB": _union_flag(),
    "HU": _bands([(0xCE, 0x29, 0x39), WHITE, (0x47, 0x70, 0x50)]),
    "IE": _bands([(0x16, 0x9B, 0x62), WHITE, (0xFF, 0x88, 0x3E)], vertical=True),
    "IT": _bands([(0x00, 0x92, 0x46), WHITE, (0xCE, 0x2B, 0x37)], vertical=True),
    "LT": _bands([(0xFD, 0xB9, 0x13), (0x00, 0x6A, 0x44), (0xC1, 0x27, 0x2D)]),
    "LU": _bands([(0xED, 0x29, 0x39), WHITE, (0x00, 0xA1, 0xDE)]),
    "LV": _bands([(0x9E, 0x30, 0x39), WHITE, (0x9E, 0x30, 0x39)], [2, 1, 2]),
    "MT": _maltese_flag(),
    "NL": _bands([(0xAE, 0x1C, 0x28), WHITE, (0x21, 0x46, 0x8B)]),
    "PL": _bands([WHITE, (0xDC, 0x14, 0x3C)]),
    "PT": _portuguese_flag(),
    "RO": _bands([(0x00, 0x2B, 0x7F), (0xFC, 0xD1, 0x16), (0xCE, 0x11, 0x26)], vertical=True),
    "SE": _nordic((0x00, 0x6A, 0xA7), (0xFE, 0xCC, 0x00), 2, 7),
    "SI": _slovenian_flag(),
    "SK": _slovak_flag(),
}


# Drop-down button of the VAT number box, 11x18, at the right end of the white code box:
# a separator line at its left and a small arrow pointing down, in three states.
DROPDOWN_LOOKS = {
    # normal: white face, light grey separator, dark grey arrow
    0: {"face": (0xFF, 0xFF, 0xFF), "edge": (0xD6, 0xD6, 0xD6), "arrow": (0x5A, 0x5A, 0x5A),
        "shift": 0},
    # the number box has the focus: a blue-grey tint, separator and arrow
    1: {"face": (0xE2, 0xE5, 0xEE), "edge": (0x9E, 0xA4, 0xB7), "arrow": (0x4A, 0x50, 0x66),
        "shift": 0},
    # pressed or open: a darker face, the arrow one pixel lower
    2: {"face": (0xB9, 0xBE, 0xCD), "edge": (0x80, 0x86, 0x9C), "arrow": (0x20, 0x24, 0x34),
        "shift": 1},
}


def dropdown_button(state):
    """Picture 0 (normal), 1 (the number box has the focus) or 2 (pressed or open)."""
    look = DROPDOWN_LOOKS[state]

    def pixel(x, y):
        if x == 0:
            return look["edge"]
        row = y - 7 - look["shift"]  # the arrow: 7, 5, 3 and 1 pixels wide, centred on column 5
        if 0 <= row <= 3 and abs(x - 5) <= 3 - row:
            return look["arrow"]
        return look["face"]

    return pixel


def vatnumber_toolbox(x, y):
    """16x15 toolbox picture: a white entry box with a small flag at the left and digits."""
    if x > 15 or y < 3 or y > 11:
        return FACE
    if x in (0, 15) or y in (3, 11):
        return DARK
    if 2 <= x <= 5 and 6 <= y <= 8:  # black, red and gold bands
        return [(0x10, 0x10, 0x10), (0xDD, 0x00, 0x00), (0xFF, 0xCE, 0x00)][y - 6]
    digits = [" X XXX", "XX   X", " X  X ", " X  X ", " X  X "]
    if 5 <= y <= 9 and 8 <= x <= 13 and digits[y - 5][x - 8] == "X":
        return (0x00, 0x00, 0x00)
    return LIGHT


PICTURES = {
    "eurobox_toolbox.bmp": (16, 15, eurobox_toolbox),
    "tracker_toolbox.bmp": (16, 15, tracker_toolbox),
    "button_toolbox.bmp": (16, 15, button_toolbox),
    "checkbox_toolbox.bmp": (16, 15, checkbox_toolbox),
    "hyperlink_toolbox.bmp": (16, 15, hyperlink_toolbox),
    "progressbar_toolbox.bmp": (16, 15, progress_toolbox),
    "meter_toolbox.bmp": (16, 15, meter_toolbox),
    "gradframe_toolbox.bmp": (16, 15, gradframe_toolbox),
    **{"flag_%s.bmp" % code: (FLAG_W + 2, FLAG_H + 2, _flag_picture(draw))
       for code, draw in FLAGS.items()},
    **{"dropdown_%d.bmp" % state: (11, 18, dropdown_button(state)) for state in (0, 1, 2)},
    **{"flag_%s_%s.bmp" % (code, suffix):
       (scaled_size(FLAG_W, k) + 2, scaled_size(FLAG_H, k) + 2, _flag_picture(draw, k))
       for code, draw in FLAGS.items() for suffix, k in SCALES.items()},
    **{"dropdown_%d_%s.bmp" % (state, suffix):
       (scaled_size(11, k), scaled_size(18, k), nearest(dropdown_button(state), k))
       for state in (0, 1, 2) for suffix, k in SCALES.items()},
    "vatnumber_toolbox.bmp": (16, 15, vatnumber_toolbox),
}


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name in sys.argv[2:] or [*PICTURES, *ICONS, *CURSORS]:
        if name in ICONS:
            width, height, pixel = ICONS[name]
            (out / name).write_bytes(_icon_file(1, width, height, pixel))
            continue
        if name in CURSORS:
            width, height, pixel, hotspot = CURSORS[name]
            # Cursors carry their larger sizes: the system picks the one of its cursor size.
            (out / name).write_bytes(_icon_file(2, width, height, pixel, hotspot, (1, 1.5, 2)))
            continue
        width, height, pixel = PICTURES[name]
        (out / name).write_bytes(bmp(width, height, pixel))


if __name__ == "__main__":
    main()
