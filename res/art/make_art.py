#!/usr/bin/python3
"""Draws the wizard's pictures and writes them in the exact formats the resource script embeds.

    /usr/bin/python3 res/art/make_art.py            rewrite the four pictures beside this script
    /usr/bin/python3 res/art/make_art.py --check [folder]   verify the pictures on disk (exit 1 on a fault)
    /usr/bin/python3 res/art/make_art.py --preview docs/art-preview.png

Needs Debian's python3-pil (hence /usr/bin/python3, not another python on PATH). The output is
deterministic: running it again rewrites identical bytes. Everything is drawn 8x larger and
reduced with a box filter, so edges are anti-aliased; the 16 x 16 icon is drawn pixel by pixel
because a reduced picture turns to mush at that size. The writers below are our own because
ImageMagick cannot force 4 bits per pixel and picks depths by colour count.
"""

import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
DIALOG = (236, 233, 216)  # the dialog background the marks must stand on
SS = 8  # supersampling factor
FONT_DIR = "/usr/share/fonts/truetype/dejavu"


# ---------------------------------------------------------------- drawing helpers


class Art:
    """An RGBA canvas addressed in final-pixel units (pixel i spans [i, i+1))."""

    def __init__(self, w, h, fill=(0, 0, 0, 0), scale=SS):
        self.w, self.h, self.s = w, h, scale
        self.img = Image.new("RGBA", (w * scale, h * scale), fill)

    def _box(self, x0, y0, x1, y1):
        s = self.s
        return [round(x0 * s), round(y0 * s), round(x1 * s) - 1, round(y1 * s) - 1]

    def mask(self):
        return Image.new("L", self.img.size, 0)

    def rrect(self, x0, y0, x1, y1, r, m=None):
        m = m or self.mask()
        ImageDraw.Draw(m).rounded_rectangle(self._box(x0, y0, x1, y1), round(r * self.s), fill=255)
        return m

    def rect(self, x0, y0, x1, y1, m=None):
        m = m or self.mask()
        ImageDraw.Draw(m).rectangle(self._box(x0, y0, x1, y1), fill=255)
        return m

    def ellipse(self, x0, y0, x1, y1, m=None):
        m = m or self.mask()
        ImageDraw.Draw(m).ellipse(self._box(x0, y0, x1, y1), fill=255)
        return m

    def circle(self, cx, cy, r, m=None):
        return self.ellipse(cx - r, cy - r, cx + r, cy + r, m)

    def poly(self, pts, m=None):
        m = m or self.mask()
        ImageDraw.Draw(m).polygon([(x * self.s, y * self.s) for x, y in pts], fill=255)
        return m

    def line(self, pts, width, m=None):
        m = m or self.mask()
        ImageDraw.Draw(m).line([(x * self.s, y * self.s) for x, y in pts], fill=255,
                               width=round(width * self.s), joint="curve")
        return m

    def text(self, xy, txt, size, font="DejaVuSans.ttf", anchor="mm", m=None):
        m = m or self.mask()
        f = ImageFont.truetype(os.path.join(FONT_DIR, font), round(size * self.s))
        ImageDraw.Draw(m).text((xy[0] * self.s, xy[1] * self.s), txt, font=f, fill=255, anchor=anchor)
        return m

    def paint(self, fill, m, opacity=1.0):
        """Lays a colour or a same-sized RGB(A) picture over the canvas through mask m."""
        if isinstance(fill, tuple):
            fill = Image.new("RGBA", self.img.size, fill[:3] + (255,))
        else:
            fill = fill.convert("RGBA")
        a = m if opacity >= 1.0 else m.point(lambda v: round(v * opacity))
        if fill.getextrema()[3][0] < 255:  # the fill has its own alpha: combine both
            a = Image.composite(fill.getchannel("A"), Image.new("L", a.size, 0), a)
        layer = fill.copy()
        layer.putalpha(a)
        self.img.alpha_composite(layer)

    def grad(self, stops, box=None, angle=90.0):
        """A linear gradient over box (default: the whole canvas); angle 90 runs top to bottom,
        0 runs left to right, 45 runs from the top left corner to the bottom right one."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        W, H = self.img.size
        a = math.radians(angle)
        dx, dy = math.cos(a), math.sin(a)
        # Project the box corners on the direction to find the span the stops cover.
        corners = [(x0, y0), (x1, y0), (x0, y1), (x1, y1)]
        proj = [cx * dx + cy * dy for cx, cy in corners]
        lo, hi = min(proj), max(proj)
        # A 1-D ramp of the right length, stretched and rotated is costly; instead build the ramp
        # on a small grid and scale it up (gradients are smooth, so bilinear is exact enough).
        gw, gh = max(2, self.w * 2), max(2, self.h * 2)
        ramp = Image.new("L", (gw, gh))
        px = ramp.load()
        for j in range(gh):
            for i in range(gw):
                x, y = (i + 0.5) / 2, (j + 0.5) / 2
                t = ((x * dx + y * dy) - lo) / (hi - lo)
                px[i, j] = max(0, min(255, round(t * 255)))
        ramp = ramp.resize((W, H), Image.BILINEAR)
        return self._colourise(ramp, stops)

    def radial(self, stops, cx, cy, rx, ry=None):
        """A radial gradient: stop 0 at the centre, stop 1 at the radius and beyond."""
        ry = ry or rx
        W, H = self.img.size
        gw, gh = max(2, self.w * 2), max(2, self.h * 2)
        ramp = Image.new("L", (gw, gh))
        px = ramp.load()
        for j in range(gh):
            for i in range(gw):
                x, y = (i + 0.5) / 2, (j + 0.5) / 2
                d = math.hypot((x - cx) / rx, (y - cy) / ry)
                px[i, j] = max(0, min(255, round(d * 255)))
        ramp = ramp.resize((W, H), Image.BILINEAR)
        return self._colourise(ramp, stops)

    @staticmethod
    def _colourise(ramp, stops):
        """Maps a 0..255 ramp through colour stops [(t, (r, g, b[, a])), ...]."""
        stops = [(t, c if len(c) == 4 else c + (255,)) for t, c in stops]
        luts = [[], [], [], []]
        for v in range(256):
            t = v / 255
            for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
                if t <= t1 or (t1, c1) == stops[-1]:
                    f = 0.0 if t1 == t0 else max(0.0, min(1.0, (t - t0) / (t1 - t0)))
                    for k in range(4):
                        luts[k].append(round(c0[k] + (c1[k] - c0[k]) * f))
                    break
        return Image.merge("RGBA", [ramp.point(lut) for lut in luts])

    def shadow(self, m, dx, dy, blur, colour, opacity):
        s = self.s
        moved = Image.new("L", m.size, 0)
        moved.paste(m, (round(dx * s), round(dy * s)))
        self.paint(colour, moved.filter(ImageFilter.GaussianBlur(blur * s)), opacity)

    def result(self):
        """The picture at its final size (premultiplied while reducing so edges keep their colour)."""
        return self.img.convert("RGBa").reduce(self.s).convert("RGBA")


def subtract(a, b):
    """Mask a without the area of mask b."""
    return Image.composite(Image.new("L", a.size, 0), a, b)


def intersect(a, b):
    return Image.composite(a, Image.new("L", a.size, 0), b)


def union(*ms):
    out = ms[0]
    for m in ms[1:]:
        out = Image.composite(Image.new("L", out.size, 255), out, m)
    return out


def capsule(art, cx, top_y, r_top, bottom_y, r_bottom, grow=0.0):
    """The tapered stroke of an exclamation mark: the hull of two stacked circles."""
    r1, r2 = r_top + grow, r_bottom + grow
    c1, c2 = top_y + r_top, bottom_y - r_bottom
    m = art.circle(cx, c1, r1)
    art.circle(cx, c2, r2, m)
    ny = (r1 - r2) / (c2 - c1)
    nx = math.sqrt(1 - ny * ny)
    art.poly([(cx + r1 * nx, c1 + r1 * ny), (cx + r2 * nx, c2 + r2 * ny),
              (cx - r2 * nx, c2 + r2 * ny), (cx - r1 * nx, c1 + r1 * ny)], m)
    return m


def flatten(img, bg):
    base = Image.new("RGBA", img.size, bg + (255,))
    base.alpha_composite(img)
    return base.convert("RGB")


# A small pixel font for the wordmark and the status bar, where real glyphs would blur.
GLYPHS = {
    "K": ["#..#", "#.#.", "##..", "#.#.", "#..#"],
    "A": [".##.", "#..#", "####", "#..#", "#..#"],
    "L": ["#...", "#...", "#...", "#...", "####"],
    "D": ["###.", "#..#", "#..#", "#..#", "###."],
    "R": ["###.", "#..#", "###.", "#.#.", "#..#"],
    "E": ["####", "#...", "###.", "#...", "####"],
    "N": ["#..#", "##.#", "#.##", "#..#", "#..#"],
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "8": ["###", "#.#", "###", "#.#", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    ":": [".", "#", ".", "#", "."],
}


def pixel_text(img, x, y, txt, colour, spacing=1):
    px = img.load()
    for ch in txt:
        rows = GLYPHS[ch]
        for j, row in enumerate(rows):
            for i, c in enumerate(row):
                if c == "#":
                    px[x + i, y + j] = colour
        x += len(rows[0]) + spacing
    return x


def pixel_text_width(txt, spacing=1):
    return sum(len(GLYPHS[c][0]) for c in txt) + spacing * (len(txt) - 1)


# ---------------------------------------------------------------- the information mark


def draw_info_mark():
    a = Art(15, 15, DIALOG + (255,))
    c = 7.5
    a.paint(a.grad([(0, (52, 150, 166)), (1, (14, 96, 112))], angle=60), a.circle(c, c, 7.45))
    a.paint((255, 255, 255), a.circle(c, c, 6.25))
    # Lit from the top left, darker towards its edge so the white ring stands out.
    a.paint(a.radial([(0, (240, 250, 255)), (0.55, (184, 226, 250)), (1, (108, 176, 224))], 6.2, 5.8, 7.0),
            a.circle(c, c, 5.35))
    # The stroke's edges sit on pixel boundaries (columns 6 to 8) so it stays crisp at this size.
    ink = (8, 74, 90)
    a.paint(ink, capsule(a, c, 3.0, 1.5, 8.7, 1.15))
    a.paint(ink, a.circle(c, 11.0, 1.4))
    return flatten(a.result(), DIALOG)


# ---------------------------------------------------------------- the warning mark


def draw_warning_mark():
    a = Art(25, 25, DIALOG + (255,))
    cx, g = 12.5, 1.15
    bar = (cx, 1.5, 4.3, 15.1, 1.8)
    dot = (cx, 21.0, 2.6)
    outline = union(capsule(a, *bar, grow=g), a.circle(dot[0], dot[1], dot[2] + g))
    a.paint((24, 10, 8), outline)
    fill = union(capsule(a, *bar), a.circle(*dot))
    a.paint(a.grad([(0, (255, 104, 82)), (0.35, (232, 30, 18)), (1, (156, 0, 0))], angle=80), fill)
    # Light from the top left: a soft highlight down the left flank of the bar and on the dot.
    hl = intersect(capsule(a, cx - 1.6, 2.6, 1.5, 11.5, 0.6), fill)
    a.paint((255, 210, 190), hl.filter(ImageFilter.GaussianBlur(0.5 * SS)), 0.55)
    a.paint((255, 200, 180), intersect(a.circle(cx - 0.8, 20.2, 1.0), fill).filter(
        ImageFilter.GaussianBlur(0.4 * SS)), 0.5)
    return flatten(a.result(), DIALOG)


# ---------------------------------------------------------------- the handset


def app_tile(a, x, y, size, base, glyph):
    """A glossy application tile with a white glyph."""
    r = size * 0.24
    m = a.rrect(x, y, x + size, y + size, r)
    a.shadow(m, 0, 0.6, 0.6, (0, 10, 30), 0.45)
    light = tuple(min(255, round(v * 1.25 + 30)) for v in base)
    dark = tuple(round(v * 0.62) for v in base)
    a.paint(a.grad([(0, light), (0.5, base), (1, dark)], box=(x, y, x + size, y + size)), m)
    gloss = intersect(a.ellipse(x - size * 0.3, y - size * 0.55, x + size * 1.3, y + size * 0.5), m)
    a.paint((255, 255, 255), gloss, 0.22)
    glyph(a, x, y, size)


def _w(a, m, o=1.0):
    a.paint((255, 255, 255), m, o)


def g_phone(a, x, y, s):
    # A classic receiver: two ear pieces joined by a curved grip.
    m = a.line([(x + s * 0.3, y + s * 0.3), (x + s * 0.38, y + s * 0.62), (x + s * 0.7, y + s * 0.72)], s * 0.13)
    a.circle(x + s * 0.3, y + s * 0.3, s * 0.11, m)
    a.circle(x + s * 0.72, y + s * 0.72, s * 0.11, m)
    _w(a, m)


def g_mail(a, x, y, s):
    m = a.rrect(x + s * 0.2, y + s * 0.3, x + s * 0.8, y + s * 0.72, s * 0.05)
    v = a.line([(x + s * 0.22, y + s * 0.33), (x + s * 0.5, y + s * 0.55), (x + s * 0.78, y + s * 0.33)], s * 0.07)
    _w(a, m)
    a.paint((60, 90, 140), v, 0.8)


def g_bubble(a, x, y, s):
    m = a.ellipse(x + s * 0.18, y + s * 0.22, x + s * 0.82, y + s * 0.68)
    a.poly([(x + s * 0.3, y + s * 0.58), (x + s * 0.26, y + s * 0.82), (x + s * 0.48, y + s * 0.64)], m)
    _w(a, m)


def g_globe(a, x, y, s):
    ring = subtract(a.circle(x + s / 2, y + s / 2, s * 0.32), a.circle(x + s / 2, y + s / 2, s * 0.24))
    meridian = subtract(a.ellipse(x + s * 0.38, y + s * 0.18, x + s * 0.62, y + s * 0.82),
                        a.ellipse(x + s * 0.44, y + s * 0.24, x + s * 0.56, y + s * 0.76))
    eq = a.rect(x + s * 0.2, y + s * 0.47, x + s * 0.8, y + s * 0.53)
    _w(a, union(ring, meridian, eq))


def g_camera(a, x, y, s):
    body = a.rrect(x + s * 0.18, y + s * 0.32, x + s * 0.82, y + s * 0.74, s * 0.06)
    a.rect(x + s * 0.36, y + s * 0.25, x + s * 0.56, y + s * 0.34, body)
    lens = a.circle(x + s * 0.5, y + s * 0.53, s * 0.14)
    _w(a, subtract(body, lens))
    _w(a, a.circle(x + s * 0.5, y + s * 0.53, s * 0.07), 0.8)


def g_calendar(a, x, y, s):
    page = a.rrect(x + s * 0.22, y + s * 0.22, x + s * 0.78, y + s * 0.8, s * 0.06)
    _w(a, page)
    a.paint((200, 40, 40), a.rect(x + s * 0.22, y + s * 0.22, x + s * 0.78, y + s * 0.38))
    m = a.mask()
    for j in range(2):
        for i in range(3):
            a.rect(x + s * (0.3 + i * 0.15), y + s * (0.48 + j * 0.14),
                   x + s * (0.38 + i * 0.15), y + s * (0.56 + j * 0.14), m)
    a.paint((120, 120, 120), m)


def g_note(a, x, y, s):
    m = a.ellipse(x + s * 0.22, y + s * 0.6, x + s * 0.44, y + s * 0.78)
    a.ellipse(x + s * 0.52, y + s * 0.52, x + s * 0.74, y + s * 0.7, m)
    a.rect(x + s * 0.37, y + s * 0.24, x + s * 0.44, y + s * 0.7, m)
    a.rect(x + s * 0.67, y + s * 0.18, x + s * 0.74, y + s * 0.62, m)
    a.poly([(x + s * 0.37, y + s * 0.24), (x + s * 0.74, y + s * 0.16),
            (x + s * 0.74, y + s * 0.28), (x + s * 0.37, y + s * 0.36)], m)
    _w(a, m)


def g_photo(a, x, y, s):
    frame = a.rrect(x + s * 0.18, y + s * 0.24, x + s * 0.82, y + s * 0.76, s * 0.05)
    _w(a, frame)
    a.paint((70, 150, 220), a.rect(x + s * 0.24, y + s * 0.3, x + s * 0.76, y + s * 0.7))
    a.paint((90, 180, 70), a.poly([(x + s * 0.24, y + s * 0.7), (x + s * 0.42, y + s * 0.46),
                                   (x + s * 0.56, y + s * 0.6), (x + s * 0.64, y + s * 0.52),
                                   (x + s * 0.76, y + s * 0.7)]))
    a.paint((255, 220, 80), a.circle(x + s * 0.64, y + s * 0.39, s * 0.06))


def g_gear(a, x, y, s):
    cx, cy = x + s / 2, y + s / 2
    m = a.circle(cx, cy, s * 0.22)
    for k in range(8):
        t = k * math.pi / 4
        a.line([(cx, cy), (cx + math.cos(t) * s * 0.3, cy + math.sin(t) * s * 0.3)], s * 0.12, m)
    _w(a, subtract(m, a.circle(cx, cy, s * 0.09)))


def g_person(a, x, y, s):
    m = a.circle(x + s * 0.5, y + s * 0.38, s * 0.13)
    a.ellipse(x + s * 0.24, y + s * 0.56, x + s * 0.76, y + s * 0.96, m)
    _w(a, intersect(m, a.rect(x, y, x + s, y + s * 0.78)))


def g_pin(a, x, y, s):
    cx = x + s / 2
    m = a.circle(cx, y + s * 0.4, s * 0.2)
    a.poly([(cx - s * 0.17, y + s * 0.5), (cx, y + s * 0.82), (cx + s * 0.17, y + s * 0.5)], m)
    _w(a, subtract(m, a.circle(cx, y + s * 0.4, s * 0.08)))


def g_clock(a, x, y, s):
    cx, cy = x + s / 2, y + s / 2
    _w(a, a.circle(cx, cy, s * 0.3))
    hands = a.line([(cx, cy - s * 0.2), (cx, cy), (cx + s * 0.14, cy + s * 0.06)], s * 0.07)
    a.paint((60, 60, 70), hands)


def g_download(a, x, y, s):
    cx = x + s / 2
    m = a.rect(cx - s * 0.08, y + s * 0.2, cx + s * 0.08, y + s * 0.5)
    a.poly([(cx - s * 0.22, y + s * 0.46), (cx, y + s * 0.68), (cx + s * 0.22, y + s * 0.46)], m)
    a.rect(x + s * 0.22, y + s * 0.72, x + s * 0.78, y + s * 0.8, m)
    _w(a, m)


def draw_screen(a, x0, y0, x1, y1):
    """The lit home screen: a glowing teal wallpaper, the time, a grid of tiles and a dock."""
    w = x1 - x0
    scr = a.rect(x0, y0, x1, y1)
    a.paint(a.grad([(0, (6, 26, 66)), (0.45, (10, 92, 140)), (1, (4, 34, 70))], box=(x0, y0, x1, y1)), scr)
    glow = a.radial([(0, (90, 220, 255, 200)), (0.5, (40, 160, 220, 90)), (1, (20, 100, 180, 0))],
                    x0 + w * 0.55, y0 + 48, w * 0.8, 60)
    a.paint(glow, scr)
    # Soft light ribbons across the wallpaper.
    for k, (op, off) in enumerate(((0.16, 0), (0.10, 7), (0.07, 15))):
        rib = a.mask()
        ImageDraw.Draw(rib).arc(a._box(x0 - 60, y0 + 70 + off, x1 + 40, y0 + 230 + off), 200, 330,
                                fill=255, width=round((3 - k) * SS))
        a.paint((170, 240, 255), intersect(rib.filter(ImageFilter.GaussianBlur(1.2 * SS)), scr), op * 2)
    # Status bar.
    a.paint((0, 0, 0), a.rect(x0, y0, x1, y0 + 7), 0.45)
    # The time, large and light.
    t = a.text((x0 + w / 2, y0 + 18), "10:08", 13.5, "DejaVuSans.ttf")
    a.shadow(t, 0, 0.6, 0.5, (0, 20, 50), 0.5)
    a.paint((240, 250, 255), t)
    # Application grid: 4 x 3 glossy tiles with label hints, then the dock.
    tiles = [
        ((56, 140, 222), g_globe), ((236, 132, 28), g_note), ((86, 96, 110), g_camera),
        ((246, 246, 246), g_calendar),
        ((50, 168, 190), g_mail), ((230, 190, 40), g_photo), ((120, 126, 136), g_gear),
        ((70, 170, 80), g_pin),
        ((40, 60, 90), g_clock), ((150, 80, 200), g_person), ((20, 150, 140), g_download),
        ((210, 60, 60), g_bubble),
    ]
    size, pitch_x, pitch_y = 14, 18, 21
    gx = x0 + (w - (4 * size + 3 * (pitch_x - size))) / 2
    gy = y0 + 32
    labels = a.mask()
    for n, (colour, glyph) in enumerate(tiles):
        tx, ty = gx + (n % 4) * pitch_x, gy + (n // 4) * pitch_y
        app_tile(a, tx, ty, size, colour, glyph)
        lw = (10, 8, 11, 9, 7, 10, 9, 8, 10, 7, 11, 9)[n]
        a.rect(tx + (size - lw) / 2, ty + size + 2, tx + (size + lw) / 2, ty + size + 3, labels)
    a.paint((220, 240, 255), labels, 0.55)
    # Page indicator.
    dots_y = gy + 3 * pitch_y + 2.5
    for i, op in enumerate((0.35, 0.95, 0.35)):
        a.paint((230, 245, 255), a.circle(x0 + w / 2 + (i - 1) * 5, dots_y, 1.1), op)
    # Dock.
    dock = a.rect(x0, y1 - 21, x1, y1)
    a.paint(a.grad([(0, (255, 255, 255, 60)), (0.08, (180, 220, 255, 40)), (1, (0, 0, 0, 110))],
                   box=(x0, y1 - 21, x1, y1)), dock)
    a.paint((200, 235, 255), a.rect(x0, y1 - 21, x1, y1 - 20), 0.35)
    dock_tiles = (((60, 178, 70), g_phone), ((240, 150, 40), g_person), ((120, 190, 40), g_bubble),
                  ((40, 130, 220), g_globe))
    for n, (colour, glyph) in enumerate(dock_tiles):
        app_tile(a, gx + n * pitch_x, y1 - 18, size, colour, glyph)


def handset_shape(a, x0, y0, x1, y1, r):
    return a.rrect(x0, y0, x1, y1, r)


def draw_handset():
    W, H = 101, 200
    a = Art(W, H, DIALOG + (255,))
    # A faint top-to-bottom shading of the dialog colour so the phone sits on a surface.
    a.paint(a.radial([(0, (244, 242, 230)), (1, DIALOG)], 46, 80, 80, 130), a.rect(0, 0, W, H))
    bx0, by0, bx1, by1, br = 5.0, 2.0, 91.0, 194.0, 13.0
    body = handset_shape(a, bx0, by0, bx1, by1, br)
    a.shadow(body, 2.2, 3.0, 2.6, (92, 80, 56), 0.42)
    a.shadow(body, 0.8, 1.2, 0.8, (60, 52, 36), 0.25)
    # Side keys peek out from the frame: volume on the left, power and camera on the right.
    keys = a.rrect(bx0 - 1.3, 40, bx0 + 2, 62, 0.8)
    a.rrect(bx1 - 2, 34, bx1 + 1.3, 46, 0.8, keys)
    a.rrect(bx1 - 2, 150, bx1 + 1.3, 160, 0.8, keys)
    a.paint(a.grad([(0, (120, 124, 130)), (0.4, (200, 204, 210)), (1, (96, 100, 106))], angle=0), keys)
    # Frame: a thin dark edge, then the brushed metal band lit from the top left.
    a.paint((58, 60, 66), body)
    band = handset_shape(a, bx0 + 0.6, by0 + 0.6, bx1 - 0.6, by1 - 0.6, br - 0.6)
    a.paint(a.grad([(0, (248, 248, 250)), (0.25, (196, 200, 206)), (0.6, (140, 145, 152)),
                    (0.85, (186, 190, 196)), (1, (110, 114, 120))], box=(bx0, by0, bx1, by1), angle=70), band)
    glass = handset_shape(a, bx0 + 2.2, by0 + 2.2, bx1 - 2.2, by1 - 2.2, br - 2.2)
    a.paint(a.grad([(0, (46, 50, 58)), (0.35, (22, 24, 28)), (1, (10, 11, 13))],
                   box=(bx0, by0, bx1, by1), angle=70), glass)
    # Earpiece, front camera and light sensor.
    cx = (bx0 + bx1) / 2
    ear = a.rrect(cx - 8, 10.2, cx + 8, 12.8, 1.3)
    a.paint((70, 74, 80), ear)
    a.paint((20, 21, 24), a.rrect(cx - 7.4, 10.6, cx + 7.4, 12.2, 0.8))
    a.paint((60, 64, 70), a.circle(cx + 17, 11.5, 1.6))
    a.paint((14, 22, 40), a.circle(cx + 17, 11.5, 1.0))
    a.paint((120, 170, 230), a.circle(cx + 16.6, 11.1, 0.35), 0.9)
    a.paint((40, 42, 46), a.circle(cx - 17, 11.5, 0.9))
    # Display: its black border, then the lit picture.
    sx0, sy0, sx1, sy1 = 10.0, 29.0, 86.0, 158.0
    a.paint((4, 5, 7), a.rect(sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1))
    draw_screen(a, sx0, sy0, sx1, sy1)
    # Home key with a chrome ring, and the two touch keys beside it.
    hk = a.rrect(cx - 11, 171, cx + 11, 181, 5)
    a.paint(a.grad([(0, (210, 214, 220)), (1, (90, 94, 100))], box=(cx - 11, 171, cx + 11, 181)), hk)
    a.paint(a.grad([(0, (52, 56, 62)), (1, (18, 19, 22))], box=(cx - 11, 171, cx + 11, 181)),
            a.rrect(cx - 10.2, 171.8, cx + 10.2, 180.2, 4.2))
    a.paint((150, 156, 164), subtract(a.rrect(cx - 3, 174, cx + 3, 178, 0.8), a.rect(cx - 2.2, 174.8, cx + 2.2, 177.2)),
            0.8)
    # Glass sheen, clipped to the front.
    sheen = a.poly([(bx0, by0), (bx0 + 70, by0), (bx0, by0 + 120)]).filter(ImageFilter.GaussianBlur(0.8 * SS))
    sheen = intersect(sheen, glass)
    a.paint(a.grad([(0, (255, 255, 255, 46)), (1, (255, 255, 255, 0))], box=(bx0, by0, bx0 + 60, by0 + 100), angle=55),
            sheen)
    img = flatten(a.result(), DIALOG)
    # Crisp details drawn on the final pixels.
    word = "KALDREN"
    wx = round(cx - pixel_text_width(word, 2) / 2)
    pixel_text(img, wx, 18, word, (170, 176, 186), 2)
    touch = (128, 134, 144)
    px = img.load()
    for i in range(5):  # menu key: three short lines
        for j in (174, 176, 178):
            px[22 + i, j] = touch
    back = [".#.....", "#####..", ".#...#.", ".....#.", "..###.."]  # a U-turn arrow
    for j, row in enumerate(back):
        for i, ch in enumerate(row):
            if ch == "#":
                px[70 + i, 174 + j] = touch
    draw_status_bar(img, sx0, sy0, sx1)
    return img


def draw_status_bar(img, x0, y0, x1):
    px = img.load()
    c = (226, 240, 252)
    x0, y0, x1 = int(x0), int(y0), int(x1)
    for k in range(4):  # signal bars of rising height
        for j in range(k + 2):
            px[x0 + 2 + k * 2, y0 + 5 - j] = c
    for i in range(6):  # battery
        px[x1 - 9 + i, y0 + 1] = px[x1 - 9 + i, y0 + 5] = c
    for j in range(1, 6):
        px[x1 - 9, y0 + j] = px[x1 - 4, y0 + j] = c
    px[x1 - 3, y0 + 2] = px[x1 - 3, y0 + 3] = px[x1 - 3, y0 + 4] = c
    for i in range(x1 - 8, x1 - 4):
        for j in range(y0 + 2, y0 + 5):
            px[i, j] = (120, 220, 110)
    t = "10:08"
    pixel_text(img, x1 - 12 - pixel_text_width(t), y0 + 1, t, c)


# ---------------------------------------------------------------- the program icon


def draw_icon48():
    a = Art(48, 48)
    bx0, by0, bx1, by1, br = 4.0, 1.0, 27.0, 47.0, 4.5
    body = a.rrect(bx0, by0, bx1, by1, br)
    a.paint((30, 32, 38), body)
    band = a.rrect(bx0 + 1, by0 + 1, bx1 - 1, by1 - 1, br - 1)
    a.paint(a.grad([(0, (236, 238, 242)), (0.5, (150, 155, 162)), (1, (100, 104, 110))],
                   box=(bx0, by0, bx1, by1), angle=65), band)
    glass = a.rrect(bx0 + 2, by0 + 2, bx1 - 2, by1 - 2, br - 2)
    a.paint(a.grad([(0, (54, 58, 66)), (1, (14, 15, 18))], box=(bx0, by0, bx1, by1), angle=65), glass)
    cx = (bx0 + bx1) / 2
    a.paint((90, 94, 100), a.rrect(cx - 3.5, 4.5, cx + 3.5, 5.7, 0.6))
    sx0, sy0, sx1, sy1 = 7.0, 8.0, 24.0, 38.0
    scr = a.rect(sx0, sy0, sx1, sy1)
    a.paint(a.grad([(0, (40, 170, 230)), (0.5, (16, 110, 190)), (1, (8, 50, 120))], box=(sx0, sy0, sx1, sy1)), scr)
    a.paint(a.radial([(0, (150, 235, 255, 200)), (1, (60, 180, 240, 0))], sx0 + 7, sy0 + 8, 14, 16), scr)
    colours = [(250, 170, 40), (90, 200, 90), (240, 90, 80), (250, 230, 110), (120, 150, 240), (60, 210, 200)]
    for n, col in enumerate(colours):
        tx, ty = sx0 + 2 + (n % 3) * 5, sy0 + 13 + (n // 3) * 5
        a.paint(col, a.rrect(tx, ty, tx + 3, ty + 3, 0.6))
    a.paint((255, 255, 255), a.rect(sx0 + 3, sy0 + 4, sx1 - 3, sy0 + 6.4), 0.85)
    a.paint((255, 255, 255), a.rect(sx0, sy0, sx1, sy0 + 1.5), 0.3)
    a.paint((120, 126, 134), a.rrect(cx - 3.5, 40.5, cx + 3.5, 43.5, 1.5))
    # The arrow, in front of the phone, pointing left at it.
    tip, back, end, cy, head, shaft = 18.5, 32.0, 46.5, 31.0, 12.5, 6.5
    pts = [(tip, cy), (back, cy - head), (back, cy - shaft), (end, cy - shaft), (end, cy + shaft),
           (back, cy + shaft), (back, cy + head)]
    arrow = a.poly(pts)
    grown = a.poly(pts)
    grown = grown.filter(ImageFilter.MaxFilter(2 * round(1.3 * SS) + 1))
    a.paint((16, 84, 22), grown)
    a.paint(a.grad([(0, (150, 232, 110)), (0.45, (64, 180, 56)), (1, (24, 120, 30))],
                   box=(tip, cy - head, end, cy + head)), arrow)
    gloss = intersect(a.rect(tip, cy - head, end, cy - 1), arrow)
    a.paint((255, 255, 255), gloss, 0.28)
    return a.result()


# The 16 x 16 icon, drawn on the pixel grid; '.' is transparent.
ICON16 = [
    ".KKKKKKK........",
    "KhhhhhhbK.......",
    "KhlllllbK.......",
    "KhlssssbK.......",
    "KhsssssbK.......",
    "KhsssssbK.G.....",
    "KhsssssbKGG.....",
    "KhsssssbGLLGGGGG",
    "KhdddddGLLLLLLLG",
    "KhddddGLLLLLLLLG",
    "KhdddGgggggggggG",
    "KhddddGmmmmmmmmG",
    "KhbbbbbGmmmmmmmG",
    "KhbnnnbbGmmGGGGG",
    "KbbbbbbbKGG.....",
    ".KKKKKKK..G.....",
]

ICON16_COLOURS = {
    "K": (24, 26, 32), "h": (112, 118, 128), "b": (66, 70, 78), "n": (140, 146, 156),
    "l": (128, 212, 252), "s": (52, 156, 230), "d": (30, 104, 192),
    # Brighter than the large icon's greens: at this size the arrow must hold against the dark phone.
    "G": (22, 112, 30), "L": (172, 240, 124), "g": (84, 200, 64), "m": (52, 150, 44),
}


def draw_icon16():
    img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    px = img.load()
    for y, row in enumerate(ICON16):
        for x, ch in enumerate(row):
            if ch in ICON16_COLOURS:
                px[x, y] = ICON16_COLOURS[ch] + (255,)
    return img


# ---------------------------------------------------------------- palettes


def palette_for(img, count, keep=()):
    """Up to count colours for img: the colours in keep first (exact), then the image's own."""
    rest = [p for p in img.getdata() if p not in keep]
    pal = list(keep)
    distinct = sorted(set(rest))
    if len(distinct) <= count - len(pal):
        pal += distinct
    elif rest:
        strip = Image.new("RGB", (len(rest), 1))
        strip.putdata(rest)
        q = strip.quantize(count - len(pal), method=Image.Quantize.MEDIANCUT, kmeans=8)
        flat = q.getpalette()[: 3 * (count - len(pal))]
        pal += [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]
    return pal


def index_pixels(img, pal):
    cache = {}

    def nearest(p):
        if p not in cache:
            cache[p] = min(range(len(pal)), key=lambda i: sum((a - b) ** 2 for a, b in zip(p, pal[i])))
        return cache[p]

    return [nearest(p) for p in img.getdata()]


# ---------------------------------------------------------------- file writers


def bitmap_info(w, h, bits, image_size, colours, dpm=3780):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, image_size, dpm, dpm, colours, 0)


def rows_bottom_up(w, h, row_bytes):
    stride = (len(row_bytes(0)) + 3) & ~3
    return b"".join(row_bytes(y).ljust(stride, b"\0") for y in range(h - 1, -1, -1))


def file_header(total, offset):
    return b"BM" + struct.pack("<IHHI", total, 0, 0, offset)


def pack_4bit(indices):
    if len(indices) % 2:
        indices = indices + [0]
    return bytes((indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2))


def write_bmp4(path, img):
    img = img.convert("RGB")
    w, h = img.size
    pal = palette_for(img, 16, keep=(DIALOG,))
    pal += [(0, 0, 0)] * (16 - len(pal))
    idx = index_pixels(img, pal)
    pixels = rows_bottom_up(w, h, lambda y: pack_4bit(idx[y * w:(y + 1) * w]))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in pal)
    offset = 14 + 40 + len(palette)
    data = file_header(offset + len(pixels), offset) + bitmap_info(w, h, 4, len(pixels), 16) + palette + pixels
    with open(path, "wb") as f:
        f.write(data)


def write_bmp24(path, img):
    img = img.convert("RGB")
    w, h = img.size
    px = img.load()
    pixels = rows_bottom_up(w, h, lambda y: b"".join(bytes(px[x, y][::-1]) for x in range(w)))
    offset = 14 + 40
    data = file_header(offset + len(pixels), offset) + bitmap_info(w, h, 24, len(pixels), 0) + pixels
    with open(path, "wb") as f:
        f.write(data)


def icon_image(img):
    """One 8-bit icon image: header with doubled height, 256-entry palette, colour rows, AND mask."""
    w, h = img.size
    opaque = [p[3] >= 128 for p in img.getdata()]
    rgb = [p[:3] for p, o in zip(img.getdata(), opaque) if o]
    # Index 0 stays black for the masked pixels, which is what the shell expects under a mask.
    strip = Image.new("RGB", (max(1, len(rgb)), 1))
    strip.putdata(rgb)
    pal = [(0, 0, 0)] + palette_for(strip, 255)
    idx = [i + 1 for i in index_pixels(strip, pal[1:])]
    it = iter(idx)
    full = [next(it) if o else 0 for o in opaque]
    pal += [(0, 0, 0)] * (256 - len(pal))
    xor = rows_bottom_up(w, h, lambda y: bytes(full[y * w:(y + 1) * w]))

    def mask_row(y):
        bits = [0 if opaque[y * w + x] else 1 for x in range(w)]
        bits += [0] * (-len(bits) % 8)
        return bytes(sum(b << (7 - k) for k, b in enumerate(bits[i:i + 8])) for i in range(0, len(bits), 8))

    andmask = rows_bottom_up(w, h, mask_row)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in pal)
    # Icon images carry no resolution.
    return bitmap_info(w, h * 2, 8, len(xor) + len(andmask), 0, dpm=0) + palette + xor + andmask


def write_ico(path, imgs):
    blobs = [icon_image(i) for i in imgs]
    out = struct.pack("<HHH", 0, 1, len(imgs))
    offset = 6 + 16 * len(imgs)
    for img, blob in zip(imgs, blobs):
        w, h = img.size
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


# ---------------------------------------------------------------- checks


def read_bmp(path):
    """Parses a BMP file strictly; returns (header fields, palette, rows of RGB top-down)."""
    with open(path, "rb") as f:
        d = f.read()
    if d[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP")
    size, _, _, offset = struct.unpack_from("<IHHI", d, 2)
    hs, w, h, planes, bits, comp, isize, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", d, 14)
    info = dict(file_size=size, actual_size=len(d), header=hs, width=w, height=h, planes=planes,
                bits=bits, compression=comp, image_size=isize, colours_used=used, offset=offset)
    ncol = (used or (1 << bits)) if bits <= 8 else 0
    pal = [tuple(d[54 + 4 * i:57 + 4 * i][::-1]) for i in range(ncol)]
    stride = ((w * bits + 31) // 32) * 4
    rows = []
    for y in range(h):
        row = d[offset + (h - 1 - y) * stride: offset + (h - y) * stride]
        if bits == 24:
            rows.append([tuple(row[3 * x:3 * x + 3][::-1]) for x in range(w)])
        elif bits == 4:
            rows.append([pal[(row[x // 2] >> (4 if x % 2 == 0 else 0)) & 15] for x in range(w)])
    info["palette_entries"] = ncol
    info["pixel_bytes"] = len(d) - offset
    info["expected_pixel_bytes"] = stride * h
    return info, pal, rows


def _outside_disc(x, y):
    # True where the pixel's square lies wholly outside the 15-pixel disc.
    nx, ny = min(max(7.5, x), x + 1), min(max(7.5, y), y + 1)
    return math.hypot(nx - 7.5, ny - 7.5) >= 7.5


SIGN_REACH = {
    "info_mark.bmp": lambda x, y: not _outside_disc(x, y),
    "warning_mark.bmp": lambda x, y: 6 <= x <= 18,  # the stroke and its outline stay in these columns
}


def check(folder=HERE):
    faults = []

    def expect(cond, what):
        if not cond:
            faults.append(what)

    for name, w, h, bits in (("info_mark.bmp", 15, 15, 4), ("warning_mark.bmp", 25, 25, 4), ("handset.bmp", 101, 200, 24)):
        info, pal, rows = read_bmp(os.path.join(folder, name))
        expect((info["width"], info["height"]) == (w, h), f"{name}: size {info['width']} x {info['height']}")
        expect(info["bits"] == bits, f"{name}: {info['bits']} bits per pixel")
        expect(info["compression"] == 0, f"{name}: compressed")
        expect(info["planes"] == 1 and info["header"] == 40, f"{name}: header")
        expect(info["file_size"] == info["actual_size"], f"{name}: file size field")
        expect(info["pixel_bytes"] == info["expected_pixel_bytes"], f"{name}: pixel data length")
        if info["bits"] != bits or len(rows) != h:
            continue  # the pixels cannot be read as the format they should have
        corners = [rows[0][0], rows[0][-1], rows[-1][0], rows[-1][-1]]
        if bits == 4:
            expect(info["palette_entries"] == 16, f"{name}: {info['palette_entries']} palette entries")
            # Everything outside the sign's circle of reach is the dialog colour.
            expect(all(c == DIALOG for c in corners), f"{name}: corners {corners}")
            # The area the sign cannot reach must be the plain dialog colour, with no stray tint.
            outside = [rows[y][x] for y in range(h) for x in range(w) if not SIGN_REACH[name](x, y)]
            expect(outside and all(c == DIALOG for c in outside), f"{name}: background not solid")
        else:
            expect(all(max(abs(a - b) for a, b in zip(c, DIALOG)) <= 16 for c in corners),
                   f"{name}: corners {corners} far from the dialog colour")
        print(f"{name}: {info['width']} x {info['height']}, {info['bits']} bpp, "
              f"{info['palette_entries']} palette entries, compression {info['compression']}, corners {corners[0]}")

    with open(os.path.join(folder, "updater.ico"), "rb") as f:
        d = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", d, 0)
    expect((reserved, kind, count) == (0, 1, 2), f"updater.ico: directory {reserved} {kind} {count}")
    sizes = []
    for n in range(count):
        w, h, ncol, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", d, 6 + 16 * n)
        w, h = w or 256, h or 256
        sizes.append(w)
        hs, iw, ih, ip, ib, comp, isize, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", d, offset)
        expect(bits == 8 and ib == 8 and ncol == 0, f"updater.ico #{n}: {ib} bits per pixel")
        expect(hs == 40 and iw == w and ih == 2 * h and ip == 1 and comp == 0, f"updater.ico #{n}: image header")
        xor_len, and_len = ((w + 3) & ~3) * h, ((w + 31) // 32) * 4 * h
        expect(length == 40 + 1024 + xor_len + and_len, f"updater.ico #{n}: length {length}")
        expect(offset + length <= len(d), f"updater.ico #{n}: runs past the file")
        mask = d[offset + 40 + 1024 + xor_len: offset + length]
        ones = sum(bin(b).count("1") for b in mask)
        # The mask must both show and hide something, or it is no mask at all.
        expect(0 < ones < w * h, f"updater.ico #{n}: mask hides {ones} of {w * h} pixels")
        print(f"updater.ico #{n}: {w} x {h}, {ib} bpp, 256-colour palette, mask hides {ones} pixels")
    expect(sorted(sizes) == [16, 48], f"updater.ico: sizes {sizes}")

    for f in faults:
        print("FAULT:", f)
    return not faults


# ---------------------------------------------------------------- preview sheet


def load_ico(path):
    """Reads back our icon's images as RGBA (transparent where the mask says so)."""
    with open(path, "rb") as f:
        d = f.read()
    out = []
    for n in range(struct.unpack_from("<H", d, 4)[0]):
        w, h, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", d, 6 + 16 * n)
        pal = [tuple(d[offset + 40 + 4 * i: offset + 43 + 4 * i][::-1]) for i in range(256)]
        xs, ms = (w + 3) & ~3, ((w + 31) // 32) * 4
        xor = offset + 40 + 1024
        am = xor + xs * h
        img = Image.new("RGBA", (w, h))
        for y in range(h):
            for x in range(w):
                r = h - 1 - y
                hidden = (d[am + r * ms + x // 8] >> (7 - x % 8)) & 1
                img.putpixel((x, y), (0, 0, 0, 0) if hidden else pal[d[xor + r * xs + x]] + (255,))
        out.append(img)
    return out


def preview(path):
    """A sheet for people: the pictures at their own size as a page places them, then enlarged."""
    info = Image.open(os.path.join(HERE, "info_mark.bmp")).convert("RGB")
    warn = Image.open(os.path.join(HERE, "warning_mark.bmp")).convert("RGB")
    hand = Image.open(os.path.join(HERE, "handset.bmp")).convert("RGB")
    icon48, icon16 = sorted(load_ico(os.path.join(HERE, "updater.ico")), key=lambda i: -i.width)
    sheet = Image.new("RGB", (960, 880), DIALOG)
    d = ImageDraw.Draw(sheet)
    font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans.ttf"), 11)
    label = lambda xy, t: d.text(xy, t, fill=(90, 86, 72), font=font)
    big = lambda im, k: im.resize((im.width * k, im.height * k), Image.NEAREST)

    label((12, 8), "actual size, placed as on the Updating page")
    ox, oy = 12, 26
    sheet.paste(hand, (ox + 10, oy + 11))
    for x, y, im, text in ((132, 46, info, "Press 'VOLUME DOWN' key, then the update"),
                           (132, 156, warn, "Ensure your phone has entered download mode."),
                           (132, 190, warn, "Do not disconnect the cable.")):
        sheet.paste(im, (ox + x, oy + y))
        d.text((ox + x + 36, oy + y), text, fill=(0, 0, 0), font=font)
    d.rectangle([ox + 132, oy + 94, ox + 325, oy + 117], outline=(120, 120, 120), fill=(255, 255, 255))
    for k in range(9):
        d.rectangle([ox + 135 + k * 11, oy + 97, ox + 144 + k * 11, oy + 114], fill=(49, 106, 197))

    label((500, 8), "program icon on white, dialog and desktop colours")
    for j, bg in enumerate(((255, 255, 255), DIALOG, (58, 110, 165), (24, 24, 24))):
        x = 500 + j * 100
        d.rectangle([x, 26, x + 88, 110], fill=bg)
        sheet.paste(icon48, (x + 8, 34), icon48)
        sheet.paste(icon16, (x + 64, 50), icon16)

    label((12, 256), "enlarged")
    sheet.paste(big(hand, 3), (12, 274))
    sheet.paste(big(info, 8), (340, 274))
    sheet.paste(big(warn, 8), (480, 274))
    for j, bg in enumerate(((255, 255, 255), (58, 110, 165))):
        x = 340 + j * 300
        d.rectangle([x, 494, x + 191, 685], fill=bg)
        b = big(icon48, 4)
        sheet.paste(b, (x, 494), b)
        d.rectangle([x, 700, x + 127, 827], fill=bg)
        b = big(icon16, 8)
        sheet.paste(b, (x, 700), b)
    sheet.save(path, optimize=True)


def main():
    args = sys.argv[1:]
    if args[:1] == ["--check"]:
        sys.exit(0 if check(*args[1:2]) else 1)
    if args[:1] == ["--preview"]:
        preview(args[1] if len(args) > 1 else "art-preview.png")
        return
    write_bmp4(os.path.join(HERE, "info_mark.bmp"), draw_info_mark())
    write_bmp4(os.path.join(HERE, "warning_mark.bmp"), draw_warning_mark())
    write_bmp24(os.path.join(HERE, "handset.bmp"), draw_handset())
    write_ico(os.path.join(HERE, "updater.ico"), [draw_icon48(), draw_icon16()])


if __name__ == "__main__":
    main()
