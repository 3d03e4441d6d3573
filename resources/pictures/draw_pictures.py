#!/usr/bin/python3
"""Draws tarvonix's built-in pictures from scratch.

    menu.bmp        the main-menu painting (722x495, 8-bit palette BMP, rows
                    stored from the top down; so is its 2x rendering)
    tarvonix.png    the program icon (32x32 palette PNG), installed for desktops
    tarvonix.bmp    the same icon as the program carries it (32-bit BMP with
                    alpha, rows from the top down)
    face-right.png  the smiling face shown for a right answer (32x32)
    face-wrong.png  the frowning face shown for a wrong answer (32x32)

Each also comes at twice the size, named with Qt's "@2x", for screens scaled
2x; both renderings are made from the same drawing.  The icon is also drawn
at the icon theme's sizes and as SVG (tarvonix-SIZE.png, tarvonix.svg).

Run it through scripts/render-pictures; the output directory is the first
argument (defaults to this file's directory), the icon theme's the second
(defaults to packaging/icons).  Everything is deterministic:
the only randomness comes from generators seeded with fixed values, so
re-running produces byte-identical files.

The menu painting is composed in "design pixels" (the 722x495 output grid),
drawn SUPERSAMPLE times larger for antialiasing, shrunk, then quantised to
256 colours.  Only the upper-left 640x480 is shown by the program, so the
composition is centred on x = 320 and everything important stays inside it.
"""

import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter

Resampling = Image.Resampling

# ---------------------------------------------------------------------------
# Small colour / geometry helpers
# ---------------------------------------------------------------------------


def ramp(stops, t):
    """Colour at position t (0..1) along a list of (position, colour) stops."""
    t = max(0.0, min(1.0, t))
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            u = 0.0 if p1 == p0 else (t - p0) / (p1 - p0)
            return tuple(round(a + (b - a) * u) for a, b in zip(c0, c1))
    return tuple(stops[-1][1])


def mix(c0, c1, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(c0, c1))


def cubic(p0, p1, p2, p3, steps=24):
    """Points along a cubic Bezier curve (excluding the start point)."""
    pts = []
    for i in range(1, steps + 1):
        t = i / steps
        u = 1 - t
        x = u**3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t**3 * p3[0]
        y = u**3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t**3 * p3[1]
        pts.append((x, y))
    return pts


def mirror_x(half, cx):
    """Closes a right-hand half outline into a symmetric polygon about cx."""
    return half + [(2 * cx - x, y) for x, y in reversed(half)]


def colorize(lum, stops):
    """Maps an L image through colour stops (0 -> first stop, 255 -> last)."""
    table = [ramp(stops, v / 255) for v in range(256)]
    bands = [lum.point([c[k] for c in table]) for k in range(3)]
    return Image.merge("RGB", bands)


_RADIAL = None


def radial_unit():
    """512x512 L image: 0 at the centre rising to 255 at radius 256."""
    global _RADIAL
    if _RADIAL is None:
        data = []
        for y in range(512):
            dy = y + 0.5 - 256
            for x in range(512):
                dx = x + 0.5 - 256
                data.append(min(255, round(math.hypot(dx, dy) * 255 / 256)))
        _RADIAL = Image.new("L", (512, 512))
        _RADIAL.putdata(data)
    return _RADIAL


def noise_image(size, seed, grain, amount):
    """Soft grey noise centred on 128, deterministic for a given seed.

    grain is the size of a noise cell in pixels (a number, or an (x, y)
    pair for streaky noise); amount is the +- swing."""
    w, h = size
    gx, gy = grain if isinstance(grain, tuple) else (grain, grain)
    sw, sh = max(2, int(w // gx) + 2), max(2, int(h // gy) + 2)
    rng = random.Random(seed)
    small = Image.frombytes("L", (sw, sh), rng.randbytes(sw * sh))
    small = small.point(lambda v: round(128 + (v - 128) * amount / 128))
    return small.resize((round(sw * gx), round(sh * gy)), Resampling.BICUBIC).crop((0, 0, w, h))


# ---------------------------------------------------------------------------
# The menu painting
# ---------------------------------------------------------------------------

MENU_SIZE = (722, 495)          # file size; only 640x480 is ever shown
VISIBLE = (640, 480)
SUPERSAMPLE = 4
S = SUPERSAMPLE

CX = 320                        # axis of symmetry of the whole view
HORIZON_Y = 215                 # eye level (the garden's vanishing point)
GROUND_Y = 250                  # where the plinth meets the garden
GARDEN_SCALE = 0.415            # lateral design px per garden unit per px below horizon
POOL_FAR_Y = 263                # far end of the reflecting pool

# Sky (dawn): deep blue overhead, lavender, rose and gold at the horizon.
SKY_STOPS = [
    (0.00, (46, 58, 112)),
    (0.22, (84, 88, 148)),
    (0.45, (150, 126, 172)),
    (0.66, (214, 150, 158)),
    (0.84, (246, 186, 142)),
    (1.00, (255, 222, 170)),
]
SUN_POS = (78, 212)
SUN_GLOW = (255, 214, 150)
CLOUD_SHADE = (150, 118, 150)
CLOUD_LIT = (255, 206, 186)

# Marble, lit by a low warm sun from the left.
MARBLE_LIT = (252, 242, 234)
MARBLE = (238, 226, 222)
MARBLE_SHADE = (196, 186, 204)
MARBLE_DEEP = (150, 140, 168)
RECESS_TOP = (86, 74, 96)
RECESS_BOTTOM = (150, 132, 146)
INLAY = (150, 128, 128)
GILT = (214, 176, 104)
GILT_DARK = (140, 104, 58)

FAR_TREES = (104, 104, 124)
SIDE_TREES = (40, 62, 56)
SIDE_TREES_LIT = (92, 100, 76)
CYPRESS_DARK = (16, 40, 30)
CYPRESS = (34, 66, 44)
CYPRESS_LIT = (92, 112, 66)
LAWN_FAR = (120, 136, 96)
LAWN_NEAR = (52, 96, 42)
PATH_FAR = (222, 196, 172)
PATH_NEAR = (188, 150, 118)
COPING = (236, 222, 204)
COPING_SHADE = (170, 150, 136)
WATER = (36, 56, 84)

TITLE = "TARVONIX"
TITLE_CENTRE = (320, 336)  # above the row of buttons (which start at y 408)
TITLE_WIDTH = 452
TITLE_TOP = (255, 242, 120)
TITLE_MID = (255, 214, 36)
TITLE_BOTTOM = (232, 158, 10)
TITLE_OUTLINE = (46, 26, 8)


def sc(v):
    return v * S


def scp(pts):
    return [(x * S, y * S) for x, y in pts]


class Shape:
    """An antialiasing-friendly mask covering a box of the (supersampled)
    canvas.  Primitives take design coordinates."""

    def __init__(self, x0, y0, x1, y1):
        self.ox = max(0, int(math.floor(x0 * S)) - 2)
        self.oy = max(0, int(math.floor(y0 * S)) - 2)
        w = int(math.ceil(x1 * S)) + 2 - self.ox
        h = int(math.ceil(y1 * S)) + 2 - self.oy
        self.mask = Image.new("L", (max(1, w), max(1, h)), 0)
        self.draw = ImageDraw.Draw(self.mask)

    def _p(self, pts):
        return [(x * S - self.ox, y * S - self.oy) for x, y in pts]

    def _b(self, box):
        x0, y0, x1, y1 = box
        return (x0 * S - self.ox, y0 * S - self.oy, x1 * S - self.ox - 1, y1 * S - self.oy - 1)

    def poly(self, pts, value=255):
        self.draw.polygon(self._p(pts), fill=value)
        return self

    def rect(self, box, value=255):
        self.draw.rectangle(self._b(box), fill=value)
        return self

    def ellipse(self, box, value=255):
        self.draw.ellipse(self._b(box), fill=value)
        return self

    def line(self, pts, width, value=255):
        self.draw.line(self._p(pts), fill=value, width=max(1, round(width * S)), joint="curve")
        return self

    def soften(self, radius):
        """Blurs the mask by `radius` design px, growing the box to make room."""
        pad = int(math.ceil(3 * radius * S)) + 1
        grown = Image.new("L", (self.mask.width + 2 * pad, self.mask.height + 2 * pad), 0)
        grown.paste(self.mask, (pad, pad))
        self.mask = grown.filter(ImageFilter.GaussianBlur(radius * S))
        self.ox -= pad
        self.oy -= pad
        self.draw = ImageDraw.Draw(self.mask)
        return self

    def blank(self):
        """An empty shape over the same box."""
        other = Shape.__new__(Shape)
        other.ox, other.oy = self.ox, self.oy
        other.mask = Image.new("L", self.mask.size, 0)
        other.draw = ImageDraw.Draw(other.mask)
        return other

    def _aligned(self, other):
        return other.mask.crop((self.ox - other.ox, self.oy - other.oy,
                                self.ox - other.ox + self.mask.width,
                                self.oy - other.oy + self.mask.height))

    def clip(self, other):
        """Keeps only the part of this shape that lies inside `other`."""
        self.mask = ImageChops.multiply(self.mask, self._aligned(other))
        self.draw = ImageDraw.Draw(self.mask)
        return self

    def cut(self, other):
        """Removes the part of this shape that lies inside `other`."""
        self.mask = ImageChops.subtract(self.mask, self._aligned(other))
        self.draw = ImageDraw.Draw(self.mask)
        return self

    @property
    def box(self):
        return (self.ox, self.oy, self.ox + self.mask.width, self.oy + self.mask.height)


def shape_of(pts):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(min(xs), min(ys), max(xs), max(ys)).poly(pts)


def paint(img, shape, fill, opacity=1.0):
    """Fills a shape with a flat colour or a fill function fill(box)->RGB."""
    mask = shape.mask
    if opacity < 1.0:
        mask = mask.point(lambda v: round(v * opacity))
    box = shape.box
    if isinstance(fill, tuple):
        img.paste(fill, box, mask)
    else:
        img.paste(fill(box), box, mask)


def vgrad(stops, y0, y1):
    """Vertical gradient fill from design y0 (first stop) to y1 (last)."""
    def make(box):
        w, h = box[2] - box[0], box[3] - box[1]
        strip = Image.new("RGB", (1, h))
        strip.putdata([ramp(stops, ((box[1] + i + 0.5) / S - y0) / (y1 - y0)) for i in range(h)])
        return strip.resize((w, h), Resampling.NEAREST)
    return make


def hgrad(stops, x0, x1):
    """Horizontal gradient fill from design x0 (first stop) to x1 (last)."""
    def make(box):
        w, h = box[2] - box[0], box[3] - box[1]
        strip = Image.new("RGB", (w, 1))
        strip.putdata([ramp(stops, ((box[0] + i + 0.5) / S - x0) / (x1 - x0)) for i in range(w)])
        return strip.resize((w, h), Resampling.NEAREST)
    return make


def rgrad(stops, cx, cy, rx, ry):
    """Elliptical radial gradient fill centred on a design point."""
    def make(box):
        w, h = box[2] - box[0], box[3] - box[1]
        lum = Image.new("L", (w, h), 255)
        g = radial_unit().resize((max(1, round(2 * rx * S)), max(1, round(2 * ry * S))),
                                 Resampling.BILINEAR)
        lum.paste(g, (round((cx - rx) * S) - box[0], round((cy - ry) * S) - box[1]))
        return colorize(lum, stops)
    return make


def glow(img, centre, radii, colour, strength):
    """Adds light: a soft elliptical glow brightening whatever is beneath."""
    cx, cy = centre
    rx, ry = radii
    shape = Shape(cx - rx, cy - ry, cx + rx, cy + ry)
    lum = Image.new("L", shape.mask.size, 255)
    g = radial_unit().resize((round(2 * rx * S), round(2 * ry * S)), Resampling.BILINEAR)
    lum.paste(g, (round((cx - rx) * S) - shape.ox, round((cy - ry) * S) - shape.oy))
    weight = lum.point(lambda v: round(255 * strength * (1 - v / 255) ** 2))
    region = img.crop(shape.box)
    lit = ImageChops.screen(region, Image.new("RGB", region.size, colour))
    img.paste(Image.composite(lit, region, weight), shape.box[:2])


# --- sky -------------------------------------------------------------------


def draw_sky(img, rng):
    w, h = img.size
    sky = Shape(0, 0, w / S, GROUND_Y + 2).rect((0, 0, w / S, GROUND_Y + 2))
    paint(img, sky, vgrad(SKY_STOPS, 0, GROUND_Y - 20))
    glow(img, SUN_POS, (330, 150), SUN_GLOW, 0.75)
    glow(img, SUN_POS, (90, 50), (255, 240, 210), 0.8)

    # Long, soft bands of cloud, lit from below by the sun.
    banks = [
        (40, 30, 14), (150, 52, 10), (470, 40, 12), (600, 70, 9), (250, 96, 7),
        (90, 118, 8), (530, 126, 7), (380, 150, 5), (20, 168, 5), (620, 160, 5),
    ]
    for bx, by, thickness in banks:
        body = Shape(bx - 190, by - 40, bx + 190, by + 40)
        lit = Shape(bx - 190, by - 40, bx + 190, by + 40)
        length = rng.uniform(150, 260)
        for _ in range(26):
            x = bx + rng.uniform(-0.5, 0.5) * length
            y = by + rng.gauss(0, thickness * 0.35)
            rw = rng.uniform(18, 60)
            rh = thickness * rng.uniform(0.35, 0.8)
            body.ellipse((x - rw, y - rh, x + rw, y + rh))
            lit.ellipse((x - rw * 0.9, y + rh * 0.1, x + rw * 0.9, y + rh * 1.1))
        nearness = by / GROUND_Y       # lower clouds sit closer to the sun glow
        lit.mask = ImageChops.subtract(lit.mask, body.mask.point(lambda v: v // 3))
        body.soften(thickness * 0.5)
        lit.soften(thickness * 0.35)
        shade = mix(CLOUD_SHADE, (222, 160, 160), nearness)
        paint(img, body, shade, 0.55)
        paint(img, lit, mix(CLOUD_LIT, (255, 232, 200), nearness), 0.6)


def tree_canopy(shape, x0, x1, top_fn, base_y, rng, blob=(4, 10)):
    """Fills a band of tree crowns whose tops follow top_fn(x)."""
    x = x0
    while x < x1:
        r = rng.uniform(*blob)
        top = top_fn(x) + rng.uniform(-2, 2)
        shape.ellipse((x - r, top, x + r, top + 2 * r))
        shape.rect((x - r, top + r, x + r, base_y))
        x += r * rng.uniform(0.6, 1.1)


def draw_far_trees(img, rng):
    """A hazy line of trees across the river, just showing above the plinth."""
    shape = Shape(0, 190, MENU_SIZE[0], GROUND_Y + 2)
    tree_canopy(shape, -5, MENU_SIZE[0] + 5,
                lambda x: 221 - 6 * math.exp(-((x - 320) / 260) ** 2) + 4 * math.sin(x / 37),
                GROUND_Y + 2, rng, (3, 7))
    paint(img, shape, vgrad([(0, mix(FAR_TREES, (190, 150, 150), 0.3)), (1, FAR_TREES)], 212, 236))


def draw_side_trees(img, rng):
    """Darker, nearer garden trees on both sides, framing the building."""
    for side in (-1, 1):
        if side < 0:
            x0, x1 = -10, 116
            top = lambda x: 176 + (x / 116) ** 2 * 34 + 4 * math.sin(x / 9)
        else:
            x0, x1 = 524, MENU_SIZE[0] + 10
            top = lambda x: 176 + ((640 - x) / 116) ** 2 * 34 + 4 * math.sin(x / 11)
        shape = Shape(x0 - 12, 150, x1 + 12, GROUND_Y + 2)
        tree_canopy(shape, x0, x1, top, GROUND_Y + 2, rng, (5, 12))
        lit_side = (SIDE_TREES_LIT, SIDE_TREES) if side < 0 else (SIDE_TREES, mix(SIDE_TREES, (30, 40, 50), 0.5))
        paint(img, shape, vgrad([(0, lit_side[0]), (0.45, lit_side[1]), (1, mix(lit_side[1], (20, 30, 30), 0.5))], 170, GROUND_Y))
        foliage(img, shape, rng, (2.5 * S, 2 * S), mix(SIDE_TREES, (0, 0, 0), 0.45),
                mix(SIDE_TREES_LIT, (230, 190, 130), 0.25 if side < 0 else 0.0), 0.7 if side < 0 else 0.3)


def foliage(img, shape, rng, grain, dark, lit, lit_strength):
    """Leafy texture inside a shape: dark pockets and sunlit tufts."""
    size = shape.mask.size
    tex = noise_image(size, rng.randrange(1 << 30), grain, 60)
    tex = ImageChops.add(tex, noise_image(size, rng.randrange(1 << 30),
                                          (grain[0] * 0.45, grain[1] * 0.45), 34), 1.0, -128)
    pockets = shape.blank()
    pockets.mask = ImageChops.multiply(tex.point(lambda v: min(255, max(0, 128 - v) * 3)), shape.mask)
    paint(img, pockets, dark, 0.75)
    tufts = shape.blank()
    tufts.mask = ImageChops.multiply(tex.point(lambda v: min(255, max(0, v - 128) * 3)), shape.mask)
    paint(img, tufts, lit, lit_strength)


# --- architecture ----------------------------------------------------------


def onion_outline(cx, base_y, base_hw, max_hw, belly_y, tip_y, neck=0.5):
    """Right half of an onion dome, from the base up to the tip, mirrored."""
    h = base_y - tip_y
    right = [(cx + base_hw, base_y)]
    right += cubic((cx + base_hw, base_y), (cx + base_hw + (max_hw - base_hw) * 0.6, base_y - 0.05 * h),
                   (cx + max_hw, belly_y + 0.18 * h), (cx + max_hw, belly_y))
    shoulder = (cx + max_hw * 0.42, tip_y + h * 0.26)
    right += cubic((cx + max_hw, belly_y), (cx + max_hw, belly_y - 0.26 * h),
                   (shoulder[0] + max_hw * 0.3, shoulder[1] + h * 0.12), shoulder)
    right += cubic(shoulder, (shoulder[0] - max_hw * 0.22, shoulder[1] - h * 0.09),
                   (cx + max_hw * 0.06 * neck, tip_y + h * 0.08), (cx, tip_y))
    left = [(2 * cx - x, y) for x, y in reversed(right)]
    return right + left[1:]


def pointed_arch(x0, x1, spring_y, apex_y, bottom_y):
    """A pointed (Mughal) arch opening as a closed polygon."""
    xm = (x0 + x1) / 2
    rise = spring_y - apex_y
    half = (x1 - x0) / 2
    left = [(x0, bottom_y), (x0, spring_y)]
    left += cubic((x0, spring_y), (x0, spring_y - rise * 0.62),
                  (xm - half * 0.42, apex_y + rise * 0.18), (xm, apex_y), 20)
    right = [(2 * xm - x, y) for x, y in reversed(left)]
    return left + right[1:]


def finial(img, cx, base_y, height, width):
    """A gilt finial: stacked bulbs on a rod, topped by a crescent."""
    rod = Shape(cx - width, base_y - height, cx + width, base_y)
    rod.rect((cx - width * 0.18, base_y - height, cx + width * 0.18, base_y))
    for frac, r in ((0.12, 0.55), (0.3, 0.75), (0.5, 0.5), (0.66, 0.38)):
        y = base_y - height * frac
        rod.ellipse((cx - width * r, y - width * r * 0.8, cx + width * r, y + width * r * 0.8))
    paint(img, rod, hgrad([(0, (255, 236, 180)), (0.45, GILT), (1, GILT_DARK)], cx - width * 0.7, cx + width * 0.7))
    # crescent
    cy = base_y - height * 0.9
    r = width * 0.55
    moon = Shape(cx - r, cy - r, cx + r, cy + r).ellipse((cx - r, cy - r, cx + r, cy + r))
    moon.ellipse((cx - r * 0.75, cy - r * 1.35, cx + r * 0.75, cy + r * 0.15), 0)
    paint(img, moon, GILT)


def marble_column_fill(x0, x1, lit=MARBLE_LIT, mid=MARBLE, shade=MARBLE_SHADE):
    """A round column lit from the left."""
    return hgrad([(0, mix(lit, MARBLE_SHADE, 0.3)), (0.28, lit), (0.55, mid), (1, shade)], x0, x1)


def chhatri(img, cx, base_y, width, detail=True):
    """A small domed kiosk: open arches, a thin eave and an onion cupola."""
    w = width
    pillar_h = w * 0.5
    eave_y = base_y - pillar_h
    # base drum with open arches
    body = Shape(cx - w / 2, eave_y, cx + w / 2, base_y).rect((cx - w / 2, eave_y, cx + w / 2, base_y))
    paint(img, body, marble_column_fill(cx - w / 2, cx + w / 2))
    n = 3
    bay = w / n
    for i in range(n):
        bx0 = cx - w / 2 + bay * i + bay * 0.22
        bx1 = bx0 + bay * 0.56
        arch = shape_of(pointed_arch(bx0, bx1, eave_y + pillar_h * 0.45, eave_y + pillar_h * 0.18, base_y - pillar_h * 0.08))
        dim = 0.25 + 0.75 * (i / (n - 1))
        paint(img, arch, mix(mix(RECESS_TOP, RECESS_BOTTOM, 0.3), (60, 50, 70), dim * 0.4))
    # eave (chhajja) with its shadow
    ev = Shape(cx - w * 0.66, eave_y - w * 0.08, cx + w * 0.66, eave_y + w * 0.14)
    ev.poly([(cx - w * 0.66, eave_y + w * 0.02), (cx + w * 0.66, eave_y + w * 0.02),
             (cx + w * 0.5, eave_y - w * 0.06), (cx - w * 0.5, eave_y - w * 0.06)])
    shadow = Shape(cx - w / 2, eave_y, cx + w / 2, eave_y + w * 0.14).rect((cx - w / 2, eave_y, cx + w / 2, eave_y + w * 0.12))
    shadow.soften(w * 0.04)
    paint(img, shadow, MARBLE_DEEP, 0.55)
    paint(img, ev, marble_column_fill(cx - w * 0.66, cx + w * 0.66))
    # cupola
    dome_base = eave_y - w * 0.06
    outline = onion_outline(cx, dome_base, w * 0.4, w * 0.5, dome_base - w * 0.26, dome_base - w * 0.86)
    paint(img, shape_of(outline),
          rgrad([(0, (255, 250, 244)), (0.45, MARBLE), (0.8, MARBLE_SHADE), (1, MARBLE_DEEP)],
                cx - w * 0.2, dome_base - w * 0.45, w * 0.62, w * 0.62))
    # lotus band at the base of the cupola
    band = Shape(cx - w * 0.42, dome_base - w * 0.06, cx + w * 0.42, dome_base)
    band.rect((cx - w * 0.4, dome_base - w * 0.05, cx + w * 0.4, dome_base))
    paint(img, band, marble_column_fill(cx - w * 0.4, cx + w * 0.4, MARBLE, MARBLE_SHADE, MARBLE_DEEP), 0.7)
    finial(img, cx, dome_base - w * 0.84, w * 0.4, w * 0.09)


def minaret(img, cx, base_y, top_y, base_w, top_w, haze=0.0):
    """A slender tapering minaret with three balconies and a crowning kiosk."""
    def hz(c):
        return mix(c, (214, 188, 200), haze)

    shaft_top = top_y + (base_y - top_y) * 0.13
    pts = [(cx - base_w / 2, base_y), (cx - top_w / 2, shaft_top),
           (cx + top_w / 2, shaft_top), (cx + base_w / 2, base_y)]
    fill = hgrad([(0, hz(mix(MARBLE_LIT, MARBLE_SHADE, 0.25))), (0.25, hz(MARBLE_LIT)),
                  (0.55, hz(MARBLE)), (1, hz(MARBLE_SHADE))], cx - base_w / 2, cx + base_w / 2)
    paint(img, shape_of(pts), fill)
    # faint courses of masonry
    h = base_y - shaft_top
    for k in range(1, 18):
        y = base_y - h * k / 18
        ww = base_w + (top_w - base_w) * k / 18
        line = Shape(cx - ww / 2, y - 0.3, cx + ww / 2, y + 0.3).rect((cx - ww / 2, y - 0.12, cx + ww / 2, y + 0.12))
        paint(img, line, hz(MARBLE_DEEP), 0.35)
    # balconies
    for frac in (0.33, 0.63, 0.93):
        y = base_y - h * frac
        ww = base_w + (top_w - base_w) * frac
        bw = ww + 4.2
        shadow = Shape(cx - ww / 2, y, cx + ww / 2, y + 4)
        shadow.poly([(cx - bw / 2, y), (cx + bw / 2, y), (cx + ww / 2, y + 3.2), (cx - ww / 2, y + 3.2)])
        paint(img, shadow, hgrad([(0, hz(MARBLE_SHADE)), (1, hz(MARBLE_DEEP))], cx - bw / 2, cx + bw / 2))
        rail = Shape(cx - bw / 2, y - 2.2, cx + bw / 2, y + 0.6).rect((cx - bw / 2, y - 2, cx + bw / 2, y + 0.4))
        paint(img, rail, marble_column_fill(cx - bw / 2, cx + bw / 2, hz(MARBLE_LIT), hz(MARBLE), hz(MARBLE_SHADE)))
        rim = Shape(cx - bw / 2, y - 2.3, cx + bw / 2, y - 1.6).rect((cx - bw / 2, y - 2.2, cx + bw / 2, y - 1.7))
        paint(img, rim, hz(MARBLE_DEEP), 0.5)
    chhatri(img, cx, shaft_top, top_w * 1.55)


def draw_plinth(img):
    x0, x1, top, bottom = 118, 522, 232, GROUND_Y
    face = Shape(x0, top - 2, x1, bottom).rect((x0, top, x1, bottom))
    paint(img, face, vgrad([(0, MARBLE_LIT), (0.5, MARBLE), (1, mix(MARBLE, MARBLE_SHADE, 0.6))], top, bottom))
    # a warm wash from the sun on the left end, cooler towards the right
    wash = Shape(x0, top, x1, bottom).rect((x0, top, x1, bottom))
    paint(img, wash, hgrad([(0, (255, 226, 196)), (0.5, MARBLE), (1, MARBLE_SHADE)], x0, x1), 0.35)
    # a row of blind arches along the face
    n = 25
    step = (x1 - x0) / n
    for i in range(n):
        ax0 = x0 + step * i + step * 0.24
        ax1 = ax0 + step * 0.52
        niche = shape_of(pointed_arch(ax0, ax1, top + 7.5, top + 5, bottom - 2.5))
        paint(img, niche, vgrad([(0, mix(MARBLE_SHADE, MARBLE_DEEP, 0.6)), (1, MARBLE_SHADE)], top + 5, bottom - 2.5))
    # cornice and the shadowed lip
    cornice = Shape(x0 - 1, top - 1.6, x1 + 1, top + 1).rect((x0 - 1, top - 1.4, x1 + 1, top + 0.4))
    paint(img, cornice, MARBLE_LIT)
    lip = Shape(x0, top + 0.4, x1, top + 2).rect((x0, top + 0.4, x1, top + 1.4))
    paint(img, lip, MARBLE_SHADE, 0.7)
    base = Shape(x0, bottom - 1.6, x1, bottom).rect((x0, bottom - 1.4, x1, bottom))
    paint(img, base, MARBLE_DEEP, 0.6)


def niche(img, x0, x1, spring_y, apex_y, bottom_y, shade=0.0):
    """A recessed arch: an inlaid frame, deep shadow, and a little window."""
    frame = shape_of(pointed_arch(x0 - 1.2, x1 + 1.2, spring_y, apex_y - 1.5, bottom_y))
    paint(img, frame, mix(INLAY, MARBLE_DEEP, 0.3), 0.45)
    hole = shape_of(pointed_arch(x0, x1, spring_y, apex_y, bottom_y))
    top_c = mix(RECESS_TOP, (60, 50, 72), shade)
    bot_c = mix(RECESS_BOTTOM, (90, 80, 104), shade)
    paint(img, hole, vgrad([(0, top_c), (1, bot_c)], apex_y, bottom_y))
    # the sunlit side of the recess
    w = x1 - x0
    lit = shape_of(pointed_arch(x0 + w * 0.62, x1, spring_y + 1, apex_y + (spring_y - apex_y) * 0.5, bottom_y))
    paint(img, lit, mix(RECESS_BOTTOM, (220, 190, 190), 0.3 * (1 - shade)), 0.5)
    # inner window with lattice
    if bottom_y - spring_y > 10:
        wx0, wx1 = x0 + w * 0.28, x1 - w * 0.28
        wy0 = spring_y + (bottom_y - spring_y) * 0.25
        wy1 = bottom_y - (bottom_y - spring_y) * 0.15
        win = shape_of(pointed_arch(wx0, wx1, wy0 + (wx1 - wx0) * 0.3, wy0, wy1))
        paint(img, win, mix(RECESS_TOP, (40, 30, 50), 0.5 + 0.3 * shade), 0.8)


def draw_main_building(img):
    x0, x1, top, bottom = 212, 428, 150, 232
    ch = 21                                         # width of the chamfered corners
    # chamfers: the left catches the sun, the right is in shade
    left = Shape(x0, top, x0 + ch, bottom).rect((x0, top, x0 + ch, bottom))
    paint(img, left, vgrad([(0, (255, 240, 226)), (1, (246, 226, 214))], top, bottom))
    right = Shape(x1 - ch, top, x1, bottom).rect((x1 - ch, top, x1, bottom))
    paint(img, right, vgrad([(0, MARBLE_SHADE), (1, mix(MARBLE_SHADE, MARBLE_DEEP, 0.4))], top, bottom))
    front = Shape(x0 + ch, top, x1 - ch, bottom).rect((x0 + ch, top, x1 - ch, bottom))
    paint(img, front, vgrad([(0, MARBLE_LIT), (1, MARBLE)], top, bottom))
    paint(img, front, hgrad([(0, (255, 236, 214)), (0.5, MARBLE), (1, MARBLE_SHADE)], x0 + ch, x1 - ch), 0.3)
    # corner edges
    for ex, c in ((x0 + ch, MARBLE_SHADE), (x1 - ch, MARBLE_DEEP)):
        edge = Shape(ex - 0.5, top, ex + 0.5, bottom).rect((ex - 0.35, top, ex + 0.35, bottom))
        paint(img, edge, c, 0.6)

    # two storeys of niches on each side bay and chamfer
    for bx0, bx1, shade in ((236, 270, 0.0), (370, 404, 0.15)):
        niche(img, bx0, bx1, 167, 159, 188, shade)
        niche(img, bx0, bx1, 205, 197, 228, shade)
    for bx0, bx1, shade in ((x0 + 4, x0 + ch - 4, 0.0), (x1 - ch + 4, x1 - 4, 0.55)):
        niche(img, bx0, bx1, 166, 160, 188, shade)
        niche(img, bx0, bx1, 204, 198, 228, shade)
    # string course between the storeys
    course = Shape(x0, 192, x1, 194).rect((x0, 192.2, x1, 193.4))
    paint(img, course, hgrad([(0, MARBLE_LIT), (1, MARBLE_SHADE)], x0, x1), 0.8)

    # the great portal (pishtaq) and its arch (iwan)
    px0, px1, ptop = 278, 362, 141
    pish = Shape(px0, ptop, px1, bottom).rect((px0, ptop, px1, bottom))
    paint(img, pish, vgrad([(0, MARBLE_LIT), (1, mix(MARBLE_LIT, MARBLE, 0.6))], ptop, bottom))
    paint(img, pish, hgrad([(0, (255, 238, 220)), (0.6, MARBLE), (1, MARBLE_SHADE)], px0, px1), 0.25)
    for ex, c in ((px0, MARBLE_LIT), (px1, MARBLE_DEEP)):
        edge = Shape(ex - 0.8, ptop, ex + 0.8, bottom).rect((ex - 0.6, ptop, ex + 0.6, bottom))
        paint(img, edge, c, 0.6)
    # inlaid calligraphy frame: a band of tiny dark strokes
    frame_pts = [(px0 + 4, bottom), (px0 + 4, ptop + 4), (px1 - 4, ptop + 4), (px1 - 4, bottom)]
    band = Shape(px0, ptop, px1, bottom)
    band.line(frame_pts, 3.2)
    band.line([(px0 + 4, bottom), (px0 + 4, ptop + 4), (px1 - 4, ptop + 4), (px1 - 4, bottom)], 1.6, 0)
    paint(img, band, INLAY, 0.35)
    rng = random.Random(7)
    script = Shape(px0, ptop, px1, bottom)
    y = ptop + 3.4
    x = px0 + 3.5
    while x < px1 - 3.5:
        script.rect((x, y - rng.uniform(0, 0.8), x + rng.uniform(0.3, 0.8), y + 1.4))
        x += rng.uniform(0.9, 1.8)
    for sx in (px0 + 3.4, px1 - 4.6):
        yy = ptop + 5
        while yy < bottom - 2:
            script.rect((sx - rng.uniform(0, 0.4), yy, sx + 1.2, yy + rng.uniform(0.3, 0.8)))
            yy += rng.uniform(0.9, 1.8)
    paint(img, script, INLAY, 0.55)
    # spandrel flowers
    for fx in (px0 + 12, px1 - 12):
        rose = Shape(fx - 3, 150, fx + 3, 156).ellipse((fx - 2.2, 151, fx + 2.2, 155.4))
        paint(img, rose, INLAY, 0.4)
    # the iwan itself: deep, shadowed vault with a door and a window
    ix0, ix1 = 291, 349
    iwan_frame = shape_of(pointed_arch(ix0 - 1.6, ix1 + 1.6, 180, 154.5, bottom))
    paint(img, iwan_frame, INLAY, 0.45)
    iwan = shape_of(pointed_arch(ix0, ix1, 180, 157, bottom))
    paint(img, iwan, vgrad([(0, (70, 58, 82)), (0.45, (108, 92, 112)), (1, (168, 150, 160))], 157, bottom))
    # sunlit right-hand wall of the vault
    wall = shape_of(pointed_arch(ix0 + 40, ix1, 182, 170, bottom))
    paint(img, wall, vgrad([(0, (150, 120, 130)), (1, (222, 196, 192))], 170, bottom), 0.7)
    # the vault steps back in two recessed orders
    for inset, tone in ((4.5, 0.35), (9, 0.55)):
        order = shape_of(pointed_arch(ix0 + inset, ix1 - inset, 180 + inset * 0.4, 157 + inset * 0.9, bottom))
        edge = shape_of(pointed_arch(ix0 + inset + 0.8, ix1 - inset - 0.8, 180 + inset * 0.4, 158 + inset * 0.9, bottom))
        order.cut(edge)
        paint(img, order, mix((190, 170, 176), RECESS_TOP, tone), 0.6)
    niche(img, 307, 333, 206, 196, bottom, 0.3)         # the doorway
    win = shape_of(pointed_arch(310, 330, 190, 184, 193))
    paint(img, win, (56, 44, 64), 0.75)

    # parapet with small merlons on the main block and the portal
    for bx0, bx1, y in ((x0, px0, top), (px1, x1, top), (px0, px1, ptop)):
        par = Shape(bx0, y - 3, bx1, y + 0.5).rect((bx0, y - 1.2, bx1, y + 0.4))
        k = bx0 + 1.0
        while k < bx1 - 1.5:
            par.rect((k, y - 2.6, k + 1.5, y - 1.0))
            k += 3.2
        paint(img, par, hgrad([(0, MARBLE_LIT), (0.6, MARBLE), (1, MARBLE_SHADE)], x0, x1))
    # slender pinnacles (guldastas) flanking the portal and at the corners
    for gx, gy, gh in ((px0, ptop, 14), (px1, ptop, 14), (x0 + 0.5, top, 10), (x1 - 0.5, top, 10)):
        pin = Shape(gx - 2, gy - gh, gx + 2, gy).rect((gx - 1.2, gy - gh * 0.8, gx + 1.2, gy))
        pin.poly([(gx - 1.6, gy - gh * 0.8), (gx + 1.6, gy - gh * 0.8), (gx, gy - gh)])
        paint(img, pin, marble_column_fill(gx - 1.6, gx + 1.6))


def draw_dome(img):
    # drum
    dx0, dx1, dtop, dbottom = 283, 357, 126, 150
    drum = Shape(dx0, dtop, dx1, dbottom).rect((dx0, dtop, dx1, dbottom))
    paint(img, drum, marble_column_fill(dx0, dx1))
    for fx in range(0, 7):
        t = (fx + 0.5) / 7
        x = dx0 + (dx1 - dx0) * (0.5 - 0.5 * math.cos(math.pi * t))
        arch_w = 3.2 * math.sin(math.pi * t)
        if arch_w > 1:
            a = shape_of(pointed_arch(x - arch_w, x + arch_w, 138, 134, 147))
            paint(img, a, mix(MARBLE_SHADE, MARBLE_DEEP, 0.3 + 0.5 * t), 0.8)
    rim = Shape(dx0 - 2, dtop - 1, dx1 + 2, dtop + 2.5).rect((dx0 - 1.5, dtop, dx1 + 1.5, dtop + 2))
    paint(img, rim, marble_column_fill(dx0 - 1.5, dx1 + 1.5))
    # onion dome
    outline = onion_outline(CX, dtop, 45, 57, 100, 44)
    dome = shape_of(outline)
    paint(img, dome, rgrad([(0, (255, 252, 246)), (0.25, (252, 242, 234)), (0.55, MARBLE),
                            (0.8, MARBLE_SHADE), (1, MARBLE_DEEP)], CX - 22, 84, 82, 74))
    # warm rim light on the sunward edge of the dome
    rimlight = shape_of(outline)
    inner = shape_of([(x + 2.5, y + 1) for x, y in outline])
    rimlight.cut(inner)
    rimlight.soften(0.8)
    paint(img, rimlight, (255, 222, 184), 0.6)
    # lotus crown at the top
    crown = Shape(CX - 8, 38, CX + 8, 48)
    crown.poly([(CX - 6, 47), (CX - 3.5, 42.5), (CX, 41), (CX + 3.5, 42.5), (CX + 6, 47), (CX, 48)])
    paint(img, crown, rgrad([(0, MARBLE_LIT), (1, MARBLE_SHADE)], CX - 2, 43, 8, 6))
    # lotus-petal band where the dome meets the drum
    petals = Shape(CX - 50, dtop - 6, CX + 50, dtop)
    for k in range(-6, 7):
        px = CX + 44 * math.sin(k / 7 * math.pi / 2)
        petals.poly([(px - 2.6, dtop), (px, dtop - 4.5), (px + 2.6, dtop)])
    petals.clip(dome)
    paint(img, petals, MARBLE_SHADE, 0.45)
    finial(img, CX, 42, 27, 3.4)


def draw_building(img):
    # rear minarets first (they stand at the far corners of the plinth)
    for mx in (170, 470):
        minaret(img, mx, 229, 114, 10.5, 7.6, haze=0.2)
    draw_plinth(img)
    draw_main_building(img)
    for cx in (243, 397):
        chhatri(img, cx, 150, 27)
    draw_dome(img)
    for mx in (135, 505):
        minaret(img, mx, 232, 98, 13, 9.2)


def add_marble_texture(img, region):
    """Fine grain and faint clouding in the stone."""
    fine = noise_image(img.size, 101, S // 2, 7)
    cloudy = noise_image(img.size, 102, 5 * S, 5)
    noise = ImageChops.add(fine, cloudy, 1.0, -128).convert("RGB")
    textured = ImageChops.add(img, noise, 1.0, -128)
    img.paste(textured, (0, 0), region)


# --- garden ----------------------------------------------------------------


def garden_x(unit, y):
    """Screen x (design px) of a garden line `unit` away from the axis at row y."""
    return CX + unit * GARDEN_SCALE * (y - HORIZON_Y)


def garden_strip(u0, u1, y0, y1):
    """Polygon of a strip of ground between lateral units u0 and u1."""
    return [(garden_x(u0, y0), y0), (garden_x(u1, y0), y0), (garden_x(u1, y1), y1), (garden_x(u0, y1), y1)]


PATHS = ((1.1, 1.85), (-1.85, -1.1), (4.3, 4.75), (-4.75, -4.3))   # garden units
HEDGE_HEIGHT = 0.08


def draw_ground(img):
    w, h = MENU_SIZE
    lawn = Shape(0, GROUND_Y, w, h).rect((0, GROUND_Y, w, h))
    paint(img, lawn, vgrad([(0, LAWN_FAR), (0.3, mix(LAWN_FAR, LAWN_NEAR, 0.55)), (1, LAWN_NEAR)], GROUND_Y, h))
    # sun-warmed lawn on the left
    paint(img, lawn, hgrad([(0, (150, 150, 70)), (0.5, LAWN_NEAR), (1, (40, 80, 50))], 0, w), 0.25)
    # mowing stripes (light/dark bands running towards the building)
    stripes = Shape(0, GROUND_Y, w, h)
    for u in range(-40, 41, 2):
        if abs(u) > 1:
            stripes.poly(garden_strip(u * 0.55, u * 0.55 + 0.55, GROUND_Y, h + 5))
    paint(img, stripes, (160, 176, 90), 0.10)
    # broad, soft patches of light and shade on the grass
    mottle = noise_image(img.size, 203, (30 * S, 8 * S), 70)
    patches = Shape(0, GROUND_Y, w, h).rect((0, GROUND_Y, w, h))
    shade = patches.blank()
    shade.mask = mottle.crop(patches.box).point(lambda v: min(255, max(0, 128 - v) * 2))
    paint(img, shade, (30, 60, 34), 0.35)
    sun = patches.blank()
    sun.mask = mottle.crop(patches.box).point(lambda v: min(255, max(0, v - 128) * 2))
    paint(img, sun, (170, 176, 92), 0.25)
    # paths beside the pool and along the outer lawns
    for u0, u1 in PATHS:
        path = shape_of(garden_strip(u0, u1, GROUND_Y + 2, h + 5))
        paint(img, path, vgrad([(0, PATH_FAR), (1, PATH_NEAR)], GROUND_Y, h))
    # the cross path at the foot of the plinth
    terrace = Shape(0, GROUND_Y, w, GROUND_Y + 6).rect((0, GROUND_Y, w, GROUND_Y + 4.5))
    paint(img, terrace, vgrad([(0, mix(PATH_FAR, MARBLE_SHADE, 0.4)), (1, PATH_FAR)], GROUND_Y, GROUND_Y + 4.5))
    # stone coping round the pool
    coping = shape_of(garden_strip(-1.1, 1.1, POOL_FAR_Y - 2.2, h + 5))
    paint(img, coping, vgrad([(0, COPING), (1, mix(COPING, PATH_NEAR, 0.4))], POOL_FAR_Y, h))
    # lawn texture
    tex = noise_image(img.size, 202, S, 22).convert("RGB")
    grass = ImageChops.add(img, tex, 1.0, -128)
    grass_mask = Image.new("L", img.size, 0)
    grass_mask.paste(255, (0, (GROUND_Y + 5) * S, w * S, h * S))
    img.paste(grass, (0, 0), grass_mask)
    for u0, u1 in PATHS:
        outer = u1 if u1 > 0 else u0
        hedge(img, outer, 0.09 if u1 > 0 else -0.09)


def hedge(img, unit, thickness):
    """A low clipped hedge running along a path edge towards the building."""
    h = MENU_SIZE[1] + 5
    y0 = POOL_FAR_Y + 1
    ys = [y0 + (h - y0) * (k / 40) ** 1.6 for k in range(41)]
    foot = [(garden_x(unit, y), y) for y in ys]
    top = [(garden_x(unit, y), y - HEDGE_HEIGHT * GARDEN_SCALE * (y - HORIZON_Y)) for y in ys]
    far_top = [(garden_x(unit + thickness, y), y - HEDGE_HEIGHT * GARDEN_SCALE * (y - HORIZON_Y)) for y in ys]
    body = shape_of(foot + list(reversed(top)))
    paint(img, body, vgrad([(0, (40, 70, 40)), (1, (22, 48, 28))], HORIZON_Y, h))
    cap = shape_of(top + list(reversed(far_top)))
    paint(img, cap, vgrad([(0, (120, 130, 80)), (1, (70, 104, 52))], HORIZON_Y, h))


def pool_shape():
    h = MENU_SIZE[1]
    return shape_of(garden_strip(-1.0, 1.0, POOL_FAR_Y, h + 5))


def draw_reflection(img, backdrop):
    """Mirrors the sky and building in the pool, faded and gently rippled."""
    w, h = img.size
    mirror = GROUND_Y * S
    depth = h - mirror
    upside = backdrop.crop((0, mirror - depth, w, mirror)).transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    rippled = Image.new("RGB", upside.size)
    for row in range(depth):
        y = GROUND_Y + (row + 0.5) / S
        near = (y - HORIZON_Y) / (MENU_SIZE[1] - HORIZON_Y)
        amp = (0.25 + 1.6 * near**1.5) * S
        dx = round(amp * math.sin(row / S * 0.9 / max(0.2, near) ** 0.6) + 0.4 * amp * math.sin(row * 0.37))
        line = upside.crop((0, row, w, row + 1))
        rippled.paste(line, (dx, row))
        if dx > 0:
            rippled.paste(line.crop((0, 0, dx, 1)), (0, row))
        elif dx < 0:
            rippled.paste(line.crop((w + dx, 0, w, 1)), (w + dx, row))
    rippled = rippled.filter(ImageFilter.GaussianBlur(S * 0.7))
    water = Image.new("RGB", rippled.size, WATER)
    column = Image.new("L", (1, depth))
    column.putdata([round(255 * (0.25 + 0.3 * (r / depth))) for r in range(depth)])
    fade = column.resize((w, depth), Resampling.NEAREST)
    reflected = Image.composite(water, rippled, fade)
    # bright glints where the ripples catch the sky
    rng = random.Random(303)
    glints = Image.new("L", reflected.size, 0)
    gd = ImageDraw.Draw(glints)
    for _ in range(260):
        yy = rng.uniform(0, depth)
        near = (yy / S + GROUND_Y - HORIZON_Y) / (MENU_SIZE[1] - HORIZON_Y)
        xx = rng.uniform(CX - 130, CX + 130) * S
        ln = rng.uniform(4, 16) * near * S
        gd.line([(xx - ln, yy), (xx + ln, yy)], fill=rng.randint(60, 150), width=max(1, round(near * S * 0.6)))
    glints = glints.filter(ImageFilter.GaussianBlur(S * 0.4))
    reflected = Image.composite(Image.new("RGB", reflected.size, (255, 236, 220)), reflected, glints)
    pool = pool_shape()
    ox, oy = pool.ox, pool.oy - mirror
    img.paste(reflected.crop((ox, oy, ox + pool.mask.width, oy + pool.mask.height)), pool.box, pool.mask)
    # shadow of the coping along the pool's edge
    lip = Shape(0, POOL_FAR_Y, MENU_SIZE[0], MENU_SIZE[1])
    lip.poly(garden_strip(-1.0, -0.93, POOL_FAR_Y, MENU_SIZE[1] + 5))
    lip.poly(garden_strip(-1.0, 1.0, POOL_FAR_Y, POOL_FAR_Y + 0.8))
    paint(img, lip, (20, 30, 40), 0.5)


CYPRESS_HALF_WIDTH = 0.11      # of the tree's height


def cypress_outline(cx, base_y, height):
    """A slim Italian cypress: a short trunk, a full lower body, a sharp tip."""
    w = height * CYPRESS_HALF_WIDTH
    right = [(cx + w * 0.12, base_y), (cx + w * 0.12, base_y - height * 0.03)]
    right += cubic((cx + w * 0.12, base_y - height * 0.03), (cx + w * 0.95, base_y - height * 0.04),
                   (cx + w * 1.02, base_y - height * 0.2), (cx + w, base_y - height * 0.36), 12)
    right += cubic((cx + w, base_y - height * 0.36), (cx + w * 0.95, base_y - height * 0.62),
                   (cx + w * 0.45, base_y - height * 0.86), (cx, base_y - height), 14)
    return mirror_x(right, cx)


def cypress(img, cx, base_y, height, rng):
    outline = cypress_outline(cx, base_y, height)
    w = height * CYPRESS_HALF_WIDTH
    # soft shadow falling to the right on the grass
    sh = Shape(cx - w, base_y - w, cx + height * 0.9, base_y + w * 0.6)
    sh.poly([(cx - w * 0.6, base_y), (cx + w * 0.6, base_y - w * 0.2),
             (cx + height * 0.8, base_y + w * 0.25), (cx + height * 0.7, base_y + w * 0.45)])
    sh.soften(max(0.3, w * 0.25))
    paint(img, sh, (20, 40, 20), 0.45)
    tree = shape_of(outline)
    paint(img, tree, hgrad([(0, CYPRESS_LIT), (0.3, CYPRESS), (0.7, CYPRESS_DARK), (1, CYPRESS_DARK)], cx - w, cx + w))
    # foliage: upward-streaked texture, brighter tufts on the sunward edge
    tex = noise_image(tree.mask.size, rng.randrange(1 << 30), (max(2, w * S * 0.22), max(3, w * S * 0.6)), 60)
    tex = ImageChops.add(tex, noise_image(tree.mask.size, rng.randrange(1 << 30), max(2, w * S * 0.12), 30), 1.0, -128)
    dark = tree.blank()
    dark.mask = ImageChops.multiply(tex.point(lambda v: min(255, max(0, 128 - v) * 3)), tree.mask)
    paint(img, dark, (6, 20, 14), 0.8)
    lit = tree.blank()
    edge = Image.new("L", tree.mask.size, 0)
    edge.paste(hgrad([(0, (255, 255, 255)), (0.45, (60, 60, 60)), (0.7, (0, 0, 0)), (1, (0, 0, 0))],
                     cx - w, cx + w)(tree.box).convert("L"))
    lit.mask = ImageChops.multiply(ImageChops.multiply(tex.point(lambda v: min(255, max(0, v - 128) * 3)), tree.mask), edge)
    paint(img, lit, mix(CYPRESS_LIT, (196, 176, 110), 0.4), 0.8)


def draw_cypress_rows(img, rng):
    """Rows of cypresses along the pool paths and the outer lawns."""
    trees = []
    depth_near, depth_far = 0.15, 0.98        # distance as a fraction of the plinth's
    rows = ((2.1, 1.6, 0.9), (-2.1, 1.6, 0.9), (5.1, 2.1, depth_far), (-5.1, 2.1, depth_far))
    for unit, tree_h, far in rows:
        z = far
        while z >= depth_near:
            y = HORIZON_Y + (GROUND_Y - HORIZON_Y) / z
            trees.append((z, garden_x(unit, y), y, tree_h * GARDEN_SCALE * (y - HORIZON_Y)))
            z -= 0.085
    for z, x, y, height in sorted(trees, key=lambda t: -t[0]):
        if y < MENU_SIZE[1] + 40 and -40 < x < MENU_SIZE[0] + 40:
            cypress(img, x, y, height * rng.uniform(0.94, 1.04), rng)


def draw_atmosphere(img):
    """A little haze at the horizon and a gentle vignette on the visible area."""
    w, h = img.size
    haze = Shape(0, 180, w / S, 275).rect((0, 180, w / S, 275))
    haze.soften(18)
    paint(img, haze, (250, 214, 190), 0.16)
    vx, vy = VISIBLE
    lum = Image.new("L", img.size, 255)
    g = radial_unit().resize((round(vx * 1.25 * S), round(vy * 1.3 * S)), Resampling.BILINEAR)
    lum.paste(g, (round((vx / 2 - vx * 0.625) * S), round((vy / 2 - vy * 0.65) * S)))
    weight = lum.point(lambda v: round(120 * max(0.0, (v / 255 - 0.55) / 0.45) ** 2))
    img.paste(Image.composite(Image.new("RGB", img.size, (24, 16, 30)), img, weight))


# --- title -----------------------------------------------------------------

# Block capitals on a 100-unit-high grid: (advance width, [(kind, points, value)]).
# "p" is a polygon, "e" an ellipse box; value 0 cuts a counter out.
STROKE = 25
LETTERS = {
    "T": (72, [("p", [(0, 0), (72, 0), (72, 23), (48.5, 23), (48.5, 100), (23.5, 100), (23.5, 23), (0, 23)], 255)]),
    "A": (84, [("p", [(29, 0), (55, 0), (84, 100), (58, 100), (53, 81), (31, 81), (26, 100), (0, 100)], 255),
               ("p", [(42, 26), (48.5, 60), (35.5, 60)], 0)]),
    "R": (74, [("p", [(0, 0), (42, 0), (42, 62), (0, 62)], 255),
               ("e", (12, 0, 74, 62), 255),
               ("p", [(25, 21), (43, 21), (43, 42), (25, 42)], 0),
               ("e", (32, 21, 53, 42), 0),
               ("p", [(0, 0), (25, 0), (25, 100), (0, 100)], 255),
               ("p", [(30, 54), (55, 54), (76, 100), (49, 100)], 255)]),
    "V": (84, [("p", [(0, 0), (26, 0), (42, 70), (58, 0), (84, 0), (55, 100), (29, 100)], 255)]),
    "O": (90, [("e", (0, 0, 90, 100), 255), ("e", (25, 23, 65, 77), 0)]),
    "N": (78, [("p", [(0, 0), (25, 0), (25, 100), (0, 100)], 255),
               ("p", [(53, 0), (78, 0), (78, 100), (53, 100)], 255),
               ("p", [(0, 0), (26, 0), (78, 100), (52, 100)], 255)]),
    "I": (25, [("p", [(0, 0), (25, 0), (25, 100), (0, 100)], 255)]),
    "X": (84, [("p", [(0, 0), (27, 0), (84, 100), (57, 100)], 255),
               ("p", [(57, 0), (84, 0), (27, 100), (0, 100)], 255)]),
}
LETTER_GAP = 9


def title_mask(size, text, centre, width):
    """Antialiased mask of the title lettering, fitted to the given width."""
    total = sum(LETTERS[c][0] for c in text) + LETTER_GAP * (len(text) - 1)
    k = width / total
    x = centre[0] - width / 2
    top = centre[1] - 50 * k
    mask = Image.new("L", size, 0)
    d = ImageDraw.Draw(mask)
    for c in text:
        adv, parts = LETTERS[c]
        for kind, pts, value in parts:
            if kind == "p":
                d.polygon([((x + px * k) * S, (top + py * k) * S) for px, py in pts], fill=value)
            else:
                x0, y0, x1, y1 = pts
                d.ellipse(((x + x0 * k) * S, (top + y0 * k) * S, (x + x1 * k) * S - 1, (top + y1 * k) * S - 1), fill=value)
        x += (adv + LETTER_GAP) * k
    return mask, top, top + 100 * k


def grow(mask, radius):
    """Roughly dilates a mask by radius pixels (blur then threshold)."""
    soft = mask.filter(ImageFilter.GaussianBlur(radius * 0.6))
    return soft.point(lambda v: 0 if v < 12 else min(255, (v - 12) * 6))


def draw_title(img):
    mask, top, bottom = title_mask(img.size, TITLE, TITLE_CENTRE, TITLE_WIDTH)
    box = (round((TITLE_CENTRE[0] - TITLE_WIDTH / 2 - 20) * S), round((top - 20) * S),
           round((TITLE_CENTRE[0] + TITLE_WIDTH / 2 + 24) * S), round((bottom + 24) * S))
    local = mask.crop(box)
    region = img.crop(box)
    # soft drop shadow, then a dark outline, then the gold-yellow face
    shadow = ImageChops.offset(grow(local, 3.2 * S), round(3 * S), round(3.5 * S))
    shadow = shadow.filter(ImageFilter.GaussianBlur(2.5 * S)).point(lambda v: round(v * 0.75))
    region = Image.composite(Image.new("RGB", region.size, (10, 6, 12)), region, shadow)
    outline = grow(local, 3.0 * S)
    region = Image.composite(Image.new("RGB", region.size, TITLE_OUTLINE), region, outline)
    fill = vgrad([(0, TITLE_TOP), (0.42, TITLE_MID), (0.58, TITLE_MID), (1, TITLE_BOTTOM)], top, bottom)(box)
    region = Image.composite(fill, region, local)
    # a bevel: light along the upper-left of each stroke, shade lower-right
    up = ImageChops.subtract(local, ImageChops.offset(local, round(1.1 * S), round(1.3 * S)))
    up = up.filter(ImageFilter.GaussianBlur(0.5 * S)).point(lambda v: round(v * 0.8))
    region = Image.composite(Image.new("RGB", region.size, (255, 252, 214)), region, ImageChops.multiply(up, local))
    down = ImageChops.subtract(local, ImageChops.offset(local, -round(1.1 * S), -round(1.3 * S)))
    down = down.filter(ImageFilter.GaussianBlur(0.5 * S)).point(lambda v: round(v * 0.6))
    region = Image.composite(Image.new("RGB", region.size, (176, 96, 6)), region, ImageChops.multiply(down, local))
    img.paste(region, box[:2])


def draw_menu(path, path2x):
    """The painting at its design size and at twice that, for screens scaled 2x."""
    rng = random.Random(20240611)
    w, h = MENU_SIZE
    img = Image.new("RGB", (w * S, h * S))
    draw_sky(img, rng)
    draw_far_trees(img, rng)
    before = img.copy()
    draw_building(img)
    # marble grain wherever the building was painted
    changed = ImageChops.difference(before, img).convert("L").point(lambda v: 255 if v > 0 else 0)
    add_marble_texture(img, changed.filter(ImageFilter.MinFilter(3)))
    draw_side_trees(img, rng)
    backdrop = img.copy()
    draw_ground(img)
    draw_reflection(img, backdrop)
    draw_cypress_rows(img, rng)
    draw_atmosphere(img)
    draw_title(img)

    for scale, out in ((1, path), (2, path2x)):
        w, h = MENU_SIZE
        small = img.resize((w * scale, h * scale), Resampling.LANCZOS)
        # choose the 256 colours, then map onto them with error diffusion so the
        # sky's long gradients don't break into bands
        palette_image = small.quantize(256, method=Image.Quantize.MEDIANCUT)
        indexed = small.quantize(palette=palette_image, dither=Image.Dither.FLOYDSTEINBERG)
        palette = indexed.getpalette()[:768]
        indexed.putpalette(palette + [0] * (768 - len(palette)))
        save_top_down_bmp(indexed, out)


def save_top_down_bmp(indexed, path):
    """Saves an 8-bit palette image as a BMP whose rows run from the top down
    (a negative height) and start on 4-byte boundaries of the file, so that the
    program can draw it straight from its data; the file is a whole number of
    4-byte words long, so the next one in the program's data is aligned too."""
    w, h = indexed.size
    stride = (w + 3) & ~3
    palette = indexed.getpalette()[:768]
    colours = b"".join(bytes((palette[i + 2], palette[i + 1], palette[i], 0)) for i in range(0, 768, 3))
    pixels = indexed.tobytes()
    rows = b"".join(pixels[y * w:(y + 1) * w] + bytes(stride - w) for y in range(h))
    headers = 14 + 40 + len(colours)
    offset = (headers + 3) & ~3
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 40, w, -h, 1, 8, 0, len(rows), 3780, 3780, 256, 256))
        f.write(colours + bytes(offset - headers) + rows)


def save_top_down_bgra_bmp(img, path):
    """Saves an RGBA image as a 32-bit BMP with an alpha channel (a version 4
    header, masks for blue, green, red and alpha in the bytes of each pixel in
    that order) whose rows run from the top down, with the pixels starting on a
    4-byte boundary of the file: the layout of the toolkit's own 32-bit ARGB
    pictures on a little-endian machine, so the program draws it from its data."""
    w, h = img.size
    pixels = img.convert("RGBA").tobytes("raw", "BGRA")
    headers = 14 + 108
    offset = (headers + 3) & ~3
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 108, w, -h, 1, 32, 3, len(pixels), 3780, 3780, 0, 0))
        f.write(struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000))
        f.write(b"BGRs" + bytes(36 + 12))   # sRGB: no end points or gamma
        f.write(bytes(offset - headers) + pixels)


# ---------------------------------------------------------------------------
# Icons (32x32, hand-placed pixels)
# ---------------------------------------------------------------------------

ICON = 32

FLAG_OUTLINE = (28, 28, 40)
FLAG_SHADOW = (0, 0, 0, 90)
FLAG_RED = (222, 52, 40)
FLAG_RED_LIGHT = (246, 104, 80)
FLAG_WHITE = (250, 250, 246)
FLAG_WHITE_SHADE = (220, 222, 226)
FLAG_GREEN = (24, 140, 56)
FLAG_GREEN_DARK = (16, 104, 44)
WHEEL_BLUE = (24, 40, 150)
WHEEL_SPOKE = (92, 108, 196)

# The wheel as hand-placed pixels for the small sizes, where a drawn circle
# would blur: '#' rim, hub and upright spokes; '+' the diagonal spokes, drawn a
# lighter blue so that the spokes stay apart.  From 48 pixels up the wheel is
# drawn as a circle with eight spokes.
WHEEL_PIXELS = {
    16: [
        "+#+",
        "###",
        "+#+",
    ],
    24: [
        ".###.",
        "#+#+#",
        "#####",
        "#+#+#",
        ".###.",
    ],
    32: [
        "..#####..",
        ".#..#..#.",
        "#.+.#.+.#",
        "#..+#+..#",
        "#########",
        "#..+#+..#",
        "#.+.#.+.#",
        ".#..#..#.",
        "..#####..",
    ],
}
# The wheel in icon units (the 32-pixel grid): outer radius, rim, spoke and hub.
WHEEL_RADIUS = 4.5
WHEEL_RIM = 1.0
WHEEL_SPOKE_WIDTH = 0.8
WHEEL_HUB = 0.9
# Red, white and green bands share the flag's inside in these proportions.
BAND_UNITS = (9, 11, 9)
# Sizes of the icon theme, besides the design's own 32x32 window icon.
THEME_ICON_SIZES = (16, 24, 48, 64, 128, 256)


def whole(v):
    """Rounds half up, as pixel edges are placed."""
    return int(math.floor(v + 0.5))


def flag_layout(size):
    """Pixel edges of the flag at `size`: every band, outline and shadow edge
    falls on a whole pixel, so the icon is sharp at each size.  At 32 pixels
    this is the design's icon; bigger sizes thicken the outline and shadow
    more slowly than they grow, so these stay fine lines."""
    k = size / ICON
    line = max(1, whole(k if k <= 2 else 2 + (k - 2) / 4))
    flag = size - line                       # outer edge of the flag; shadow beyond
    inside = flag - 2 * line
    red = whole(inside * BAND_UNITS[0] / sum(BAND_UNITS))
    white = inside - 2 * red
    top = line
    return {
        "k": k, "line": line, "flag": flag,
        "bands": ((top, top + red, FLAG_RED), (top + red, top + red + white, FLAG_WHITE),
                  (top + red + white, flag - line, FLAG_GREEN)),
    }


def flag_icon(size):
    """The tricolour flag at `size` pixels, as an RGBA image."""
    lay = flag_layout(size)
    line, flag = lay["line"], lay["flag"]
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    def rect(x0, y0, x1, y1, colour):        # [x0, x1) x [y0, y1)
        if x1 > x0 and y1 > y0:
            d.rectangle((x0, y0, x1 - 1, y1 - 1), fill=colour)

    # drop shadow along the right and bottom edges
    rect(flag, line, size, size, FLAG_SHADOW)
    rect(line, flag, flag, size, FLAG_SHADOW)
    rect(0, 0, flag, flag, FLAG_OUTLINE + (255,))
    for top, bottom, colour in lay["bands"]:
        rect(line, top, flag - line, bottom, colour + (255,))
    # a touch of shading: lit top of the red, shaded foot of the white and green
    (r0, _, _), (_, w1, _), (_, g1, _) = lay["bands"]
    rect(line, r0, flag - line, r0 + line, FLAG_RED_LIGHT + (255,))
    rect(line, w1 - line, flag - line, w1, FLAG_WHITE_SHADE + (255,))
    rect(line, g1 - line, flag - line, g1, FLAG_GREEN_DARK + (255,))

    if size in WHEEL_PIXELS:
        rows = WHEEL_PIXELS[size]
        x0 = whole(flag / 2 - len(rows) / 2)
        px = img.load()
        for r, row in enumerate(rows):
            for c, ch in enumerate(row):
                if ch == "#":
                    px[x0 + c, x0 + r] = WHEEL_BLUE + (255,)
                elif ch == "+":
                    px[x0 + c, x0 + r] = WHEEL_SPOKE + (255,)
    else:
        img.alpha_composite(drawn_wheel(size, flag / 2, lay["k"]))
    return img


def drawn_wheel(size, centre, k):
    """The wheel drawn at 8x and reduced, for the sizes that have room for it."""
    f = 8
    mask = Image.new("L", (size * f, size * f), 0)
    d = ImageDraw.Draw(mask)
    c = centre * f
    outer = WHEEL_RADIUS * k * f
    inner = (WHEEL_RADIUS - WHEEL_RIM) * k * f
    d.ellipse((c - outer, c - outer, c + outer, c + outer), fill=255)
    d.ellipse((c - inner, c - inner, c + inner, c + inner), fill=0)
    for step in range(8):
        a = math.radians(45 * step)
        d.line([(c, c), (c + math.cos(a) * inner, c + math.sin(a) * inner)],
               fill=255, width=max(1, round(WHEEL_SPOKE_WIDTH * k * f)))
    hub = WHEEL_HUB * k * f
    d.ellipse((c - hub, c - hub, c + hub, c + hub), fill=255)
    wheel = Image.new("RGBA", mask.size, WHEEL_BLUE + (255,))
    wheel.putalpha(mask)
    return wheel.resize((size, size), Resampling.BOX)


def save_palette_png(img, path, colours):
    """Saves an RGBA image whose pixels all come from `colours` (RGBA) as an
    indexed PNG, with per-entry alpha written to the tRNS chunk."""
    index = {c: i for i, c in enumerate(colours)}
    out = Image.new("P", img.size)
    out.putdata([index[p] for p in img.getdata()])
    flat = []
    for c in colours:
        flat += c[:3]
    out.putpalette(flat)
    alpha = bytes(c[3] for c in colours)
    if all(a == 255 for a in alpha):
        out.save(path, "PNG", optimize=False, bits=4 if len(colours) <= 16 else 8)
    else:
        out.save(path, "PNG", transparency=alpha, optimize=False, bits=4 if len(colours) <= 16 else 8)


def save_icon(img, path):
    """Few colours (the hand-placed sizes) are kept as an indexed PNG like the
    design's icon; the drawn sizes, with their smooth wheel, as RGBA."""
    colours = sorted(set(img.getdata()), key=lambda c: (c[3], c))
    if len(colours) <= 256:
        save_palette_png(img, path, colours)
    else:
        img.save(path, "PNG", optimize=False)


def flag_svg(size=256):
    """The scalable icon: the flag as laid out for the largest theme size, so
    that it draws the same picture wherever a desktop scales it further."""
    lay = flag_layout(size)
    line, flag, k = lay["line"], lay["flag"], lay["k"]

    def hexc(c):
        return "#%02x%02x%02x" % c[:3]

    def rect(x0, y0, x1, y1, colour, extra=""):
        return (f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" '
                f'fill="{hexc(colour)}"{extra}/>')

    shadow = f' fill-opacity="{FLAG_SHADOW[3] / 255:.3f}"'
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" viewBox="0 0 {size} {size}">',
           '  <title>TARVONIX</title>',
           rect(flag, line, size, size, FLAG_SHADOW, shadow),
           rect(line, flag, flag, size, FLAG_SHADOW, shadow),
           rect(0, 0, flag, flag, FLAG_OUTLINE)]
    for top, bottom, colour in lay["bands"]:
        out.append(rect(line, top, flag - line, bottom, colour))
    (r0, _, _), (_, w1, _), (_, g1, _) = lay["bands"]
    out.append(rect(line, r0, flag - line, r0 + line, FLAG_RED_LIGHT))
    out.append(rect(line, w1 - line, flag - line, w1, FLAG_WHITE_SHADE))
    out.append(rect(line, g1 - line, flag - line, g1, FLAG_GREEN_DARK))
    c = flag / 2
    blue = hexc(WHEEL_BLUE)
    rim = (WHEEL_RADIUS - WHEEL_RIM / 2) * k
    out.append(f'  <circle cx="{c}" cy="{c}" r="{rim:g}" fill="none" stroke="{blue}" '
               f'stroke-width="{WHEEL_RIM * k:g}"/>')
    inner = (WHEEL_RADIUS - WHEEL_RIM) * k
    spokes = "".join(f"M{c} {c}L{c + math.cos(math.radians(45 * n)) * inner:.3f} "
                     f"{c + math.sin(math.radians(45 * n)) * inner:.3f}" for n in range(8))
    out.append(f'  <path d="{spokes}" stroke="{blue}" stroke-width="{WHEEL_SPOKE_WIDTH * k:g}"/>')
    out.append(f'  <circle cx="{c}" cy="{c}" r="{WHEEL_HUB * k:g}" fill="{blue}"/>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def draw_icon(path, path2x, theme_dir):
    """The tricolour flag: red, white with a blue wheel, green.  The design's
    32x32 window icon and its 2x rendering, each as a PNG for desktops and as a
    BMP beside it for the program, and the icon theme's sizes."""
    for size, png in ((ICON, path), (2 * ICON, path2x)):
        icon = flag_icon(size)
        save_icon(icon, png)
        save_top_down_bgra_bmp(icon, png[:-len(".png")] + ".bmp")
    os.makedirs(theme_dir, exist_ok=True)
    for size in THEME_ICON_SIZES:
        if size != 2 * ICON:                 # the 64-pixel theme icon is the 2x rendering
            save_icon(flag_icon(size), os.path.join(theme_dir, f"tarvonix-{size}.png"))
    with open(os.path.join(theme_dir, "tarvonix.svg"), "w", encoding="ascii") as svg:
        svg.write(flag_svg())


FACE_OUTLINE = (24, 18, 8)
FACE_YELLOW = (255, 212, 36)
FACE_YELLOW_LIGHT = (255, 236, 120)
FACE_YELLOW_SHADE = (232, 164, 16)
FACE_GLINT = (255, 252, 220)
TONGUE = (226, 54, 58)
TONGUE_DARK = (160, 24, 36)
FROWN_CY, FROWN_RX, FROWN_RY = 28.0, 6.6, 6.0      # ellipse the frown follows
FROWN_FROM, FROWN_TO, FROWN_WIDTH = 204, 336, 2.2  # degrees; stroke in px
FACE_SUPER = 16                 # supersampling factor used for the faces

# The faces' palette; every pixel is snapped to one of these (RGBA).
FACE_PALETTE = [
    (0, 0, 0, 0),
    FACE_OUTLINE + (255,),
    FACE_OUTLINE + (150,),
    FACE_OUTLINE + (70,),
    (110, 82, 16, 255),
    (180, 132, 20, 255),
    FACE_YELLOW_SHADE + (255,),
    FACE_YELLOW + (255,),
    FACE_YELLOW_LIGHT + (255,),
    FACE_GLINT + (255,),
    TONGUE + (255,),
    TONGUE_DARK + (255,),
    (66, 50, 14, 255),
]


def draw_face(path, path2x, happy):
    """A round yellow face; `happy` picks the open smile or the frown.  Drawn
    once, supersampled, then reduced to 32x32 and to 64x64 for 2x screens."""
    n = ICON * FACE_SUPER
    f = FACE_SUPER

    def box(x0, y0, x1, y1):
        return (x0 * f, y0 * f, x1 * f - 1, y1 * f - 1)

    colour = Image.new("RGB", (n, n), FACE_YELLOW)
    cov = Image.new("L", (n, n), 0)
    ImageDraw.Draw(cov).ellipse(box(0.3, 0.3, 31.7, 31.7), fill=255)
    # shading: light from the upper left, darker towards the lower right
    lum = Image.new("L", (n, n), 255)
    g = radial_unit().resize((round(44 * f), round(44 * f)), Resampling.BILINEAR)
    lum.paste(g, (round(-8 * f), round(-8 * f)))
    colour = colorize(lum, [(0, FACE_YELLOW_LIGHT), (0.42, FACE_YELLOW_LIGHT), (0.56, FACE_YELLOW),
                            (0.8, FACE_YELLOW), (0.92, FACE_YELLOW_SHADE), (1, FACE_YELLOW_SHADE)])
    d = ImageDraw.Draw(colour)
    d.ellipse(box(6.2, 4.6, 11.0, 8.4), fill=FACE_GLINT)
    # outline ring
    ring = Image.new("L", (n, n), 0)
    rd = ImageDraw.Draw(ring)
    rd.ellipse(box(0.3, 0.3, 31.7, 31.7), fill=255)
    rd.ellipse(box(2.0, 2.0, 30.0, 30.0), fill=0)
    colour.paste(FACE_OUTLINE, (0, 0), ring)
    # eyes
    d.ellipse(box(9.4, 8.2, 13.2, 15.0), fill=FACE_OUTLINE)
    d.ellipse(box(18.8, 8.2, 22.6, 15.0), fill=FACE_OUTLINE)
    if happy:
        # wide open smile: a flat-ish top lip and a deep round bottom
        mouth = Image.new("L", (n, n), 0)
        md = ImageDraw.Draw(mouth)
        md.chord(box(6.6, 9.6, 25.4, 27.6), 0, 180, fill=255)
        md.chord(box(7.0, 14.8, 25.0, 20.8), 180, 360, fill=0)
        colour.paste(FACE_OUTLINE, (0, 0), mouth)
        tongue = Image.new("L", (n, n), 0)
        td = ImageDraw.Draw(tongue)
        td.ellipse(box(10.6, 20.6, 21.4, 29.0), fill=255)
        tongue = ImageChops.multiply(tongue, mouth.filter(ImageFilter.MinFilter(2 * f + 1)))
        colour.paste(TONGUE, (0, 0), tongue)
        crease = Image.new("L", (n, n), 0)
        ImageDraw.Draw(crease).line([(16 * f, 22.4 * f), (16 * f, 24.8 * f)], fill=255, width=f)
        colour.paste(TONGUE_DARK, (0, 0), ImageChops.multiply(crease, tongue))
    else:
        # a downturned arc with rounded ends
        arc = [(16 + FROWN_RX * math.cos(math.radians(a)), FROWN_CY + FROWN_RY * math.sin(math.radians(a)))
               for a in range(FROWN_FROM, FROWN_TO + 1, 4)]
        fd = ImageDraw.Draw(colour)
        fd.line([(x * f, y * f) for x, y in arc], fill=FACE_OUTLINE, width=round(FROWN_WIDTH * f), joint="curve")
        r = FROWN_WIDTH / 2
        for x, y in (arc[0], arc[-1]):
            fd.ellipse(((x - r) * f, (y - r) * f, (x + r) * f - 1, (y + r) * f - 1), fill=FACE_OUTLINE)

    rgba = colour.convert("RGBA")
    rgba.putalpha(cov)
    for scale, out in ((1, path), (2, path2x)):
        small = rgba.resize((ICON * scale, ICON * scale), Resampling.BOX)
        snapped = Image.new("RGBA", small.size)
        snapped.putdata([nearest(p, FACE_PALETTE) for p in small.getdata()])
        used = [c for c in FACE_PALETTE if c in set(snapped.getdata())]
        save_palette_png(snapped, out, used)


def nearest(p, palette):
    """The palette entry closest to pixel p, weighing colour by opacity."""
    r, g, b, a = p
    best, best_d = None, None
    for c in palette:
        d = 4 * (a - c[3]) ** 2
        if c[3] > 0:
            d += ((r - c[0]) ** 2 + (g - c[1]) ** 2 + (b - c[2]) ** 2) * a / 255
        if best_d is None or d < best_d:
            best, best_d = c, d
    return best


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else here
    theme = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "..", "packaging", "icons")
    os.makedirs(out, exist_ok=True)
    draw_icon(os.path.join(out, "tarvonix.png"), os.path.join(out, "tarvonix@2x.png"), theme)
    draw_face(os.path.join(out, "face-right.png"), os.path.join(out, "face-right@2x.png"), happy=True)
    draw_face(os.path.join(out, "face-wrong.png"), os.path.join(out, "face-wrong@2x.png"), happy=False)
    draw_menu(os.path.join(out, "menu.bmp"), os.path.join(out, "menu@2x.bmp"))


if __name__ == "__main__":
    main()
