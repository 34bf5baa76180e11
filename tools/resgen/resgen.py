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


def _icon_file(kind, width, height, pixel, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file holding one image."""
    image = _icon_image(width, height, pixel)
    planes, bits = (1, 32) if kind == 1 else hotspot
    head = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, planes, bits, len(image), 22)
    return head + entry + image


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


def check_image(look, state):
    """Image `state` (0 crossed, 1 empty, 2 ticked) of look 1 (enabled) or 0 (disabled)."""
    colours = CHECK_LOOKS[look]

    def pixel(x, y):
        lo, hi = BOX
        if x < lo or x > hi or y < lo or y > hi:
            return CLEAR
        if x in (lo, hi) or y in (lo, hi):
            return colours["frame"]
        if state == 0 and (_near_segment(x, y, (4.5, 4.5), (11.5, 11.5), 0.9)
                           or _near_segment(x, y, (11.5, 4.5), (4.5, 11.5), 0.9)):
            return colours["cross"]
        if state == 2 and (_near_segment(x, y, (4.0, 8.0), (7.0, 11.0), 1.0)
                           or _near_segment(x, y, (7.0, 11.0), (12.0, 4.5), 1.0)):
            return colours["tick"]
        return colours["field"]

    return pixel


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


PICTURES = {
    "eurobox_toolbox.bmp": (16, 15, eurobox_toolbox),
    "tracker_toolbox.bmp": (16, 15, tracker_toolbox),
    "button_toolbox.bmp": (16, 15, button_toolbox),
    "checkbox_toolbox.bmp": (16, 15, checkbox_toolbox),
    "hyperlink_toolbox.bmp": (16, 15, hyperlink_toolbox),
    "progressbar_toolbox.bmp": (16, 15, progress_toolbox),
    "meter_toolbox.bmp": (16, 15, meter_toolbox),
    "gradframe_toolbox.bmp": (16, 15, gradframe_toolbox),
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
            (out / name).write_bytes(_icon_file(2, width, height, pixel, hotspot))
            continue
        width, height, pixel = PICTURES[name]
        (out / name).write_bytes(bmp(width, height, pixel))


if __name__ == "__main__":
    main()
