#!/usr/bin/env python3
"""Draws Vellora's pictures: the res\\ bitmaps, the caption glyphs and the
icon. Pure Python and deterministic, so every build makes the same files.
Usage: draw_art.py OUTPUT_FOLDER  (writes OUTPUT_FOLDER/res/*.bmp and the
program resources beside it)."""
import math
import os
import struct
import sys

INK = (38, 52, 84)
TEAL = (32, 150, 160)
SKY = (232, 241, 250)
WHITE = (255, 255, 255)
BLUE = (70, 110, 200)
VIOLET = (120, 90, 190)
PAGE = (244, 248, 252)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


class Canvas:
    def __init__(self, w, h, colour=WHITE):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def gradient(self, top, bottom, x0=0, y0=0, x1=None, y1=None):
        x1 = self.w if x1 is None else x1
        y1 = self.h if y1 is None else y1
        for y in range(y0, y1):
            c = mix(top, bottom, (y - y0) / max(1, y1 - y0 - 1))
            row = self.px[y]
            for x in range(x0, x1):
                row[x] = c

    def shape(self, distance, colour, x0, y0, x1, y1):
        """Fills where distance(x, y) < 0, with a one-pixel soft edge."""
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                d = distance(x + 0.5, y + 0.5)
                if d < 0.5:
                    row[x] = mix(row[x], colour, min(1.0, 0.5 - d))

    def round_rect(self, x0, y0, x1, y1, r, colour):
        def d(x, y):
            qx = max(x0 + r - x, 0, x - (x1 - r))
            qy = max(y0 + r - y, 0, y - (y1 - r))
            if qx > 0 and qy > 0:
                return math.hypot(qx, qy) - r
            return max(x0 - x, x - x1, y0 - y, y - y1)
        self.shape(d, colour, int(x0) - 1, int(y0) - 1, int(x1) + 2, int(y1) + 2)

    def circle(self, cx, cy, r, colour):
        self.shape(lambda x, y: math.hypot(x - cx, y - cy) - r, colour,
                   int(cx - r) - 1, int(cy - r) - 1, int(cx + r) + 2, int(cy + r) + 2)

    def ring(self, cx, cy, r, width, colour, upper_only=False):
        def d(x, y):
            if upper_only and y > cy:
                return max(abs(x - cx) - r - width / 2, abs(abs(x - cx) - r) - width / 2)
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        self.shape(d, colour, int(cx - r - width) - 1, int(cy - r - width) - 1,
                   int(cx + r + width) + 2, int(cy + r + width) + 2)

    def line(self, ax, ay, bx, by, width, colour):
        def d(x, y):
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
            return math.hypot(x - ax - t * vx, y - ay - t * vy) - width / 2
        self.shape(d, colour, int(min(ax, bx) - width) - 1, int(min(ay, by) - width) - 1,
                   int(max(ax, bx) + width) + 2, int(max(ay, by) + width) + 2)

    def bmp(self):
        stride = (self.w * 3 + 3) & ~3
        body = bytearray()
        for row in reversed(self.px):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += b"\0" * (stride - len(line))
            body += line
        header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        return header + info + bytes(body)


def lock(c, cx, cy, s, colour, open_=False):
    body_w, body_h = 1.1 * s, 0.85 * s
    shackle_r = 0.36 * s
    sx = cx + (0.32 * s if open_ else 0)
    c.ring(sx, cy - body_h / 2 - 0.02 * s, shackle_r, 0.13 * s, colour, upper_only=True)
    if not open_:
        pass
    c.round_rect(cx - body_w / 2, cy - body_h / 2 + 0.1 * s, cx + body_w / 2, cy + body_h / 2 + 0.1 * s,
                 0.12 * s, colour)
    c.circle(cx, cy + 0.05 * s, 0.1 * s, WHITE)
    c.line(cx, cy + 0.05 * s, cx, cy + 0.25 * s, 0.08 * s, WHITE)


def share(c, cx, cy, s, colour):
    points = [(cx - 0.45 * s, cy), (cx + 0.4 * s, cy - 0.42 * s), (cx + 0.4 * s, cy + 0.42 * s)]
    for p in points[1:]:
        c.line(points[0][0], points[0][1], p[0], p[1], 0.09 * s, colour)
    for x, y in points:
        c.circle(x, y, 0.17 * s, colour)


def face(c, top, accent, glyph):
    """One 207 x 273 start button face at row `top` of the strip."""
    c.gradient(SKY, WHITE, 0, top, 207, top + 273)
    c.round_rect(8, top + 8, 199, top + 265, 14, mix(accent, WHITE, 0.82))
    c.round_rect(12, top + 12, 195, top + 261, 12, WHITE)
    c.circle(103.5, top + 110, 58, mix(accent, WHITE, 0.15))
    glyph(c, 103.5, top + 110, 62)
    # The label is drawn at run time in the dialog font; a quiet rule under it.
    c.line(60, top + 232, 147, top + 232, 2, mix(accent, WHITE, 0.6))


def start_page():
    c = Canvas(207, 819)
    face(c, 0, TEAL, lambda c, x, y, s: lock(c, x, y, s, WHITE))
    face(c, 273, BLUE, lambda c, x, y, s: lock(c, x, y, s, WHITE, open_=True))
    face(c, 546, VIOLET, lambda c, x, y, s: share(c, x, y, s, WHITE))
    return c


def key(c, cx, cy, s, colour):
    c.ring(cx - 0.28 * s, cy, 0.22 * s, 0.12 * s, colour)
    c.line(cx - 0.06 * s, cy, cx + 0.5 * s, cy, 0.12 * s, colour)
    c.line(cx + 0.32 * s, cy, cx + 0.32 * s, cy + 0.2 * s, 0.1 * s, colour)
    c.line(cx + 0.46 * s, cy, cx + 0.46 * s, cy + 0.16 * s, 0.1 * s, colour)


def people(c, cx, cy, s, colour):
    for dx, k in ((-0.24, 0.85), (0.2, 1.0)):
        x, r = cx + dx * s, 0.28 * s * k
        c.circle(x, cy - 0.2 * s * k, 0.16 * s * k, colour)
        base = cy + 0.42 * s
        # Shoulders: the upper half of a disc.
        c.shape(lambda px, py, x=x, r=r, base=base: max(math.hypot(px - x, py - base) - r, py - base),
                colour, int(x - r) - 1, int(base - r) - 1, int(x + r) + 2, int(base) + 1)


def banner(accent, sign):
    """A page title strip: the first square (height x height) holds the sign,
    the rest fades from a tint of the accent into the page and is stretched
    to the title's width. The title's words are drawn over it at run time."""
    w, h = 256, 32
    c = Canvas(w, h)
    for x in range(w):
        col = mix(mix(accent, WHITE, 0.78), PAGE, (x - h) / (w - h) * 1.4)
        for y in range(h):
            c.px[y][x] = col
    for x in range(h, w):  # a fine accent rule along the bottom, fading out
        c.px[h - 1][x] = mix(mix(accent, WHITE, 0.35), c.px[h - 2][x], (x - h) / (w - h))
    c.round_rect(3, 3, h - 3, h - 3, 6, accent)
    sign(c, h / 2, h / 2 + 1, 17)
    return c


def panel(w, h):
    """The quiet panel behind the settings' check boxes; stretched to them."""
    c = Canvas(w, h)
    c.gradient(WHITE, (236, 244, 250))
    for y in range(h):
        for x in range(4):
            c.px[y][x] = TEAL
        c.px[y][w - 1] = mix(TEAL, WHITE, 0.7)
    for x in range(w):
        c.px[0][x] = c.px[0][x] if x < 4 else mix(TEAL, WHITE, 0.7)
        c.px[h - 1][x] = c.px[h - 1][x] if x < 4 else mix(TEAL, WHITE, 0.7)
    return c


def background(w, h, side=0):
    c = Canvas(w, h)
    c.gradient((246, 249, 253), (226, 236, 247))
    c.gradient(INK, mix(INK, TEAL, 0.35), 0, 0, w, 30)
    if side:
        c.gradient((236, 242, 250), (214, 226, 242), 0, 30, side, h)
    for i in range(5):  # soft circles in the lower right corner
        c.ring(w - 40, h - 20, 60 + 36 * i, 1.2, mix((226, 236, 247), TEAL, 0.18))
    return c


def glyph(kind):
    c = Canvas(16, 16, INK)
    if kind == "close":
        c.line(4, 4, 12, 12, 1.8, WHITE)
        c.line(12, 4, 4, 12, 1.8, WHITE)
    elif kind == "minimise":
        c.line(4, 11, 12, 11, 1.8, WHITE)
    else:
        lock(c, 8, 8, 8, WHITE)
    return c


def icon():
    images = []
    for size in (16, 32, 48):
        c = Canvas(size, size, (0, 0, 0))
        c.round_rect(0.5, 0.5, size - 0.5, size - 0.5, size * 0.2, TEAL)
        lock(c, size / 2, size / 2 + size * 0.04, size * 0.5, WHITE)
        pixels = bytearray()
        mask = bytearray()
        mask_stride = ((size + 31) // 32) * 4
        for y in reversed(range(size)):
            for x in range(size):
                r, g, b = c.px[y][x]
                corner = (r, g, b) == (0, 0, 0)
                pixels += bytes((b, g, r, 0 if corner else 255))
            mask += b"\0" * mask_stride
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        images.append((size, header + bytes(pixels) + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, d in images)


def main():
    out = sys.argv[1]
    res = os.path.join(out, "res")
    os.makedirs(res, exist_ok=True)
    files = {
        os.path.join(res, "StartPage.bmp"): start_page().bmp(),
        os.path.join(res, "BackGround.bmp"): background(700, 380).bmp(),
        os.path.join(res, "BackGround02.bmp"): background(800, 540, side=112).bmp(),
        os.path.join(res, "PropBackGround.bmp"): background(340, 250).bmp(),
        os.path.join(res, "CertBackGround.bmp"): background(380, 200).bmp(),
        os.path.join(res, "StaticMsgEnc.bmp"): banner(TEAL, lambda c, x, y, s: lock(c, x, y + 1, 12, WHITE)).bmp(),
        os.path.join(res, "StaticMsgDec.bmp"):
            banner(BLUE, lambda c, x, y, s: lock(c, x - 2, y + 1, 12, WHITE, open_=True)).bmp(),
        os.path.join(res, "StaticMsgShareKey.bmp"): banner(VIOLET, lambda c, x, y, s: key(c, x, y, s, WHITE)).bmp(),
        os.path.join(res, "StaticMsgShareTarget.bmp"):
            banner(VIOLET, lambda c, x, y, s: people(c, x, y, s, WHITE)).bmp(),
        os.path.join(res, "StaticMsgCheckDel.bmp"): panel(320, 64).bmp(),
        os.path.join(out, "caption.bmp"): glyph("caption").bmp(),
        os.path.join(out, "close.bmp"): glyph("close").bmp(),
        os.path.join(out, "minimise.bmp"): glyph("minimise").bmp(),
        os.path.join(out, "vellora.ico"): icon(),
    }
    for path, data in files.items():
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
