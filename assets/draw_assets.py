#!/usr/bin/env python3
"""Draws the pictures used by Quorrel - setup.

Run from the project root:  python3 assets/draw_assets.py

Writes into assets/:
  icon-N.png        N x N     application and window icon, N = 16, 32, 48,
                              64, 128, 256
  icon.svg                    the same icon, scalable
  figure.jpg        64 x 120  player figure, rifle across the body
  figure_small.png  52 x 100  main window picture, rifle at the side
  logo.jpg          64 x 38   Zelvik Soft logo
  installer-side.bmp 164 x 314 the Windows installer's welcome and finish
                              pages' side picture: the icon over the figure
  NAME@2x.EXT, NAME@3x.EXT    each picture drawn at 2 and 3 times the size
                              for screens of that pixel density; the icon's
                              are icon-96, -144 and -192 beside the sizes above
                              (assets.qrc gives them their @Nx names)

Shapes are drawn with plain PIL at 8x the final size and box-filtered
down, so edges come out anti-aliased but stay sharp; the logo lettering
is set pixel by pixel, each design pixel a k x k block at density k. The
icon's shapes also go to SVG unchanged.
Nothing here is random: the output is the same on every run.
"""

import math
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 8  # supersampling factor

BLACK = (0, 0, 0)
ORANGE = (255, 138, 31)
ORANGE_DARK = (190, 86, 12)


class Pen:
    """Draws in design units; maps them onto a supersampled canvas.

    (x, y) in design units lands at ((x * scale + ox) * SS, (y * scale + oy) * SS).
    """

    def __init__(self, w, h, scale=1.0, ox=0.0, oy=0.0, mode="RGB", bg=BLACK):
        self.w, self.h = w, h
        self.scale, self.ox, self.oy = scale, ox, oy
        self.img = Image.new(mode, (w * SS, h * SS), bg)
        self.d = ImageDraw.Draw(self.img)

    def pt(self, x, y):
        return ((x * self.scale + self.ox) * SS, (y * self.scale + self.oy) * SS)

    def pts(self, points):
        return [self.pt(x, y) for x, y in points]

    def len(self, v):
        return v * self.scale * SS

    def poly(self, points, fill):
        self.d.polygon(self.pts(points), fill=fill)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=0):
        self.d.ellipse(self.pts([(x0, y0), (x1, y1)]), fill=fill,
                       outline=outline, width=int(round(self.len(width))))

    def rect(self, x0, y0, x1, y1, fill):
        self.d.rectangle(self.pts([(x0, y0), (x1, y1)]), fill=fill)

    def rrect(self, x0, y0, x1, y1, r, fill):
        self.d.rounded_rectangle(self.pts([(x0, y0), (x1, y1)]),
                                 radius=self.len(r), fill=fill)

    def line(self, points, fill, width):
        self.d.line(self.pts(points), fill=fill, width=max(1, int(round(self.len(width)))))

    def circle(self, x, y, r, fill):
        self.ellipse(x - r, y - r, x + r, y + r, fill=fill)

    def capsule(self, p1, w1, p2, w2, fill):
        """Tapered limb: round end of width w1 at p1, w2 at p2."""
        (x1, y1), (x2, y2) = p1, p2
        dx, dy = x2 - x1, y2 - y1
        n = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / n, dx / n
        self.poly([(x1 + nx * w1 / 2, y1 + ny * w1 / 2),
                   (x2 + nx * w2 / 2, y2 + ny * w2 / 2),
                   (x2 - nx * w2 / 2, y2 - ny * w2 / 2),
                   (x1 - nx * w1 / 2, y1 - ny * w1 / 2)], fill)
        self.circle(x1, y1, w1 / 2, fill)
        self.circle(x2, y2, w2 / 2, fill)

    def limb(self, p1, w1, p2, w2, pal):
        """Capsule shaded with light from the upper left. pal = (hi, base, shadow)."""
        hi, base, sh = pal
        (x1, y1), (x2, y2) = p1, p2
        dx, dy = x2 - x1, y2 - y1
        n = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / n, dx / n
        if nx * -1 + ny * -1 < 0:  # make the normal point towards the light
            nx, ny = -nx, -ny

        def shifted(k, f):
            return ((x1 + nx * w1 * k, y1 + ny * w1 * k), w1 * f,
                    (x2 + nx * w2 * k, y2 + ny * w2 * k), w2 * f)

        self.capsule(p1, w1, p2, w2, sh)
        a, b, c, e = shifted(0.12, 0.72)
        self.capsule(a, b, c, e, base)
        a, b, c, e = shifted(0.30, 0.18)
        self.capsule(a, b, c, e, hi)

    def done(self):
        return self.img.reduce(SS)


# ---------------------------------------------------------------------------
# Player figure.  Designed on a 64 x 120 grid, light from the upper left.

ARMOR = ((134, 152, 88), (88, 104, 56), (50, 60, 32))
ARMOR_DEEP = (32, 38, 20)
SUIT = ((96, 92, 84), (64, 62, 58), (36, 35, 33))
GLOVE = ((84, 76, 66), (48, 43, 38), (24, 22, 20))
BOOT = ((82, 78, 72), (46, 44, 42), (22, 21, 20))
GUN = ((150, 158, 168), (84, 90, 99), (44, 47, 53))
GUN_DARK = (24, 26, 30)
VISOR = (18, 52, 64)
VISOR_GLOW = (70, 224, 255)
VISOR_SPEC = (215, 252, 255)


def _gun_frame(butt, muzzle):
    """Returns a mapper from gun-local (t along, s across) to design coords."""
    bx, by = butt
    mx, my = muzzle
    length = math.hypot(mx - bx, my - by)
    ux, uy = (mx - bx) / length, (my - by) / length
    nx, ny = uy, -ux  # perpendicular, points towards the top side of the gun
    if ny > 0:
        nx, ny = -nx, -ny

    def at(t, s):
        return (bx + ux * t + nx * s, by + uy * t + ny * s)

    def quad(t0, t1, s0, s1):
        return [at(t0, s0), at(t1, s0), at(t1, s1), at(t0, s1)]

    return at, quad, length


def draw_gun(p, butt, muzzle):
    at, quad, L = _gun_frame(butt, muzzle)
    hi, base, sh = GUN
    # stock
    p.poly([at(0, -3.8), at(0, 2.8), at(12, 2.4), at(12, -1.6)], sh)
    p.poly([at(0.8, 1.0), at(11.5, 1.0), at(11.5, 2.4), at(0.8, 2.8)], base)
    p.poly([at(0, -3.8), at(1.2, -3.8), at(1.2, 2.8), at(0, 2.8)], GUN_DARK)
    # pistol grip and curved magazine hang below the receiver
    p.poly([at(13, -2), at(16.5, -2), at(15.2, -8), at(12, -7.6)], GUN_DARK)
    p.poly([at(19, -2), at(25, -2), at(26.6, -11), at(21.2, -11.6)], sh)
    p.poly([at(19.4, -2), at(21.2, -2), at(22.4, -11.2), at(21.3, -11.4)], base)
    # receiver
    p.poly(quad(11, 32, -3.0, 3.0), base)
    p.poly(quad(11, 32, -3.0, -1.0), sh)
    p.poly(quad(11, 32, 1.8, 3.0), hi)
    p.poly(quad(16, 19, -0.6, 1.0), GUN_DARK)  # ejection port
    # sight rail with an orange dot
    p.poly(quad(19, 29, 2.8, 4.8), GUN_DARK)
    p.poly(quad(25, 27.4, 3.2, 4.4), ORANGE)
    # handguard with cooling slots
    p.poly(quad(32, L - 10, -2.6, 2.6), sh)
    p.poly(quad(32, L - 10, -0.4, 2.6), base)
    p.poly(quad(32, L - 10, 1.6, 2.6), hi)
    for t in range(34, int(L - 11), 3):
        p.poly(quad(t, t + 1.1, -1.6, 1.0), GUN_DARK)
    # barrel and muzzle
    p.poly(quad(L - 10, L - 2, -1.1, 1.1), sh)
    p.poly(quad(L - 10, L - 2, 0.1, 1.1), hi)
    p.poly(quad(L - 3, L, -1.7, 1.7), GUN_DARK)
    return at



def draw_glove(p, h):
    """A gloved hand, lit from the upper left."""
    p.circle(h[0], h[1], 3.0, GLOVE[2])
    p.circle(h[0] - 0.5, h[1] - 0.5, 2.3, GLOVE[1])
    p.circle(h[0] - 1.2, h[1] - 1.2, 0.9, GLOVE[0])

def draw_figure(p, pose="port"):
    """Armoured soldier facing the viewer.

    pose "port":  rifle held diagonally across the body, muzzle up-left.
    pose "rest":  rifle held upright along the right side, muzzle up.
    """
    a_hi, a_base, a_sh = ARMOR

    # legs: undersuit, thigh plates, knee pads, boots
    for side in (-1, 1):
        hip = (32 + side * 5.2, 62)
        knee = (32 + side * 7.0, 84)
        ankle = (32 + side * 8.4, 104)
        p.limb(hip, 10, knee, 8, SUIT)
        p.limb(knee, 8, ankle, 6.5, SUIT)
        # thigh plate
        p.poly([(hip[0] - 4.2, 63), (hip[0] + 4.2, 63),
                (knee[0] + 3.4, 78), (knee[0] - 3.4, 78)], a_base)
        p.poly([(hip[0] - 4.2, 63), (hip[0] - 1.5, 63),
                (knee[0] - 1.4, 78), (knee[0] - 3.4, 78)], a_hi)
        p.poly([(hip[0] + 2.2, 63), (hip[0] + 4.2, 63),
                (knee[0] + 3.4, 78), (knee[0] + 2.0, 78)], a_sh)
        # knee pad
        p.rrect(knee[0] - 4, 80, knee[0] + 4, 88, 2.2, a_sh)
        p.rrect(knee[0] - 4, 80, knee[0] + 2.6, 86.6, 2.0, a_base)
        p.rrect(knee[0] - 3.2, 80.8, knee[0] - 1, 84, 1.0, a_hi)
        # boot
        bx = ankle[0]
        p.poly([(bx - 4.2, 100), (bx + 4.2, 100), (bx + 5.4, 111),
                (bx + 5.0, 114), (bx - 5.0, 114), (bx - 5.4, 111)], BOOT[2])
        p.poly([(bx - 4.2, 100), (bx + 2.0, 100), (bx + 3.0, 111),
                (bx - 5.0, 111)], BOOT[1])
        p.poly([(bx - 3.8, 101), (bx - 2.2, 101), (bx - 2.6, 108),
                (bx - 4.2, 108)], BOOT[0])
        p.rect(bx - 5.4, 112.4, bx + 5.4, 114, (14, 14, 14))

    # belt and groin plate
    p.poly([(27, 60), (37, 60), (35.5, 68), (28.5, 68)], a_sh)
    p.poly([(27.6, 60), (33, 60), (32, 67), (28.8, 67)], a_base)
    p.rect(20.5, 56, 43.5, 61, (58, 48, 36))
    p.rect(20.5, 56, 43.5, 57, (86, 72, 54))
    for x in (22.5, 37.5):  # pouches
        p.rrect(x, 56.5, x + 4, 61.5, 0.8, (72, 60, 44))
    p.rect(30.4, 56.6, 33.6, 60.4, (150, 150, 140))

    # torso
    p.poly([(17, 32), (47, 32), (45, 45), (43, 57), (21, 57), (19, 45)], a_sh)
    p.poly([(17, 32), (42, 32), (40, 45), (38.5, 57), (21, 57), (19, 45)], a_base)
    # chest plate
    p.poly([(21.5, 34), (42.5, 34), (41.5, 46), (32, 51), (22.5, 46)], a_sh)
    p.poly([(21.5, 34), (41.5, 34), (40.5, 45), (32, 49.6), (22.5, 45.5)], a_base)
    p.poly([(22.5, 35), (30.5, 35), (30.5, 47), (23.3, 44.6)], a_hi)
    p.line([(32, 35), (32, 49)], ARMOR_DEEP, 0.7)
    for y in (52.2, 54.8):  # abdominal plates
        p.line([(22.4, y), (41.6, y)], ARMOR_DEEP, 0.7)
    p.poly([(36, 37), (40, 37), (39.6, 39), (35.8, 39)], ORANGE)  # unit marking

    # neck and helmet
    p.rect(28, 25, 36, 33, SUIT[2])
    p.rect(28, 25, 32, 33, SUIT[1])
    p.ellipse(21, 6, 43, 28, fill=a_sh)
    p.ellipse(21, 6, 41, 26.5, fill=a_base)
    p.ellipse(23.5, 7.5, 33, 13.5, fill=a_hi)
    p.ellipse(25, 8.2, 36, 14.2, fill=a_base)
    p.rect(31.2, 6.2, 32.8, 13.5, a_sh)  # crest ridge
    # cheek guards and mouth piece
    p.poly([(22.2, 19), (26.5, 21), (27.5, 28.5), (24.2, 27)], a_sh)
    p.poly([(41.8, 19), (37.5, 21), (36.5, 28.5), (39.8, 27)], ARMOR_DEEP)
    p.poly([(27, 21.5), (37, 21.5), (35.6, 28.6), (28.4, 28.6)], (44, 46, 40))
    p.poly([(27, 21.5), (32, 21.5), (32, 28.6), (28.4, 28.6)], (62, 64, 58))
    for y in (24, 26.2):
        p.line([(29, y), (35, y)], (24, 24, 22), 0.6)
    # visor
    p.poly([(23, 14), (41, 14), (40, 20.8), (24, 20.8)], (10, 20, 24))
    p.poly([(23.8, 14.6), (40.2, 14.6), (39.4, 20), (24.6, 20)], VISOR)
    p.poly([(23.8, 14.6), (40.2, 14.6), (40.0, 15.8), (24.0, 15.8)], VISOR_GLOW)
    p.poly([(25.2, 16.4), (28.2, 16.4), (27.2, 19), (25.6, 19)], (40, 140, 170))
    p.rect(26, 15, 28.5, 15.6, VISOR_SPEC)

    # shoulder pads
    for side in (-1, 1):
        cx = 32 + side * 14
        p.ellipse(cx - 7.5, 28, cx + 7.5, 42, fill=a_sh)
        p.ellipse(cx - 7.5, 28, cx + 6.0, 40.5, fill=a_base)
        p.ellipse(cx - 6.2, 29, cx - 0.5, 34.5, fill=a_hi)
        # orange stripe on each pad
        p.poly([(cx - 6.6, 37), (cx + 6.6, 37), (cx + 5.8, 38.6), (cx - 5.8, 38.6)], ORANGE_DARK)
        p.poly([(cx - 6.6, 37), (cx + 2, 37), (cx + 1.8, 37.8), (cx - 6.4, 37.8)], ORANGE)

    if pose == "port":
        # arms first, rifle over them, gloves last so the hands wrap the rifle
        r_sh, r_el = (45.5, 40), (48.5, 52)
        l_sh, l_el = (18.5, 40), (13.5, 51)
        p.limb(r_sh, 7, r_el, 6, SUIT)
        p.limb(l_sh, 7, l_el, 6, SUIT)
        butt, muzzle = (47, 72), (8, 26)
        at, _, _ = _gun_frame(butt, muzzle)
        grip = at(14.5, -5)
        fore = at(38, 0)
        p.limb(r_el, 6.4, grip, 5.6, ARMOR)
        p.limb(l_el, 6.4, fore, 5.6, ARMOR)
        draw_gun(p, butt, muzzle)
        for h in (grip, fore):
            draw_glove(p, h)
    else:
        # left arm hangs loose, right hand holds the rifle upright at the side
        l_sh, l_el, l_hand = (18.5, 40), (15.5, 52), (16, 62)
        p.limb(l_sh, 7, l_el, 6, SUIT)
        p.limb(l_el, 6.4, l_hand, 5.4, ARMOR)
        r_sh, r_el = (45.5, 40), (49.5, 51)
        butt, muzzle = (50.5, 78), (55.5, 22)
        at, _, _ = _gun_frame(butt, muzzle)
        r_hand = at(14.5, -4.5)
        p.limb(r_sh, 7, r_el, 6, SUIT)
        p.limb(r_el, 6.4, r_hand, 5.4, ARMOR)
        draw_gun(p, butt, muzzle)
        for h in (l_hand, r_hand):
            draw_glove(p, h)


def make_figure(path, k=1):
    p = Pen(64 * k, 120 * k, scale=k)
    draw_figure(p, "port")
    p.done().save(path, "JPEG", quality=92, subsampling=0)


def make_figure_small(path, k=1):
    # same soldier at rest, scaled to fit 52 x 100
    s = 100 / 120
    p = Pen(52 * k, 100 * k, scale=s * k, ox=((52 - 64 * s) / 2 - 0.5) * k, oy=0.0)
    draw_figure(p, "rest")
    p.done().save(path, "PNG")


# ---------------------------------------------------------------------------
# Application icon: orange "Q" ring with crosshair ticks on a dark rounded tile.
# draw_icon() lays the figure out on a 32-unit grid through a canvas: IconPen
# renders it to PNG at any size, SvgCanvas writes the same shapes as SVG.

ICON_GRID = 32
ICON_SIZES = (16, 32, 48, 64, 96, 128, 144, 192, 256)
TILE_TOP, TILE_BOTTOM, TILE_EDGE = (44, 54, 68), (14, 17, 22), (78, 92, 110)
ICON_LIGHT = (232, 238, 244)
Q_SHADOW = (120, 52, 6)
ICON_DOT = (255, 70, 50)


def draw_icon(c, small=False):
    """small: for 16 pixels, where a unit is half a pixel: the centre moves onto a
    pixel's middle so the 1-pixel ticks stay sharp, the inner ticks are left out
    and the centre dot grows to a whole pixel."""
    c.tile(0.5, 0.5, 31.5, 31.5, 6, TILE_TOP, TILE_BOTTOM, TILE_EDGE, 1.0)
    cx, cy = (15.0 if small else 16.0), 15.0  # ticks of 2 units on whole pixels
    # crosshair ticks outside and inside the ring
    for dx, dy in ((0, -1), (-1, 0), (1, 0), (0, 1)):
        if dy <= 0:  # the tail takes the bottom
            c.line([(cx + dx * 10.5, cy + dy * 10.5), (cx + dx * 13.2, cy + dy * 13.2)],
                   ICON_LIGHT, 2.0)
        if not small:
            c.line([(cx + dx * 3.2, cy + dy * 3.2), (cx + dx * 6.2, cy + dy * 6.2)],
                   ICON_LIGHT, 2.0)
    # the Q: ring plus tail, each over a darker rim
    c.ring(cx - 9.6, cy - 9.6, cx + 9.6, cy + 9.6, Q_SHADOW, 3.6)
    c.ring(cx - 9.2, cy - 9.4, cx + 9.2, cy + 9.2, ORANGE, 3.0)
    c.line([(cx + 1.5, cy + 6.0), (cx + 12.5, cy + 12.0)], Q_SHADOW, 4.2)
    c.line([(cx + 1.8, cy + 5.8), (cx + 12.2, cy + 11.4)], ORANGE, 3.2)
    c.disc(cx, cy, 1.6 if small else 1.1, ICON_DOT)


class IconPen(Pen):
    """Canvas of draw_icon() for a PNG of size x size pixels."""

    def __init__(self, size):
        super().__init__(size, size, scale=size / ICON_GRID, mode="RGBA", bg=(20, 24, 30, 0))

    def tile(self, x0, y0, x1, y1, r, top, bottom, edge, width):
        """Rounded square, vertical gradient over the whole grid, edge drawn inside."""
        n = self.h * SS
        grad = Image.new("RGBA", (n, n))
        gd = ImageDraw.Draw(grad)
        for y in range(n):
            k = y / (n - 1)
            gd.line([(0, y), (n, y)], fill=tuple(int(a + (b - a) * k) for a, b in zip(top, bottom)) + (255,))
        box = self.pt(x0, y0) + tuple(v - 1 for v in self.pt(x1, y1))
        mask = Image.new("L", (n, n), 0)
        ImageDraw.Draw(mask).rounded_rectangle(box, radius=self.len(r), fill=255)
        self.img.paste(grad, (0, 0), mask)
        self.d.rounded_rectangle(box, radius=self.len(r), outline=edge + (255,),
                                 width=int(round(self.len(width))))

    def line(self, points, fill, width):
        super().line(points, fill + (255,), width)

    def ring(self, x0, y0, x1, y1, color, width):
        """Ellipse outline drawn inside the box."""
        self.ellipse(x0, y0, x1, y1, outline=color + (255,), width=width)

    def disc(self, x, y, r, color):
        self.circle(x, y, r, color + (255,))

    def save(self, path):
        img = self.done().quantize(colors=256, method=Image.Quantize.FASTOCTREE)
        img.save(path, "PNG", optimize=True)


def _num(v):
    return f"{v:.2f}".rstrip("0").rstrip(".")


def _rgb(c):
    return "#%02x%02x%02x" % c


class SvgCanvas:
    """Canvas of draw_icon() that writes SVG in grid units."""

    def __init__(self):
        self.defs, self.body = [], []

    def tile(self, x0, y0, x1, y1, r, top, bottom, edge, width):
        self.defs.append(
            f'<linearGradient id="tile" x1="0" y1="0" x2="0" y2="{ICON_GRID}" '
            f'gradientUnits="userSpaceOnUse"><stop offset="0" stop-color="{_rgb(top)}"/>'
            f'<stop offset="1" stop-color="{_rgb(bottom)}"/></linearGradient>')
        self.body.append(f'<rect x="{_num(x0)}" y="{_num(y0)}" width="{_num(x1 - x0)}" '
                         f'height="{_num(y1 - y0)}" rx="{_num(r)}" fill="url(#tile)"/>')
        h = width / 2
        self.body.append(f'<rect x="{_num(x0 + h)}" y="{_num(y0 + h)}" width="{_num(x1 - x0 - width)}" '
                         f'height="{_num(y1 - y0 - width)}" rx="{_num(r - h)}" fill="none" '
                         f'stroke="{_rgb(edge)}" stroke-width="{_num(width)}"/>')

    def line(self, points, fill, width):
        pts = " ".join(f"{_num(x)},{_num(y)}" for x, y in points)
        self.body.append(f'<polyline points="{pts}" fill="none" stroke="{_rgb(fill)}" '
                         f'stroke-width="{_num(width)}"/>')

    def ring(self, x0, y0, x1, y1, color, width):
        self.body.append(f'<ellipse cx="{_num((x0 + x1) / 2)}" cy="{_num((y0 + y1) / 2)}" '
                         f'rx="{_num((x1 - x0 - width) / 2)}" ry="{_num((y1 - y0 - width) / 2)}" '
                         f'fill="none" stroke="{_rgb(color)}" stroke-width="{_num(width)}"/>')

    def disc(self, x, y, r, color):
        self.body.append(f'<circle cx="{_num(x)}" cy="{_num(y)}" r="{_num(r)}" fill="{_rgb(color)}"/>')

    def save(self, path):
        lines = ['<?xml version="1.0" encoding="UTF-8"?>',
                 f'<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
                 f'viewBox="0 0 {ICON_GRID} {ICON_GRID}">',
                 "<defs>", *self.defs, "</defs>", *self.body, "</svg>"]
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(lines) + "\n")


def make_icons(folder):
    for size in ICON_SIZES:
        pen = IconPen(size)
        draw_icon(pen, small=size < 24)
        pen.save(os.path.join(folder, f"icon-{size}.png"))
    svg = SvgCanvas()
    draw_icon(svg)
    svg.save(os.path.join(folder, "icon.svg"))


# ---------------------------------------------------------------------------
# Maker's logo: a little turtle over the word ZELVIK in 5x7 pixel letters.

GLYPHS = {
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
}


def draw_text(img, text, x, y, top, bottom, spacing=2, k=1):
    """Sets the letters at design pixel (x, y), each design pixel k x k."""
    d = ImageDraw.Draw(img)
    for ch in text:
        rows = GLYPHS[ch]
        for j, row in enumerate(rows):
            f = j / (len(rows) - 1)
            c = tuple(int(a + (b - a) * f) for a, b in zip(top, bottom))
            for i, cell in enumerate(row):
                if cell == "#":
                    d.rectangle([(x + i) * k, (y + j) * k, (x + i + 1) * k - 1,
                                 (y + j + 1) * k - 1], fill=c)
        x += len(rows[0]) + spacing


def text_width(text, spacing=2):
    return sum(len(GLYPHS[c][0]) for c in text) + spacing * (len(text) - 1)


def draw_turtle(p):
    shell = ((150, 214, 92), (84, 160, 52), (40, 92, 26))
    body = (196, 208, 120)
    body_sh = (124, 140, 70)
    gold = (232, 178, 58)
    # legs, tail and head behind the shell
    p.poly([(13, 18.5), (18, 17), (18, 19.5)], body_sh)
    for x in (19.5, 38.5):
        p.rrect(x, 17, x + 6, 24, 2.4, body_sh)
        p.rrect(x, 17, x + 4.6, 23.2, 2.2, body)
    p.capsule((41, 16.5), 5, (48, 13.5), 4.4, body_sh)
    p.ellipse(45.5, 9.5, 54.5, 17.5, fill=body_sh)
    p.ellipse(45.5, 9.5, 53.5, 16.5, fill=body)
    p.circle(50.6, 12.4, 1.1, (16, 20, 10))
    p.circle(50.3, 12.1, 0.35, (255, 255, 255))
    # shell: dome and golden rim
    p.d.chord(p.pts([(16, 4), (44, 32)]), 180, 360, fill=shell[2])
    p.d.chord(p.pts([(16.6, 4.4), (42.6, 30.4)]), 180, 360, fill=shell[1])
    p.rrect(14.5, 16.4, 45.5, 19.6, 1.6, gold)
    p.rect(15.5, 18.6, 44.5, 19.6, (168, 118, 30))
    # scutes: a central hexagon and two half plates
    dark = shell[2]
    hexagon = [(26, 9.5), (34, 9.5), (37, 13), (34, 16.4), (26, 16.4), (23, 13)]
    p.poly(hexagon, shell[0])
    p.line(hexagon + [hexagon[0]], dark, 0.9)
    p.line([(23, 13), (18, 15.4)], dark, 0.9)
    p.line([(37, 13), (42, 15.4)], dark, 0.9)
    p.line([(26, 9.5), (24.4, 6.6)], dark, 0.9)
    p.line([(34, 9.5), (35.6, 6.6)], dark, 0.9)
    p.ellipse(20, 6.6, 24, 9.6, fill=shell[0])  # shine


def make_logo(path, k=1):
    w, h = 64, 38
    p = Pen(w * k, h * k, scale=k, ox=-1.5 * k, oy=1.0 * k)
    draw_turtle(p)
    img = p.done()
    text = "ZELVIK"
    draw_text(img, text, (w - text_width(text)) // 2, 28, (255, 214, 110), (236, 120, 24), k=k)
    img.save(path, "JPEG", quality=92, subsampling=0)


def make_installer_side(path):
    # NSIS shows this on its welcome and finish pages at 164 x 314, on black
    # as the program shows its pictures.
    side = Image.new("RGB", (164, 314), BLACK)
    icon = IconPen(64)
    draw_icon(icon)
    side.paste(icon.done(), (50, 8), icon.done())
    figure = Pen(128, 240, scale=2)
    draw_figure(figure, "port")
    side.paste(figure.done(), (18, 74))
    side.save(path, "BMP")


def main():
    make_icons(HERE)
    make_installer_side(os.path.join(HERE, "installer-side.bmp"))
    for k, suffix in ((1, ""), (2, "@2x"), (3, "@3x")):
        make_figure(os.path.join(HERE, f"figure{suffix}.jpg"), k)
        make_figure_small(os.path.join(HERE, f"figure_small{suffix}.png"), k)
        make_logo(os.path.join(HERE, f"logo{suffix}.jpg"), k)


if __name__ == "__main__":
    main()
