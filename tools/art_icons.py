# art_icons.py -- the common icon sheet: 64 icons of 16 x 16 in one row (1024 x 16).
#
# The menus tint the icons with their own colours (green rows, red slider knob, the players' colours),
# so the icons are drawn in white and light greys with a dark outline; tinting then keeps the outline
# dark and colours the rest. Faces that carry text (key cap, joystick button) are kept dark so the
# tinted label on top of them stays readable.
import math

import numpy as np

import art_lib as L

CELL = 16
S = 8           # supersampling inside one icon
N = CELL * S    # supersampled cell size

WHITE = (255, 255, 255)
LIGHT = (214, 218, 228)
MID = (150, 154, 168)
DARK = (62, 60, 78)


class Icon:
    """Collects the masks of one icon in 16-unit coordinates: `body` is light and outlined, `mid` and
    `dark` are painted over it, `cut` is removed from the body before painting."""

    def __init__(self, scale=S):
        self.s = scale            # supersampled pixels per icon unit
        self.n = CELL * scale     # supersampled cell size
        n = self.n
        z = lambda: np.zeros((n, n), dtype=np.float32)
        self.body, self.mid, self.dark, self.cut, self.bright = z(), z(), z(), z(), z()
        self.outline = 1.0  # outline width in final pixels

    def u(self, v):
        return v * self.s

    def _m(self, fn):
        return L.mask(self.n, self.n, fn)

    def add(self, layer, m):
        np.maximum(getattr(self, layer), m, out=getattr(self, layer))

    def ellipse(self, layer, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry
        self.add(layer, L.ellipse_mask(self.n, self.n, self.u(cx), self.u(cy), self.u(rx), self.u(ry)))

    def rect(self, layer, x0, y0, x1, y1, r=0.0):
        if r > 0:
            self.add(layer, L.rounded_rect_mask(self.n, self.n, self.u(x0), self.u(y0), self.u(x1), self.u(y1), self.u(r)))
        else:
            self.add(layer, self._m(lambda d: d.rectangle([self.u(x0), self.u(y0), self.u(x1) - 1, self.u(y1) - 1], fill=255)))

    def poly(self, layer, pts):
        self.add(layer, L.polygon_mask(self.n, self.n, [(self.u(x), self.u(y)) for x, y in pts]))

    def line(self, layer, x0, y0, x1, y1, w):
        self.add(layer, L.capsule_mask(self.n, self.n, self.u(x0), self.u(y0), self.u(x1), self.u(y1), self.u(w) / 2))

    def arc(self, layer, cx, cy, r, a0, a1, w):
        """A stroked arc (degrees, 0 = right, clockwise on screen) of width w."""
        def f(d):
            d.arc([self.u(cx - r), self.u(cy - r), self.u(cx + r), self.u(cy + r)], a0, a1, fill=255, width=int(self.u(w)))
        self.add(layer, self._m(f))
        # round the ends
        for a in (a0, a1):
            x = cx + (r - w / 2) * math.cos(math.radians(a))
            y = cy + (r - w / 2) * math.sin(math.radians(a))
            self.add(layer, L.ellipse_mask(self.n, self.n, self.u(x), self.u(y), self.u(w / 2), self.u(w / 2)))

    def render(self):
        layer = L.new_layer(self.n, self.n)
        body = np.clip(self.body - self.cut, 0, 1)
        if self.outline > 0:
            L.over(layer, L.OUTLINE, L.dilate(np.maximum(body, self.bright), self.u(self.outline)))
        x, y = L.grid(self.n, self.n)
        # light from above: white at the top of the cell, light grey at the bottom
        grad = L.mix(WHITE, LIGHT, np.clip(y / self.n, 0, 1))
        L.over(layer, grad, body)
        L.over(layer, MID, self.mid * body)
        L.over(layer, DARK, self.dark * np.maximum(body, self.dark))
        L.over(layer, WHITE, self.bright)
        return L.downsample(layer, self.s)

    def shape(self):
        """The icon's silhouette and its inner details (mid and dark), supersampled, for reuse as an emblem."""
        body = np.clip(self.body - self.cut, 0, 1)
        return np.maximum(body, self.bright), np.maximum(self.mid, self.dark) * body


# --- the icons, by frame number ------------------------------------------------------------------

def spark(i):
    i.poly("body", L.star_points(8, 8, 7, 2.6, 4, -90))


def check(i):
    i.line("body", 2.5, 8.5, 6, 12, 3)
    i.line("body", 6, 12, 13.5, 3.5, 3)


def cross(i):
    i.line("body", 3.5, 3.5, 12.5, 12.5, 3)
    i.line("body", 12.5, 3.5, 3.5, 12.5, 3)


def key_cap(i):
    # a key seen from the front: light rim and a dark top face where the key's name is written
    i.rect("body", 1, 1, 15, 15, 3)
    i.rect("dark", 2.6, 2.2, 13.4, 12.0, 2)
    i.rect("mid", 2.0, 12.6, 14.0, 14.2, 1)
    i.outline = 0.8


def arrow_left(i):
    i.poly("body", [(2, 8), (8, 2.5), (8, 5.5), (14, 5.5), (14, 10.5), (8, 10.5), (8, 13.5)])


def arrow_right(i):
    i.poly("body", [(14, 8), (8, 2.5), (8, 5.5), (2, 5.5), (2, 10.5), (8, 10.5), (8, 13.5)])


def arrow_up(i):
    i.poly("body", [(8, 2), (13.5, 8), (10.5, 8), (10.5, 14), (5.5, 14), (5.5, 8), (2.5, 8)])


def arrow_down(i):
    i.poly("body", [(8, 14), (13.5, 8), (10.5, 8), (10.5, 2), (5.5, 2), (5.5, 8), (2.5, 8)])


def chart_point(i):
    # a small diamond with a bright centre, centred in the cell
    i.poly("body", [(8, 3.5), (12.5, 8), (8, 12.5), (3.5, 8)])
    i.ellipse("bright", 7.2, 7.2, 1.1)


def hat(i):
    # joystick hat: a d-pad cross with a darker centre dimple
    i.rect("body", 5.5, 1.5, 10.5, 14.5, 1.2)
    i.rect("body", 1.5, 5.5, 14.5, 10.5, 1.2)
    i.ellipse("mid", 8, 8, 1.8)
    for p in ([(8, 2.6), (9.4, 4.4), (6.6, 4.4)], [(8, 13.4), (9.4, 11.6), (6.6, 11.6)],
              [(2.6, 8), (4.4, 6.6), (4.4, 9.4)], [(13.4, 8), (11.6, 6.6), (11.6, 9.4)]):
        i.poly("mid", p)


def axis(i):
    # joystick axis: a stick with a ball top on a round base
    i.ellipse("body", 8, 12.5, 6.5, 2.8)
    i.ellipse("mid", 8, 12.2, 4.4, 1.5)
    i.line("body", 8, 12, 9.5, 5.5, 2.2)
    i.ellipse("body", 9.8, 4.6, 3.3)
    i.ellipse("bright", 8.9, 3.7, 1.0)


def button(i):
    # joystick button: a round cap with a dark face for the button's number
    i.ellipse("body", 8, 8.6, 7.2, 6.9)
    i.ellipse("dark", 8, 7.8, 5.4, 5.2)
    i.outline = 0.8


def monitor(i, wide):
    if wide:
        x0, x1, y0, y1 = 0.5, 15.5, 2.5, 11.5
    else:
        x0, x1, y0, y1 = 1.5, 14.5, 1.5, 11.5
    i.rect("body", x0, y0, x1, y1, 1.2)
    i.rect("dark", x0 + 1.4, y0 + 1.4, x1 - 1.4, y1 - 1.4, 0.5)
    i.rect("body", 6.5, y1, 9.5, 13.5)
    i.rect("body", 4, 13, 12, 15, 0.8)
    # a glint on the screen
    i.line("mid", x0 + 2.6, y1 - 2.8, x0 + 5.0, y0 + 2.6, 0.9)


def windowed(i):
    i.rect("body", 1, 2.5, 15, 14, 1.2)
    i.rect("dark", 2.4, 5.5, 13.6, 12.6, 0.4)
    i.ellipse("mid", 11.2, 4.0, 0.8)
    i.ellipse("mid", 13.0, 4.0, 0.8)
    i.rect("mid", 2.5, 3.3, 9, 4.7, 0.6)


def fullscreen(i):
    # a screen filled edge to edge, with arrows pushing out to its corners
    i.rect("body", 0.5, 0.5, 15.5, 15.5, 1.2)
    i.rect("dark", 2, 2, 14, 14, 0.4)
    for sx, sy in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
        tip_x, tip_y = 8 + sx * 4.6, 8 + sy * 4.6
        i.poly("bright", [(tip_x, tip_y), (tip_x - sx * 3.4, tip_y), (tip_x, tip_y - sy * 3.4)])
        i.line("bright", tip_x - sx * 1.2, tip_y - sy * 1.2, 8 + sx * 1.3, 8 + sy * 1.3, 1.1)


def gear(i):
    for k in range(8):
        a = math.radians(k * 45)
        ca, sa = math.cos(a), math.sin(a)
        w = 1.35
        pts = []
        for r, t in ((4.0, -w), (7.4, -w * 0.8), (7.4, w * 0.8), (4.0, w)):
            pts.append((8 + r * ca - t * sa, 8 + r * sa + t * ca))
        i.poly("body", pts)
    i.ellipse("body", 8, 8, 5.4)
    i.ellipse("cut", 8, 8, 2.0)


def info(i):
    i.ellipse("body", 8, 8, 7.2)
    i.ellipse("dark", 8, 4.6, 1.3)
    i.rect("dark", 6.9, 6.8, 9.1, 12.6, 0.5)


def question(i):
    i.ellipse("body", 8, 8, 7.2)
    i.arc("dark", 8, 6.2, 3.0, 180, 400, 1.8)
    i.line("dark", 8.6, 8.9, 8.0, 9.8, 1.8)
    i.ellipse("dark", 8, 12.3, 1.1)


def film(i, lit):
    """A strip of three film frames; `lit` of them are bright, the rest skipped (dark)."""
    i.rect("body", 0.5, 2, 15.5, 14, 1)
    # sprocket holes along top and bottom
    for k in range(5):
        x = 1.7 + k * 3.15
        i.rect("dark", x, 2.8, x + 1.5, 4.0, 0.3)
        i.rect("dark", x, 12.0, x + 1.5, 13.2, 0.3)
    for k in range(3):
        x0 = 1.6 + k * 4.4
        if k < lit:
            i.rect("mid", x0, 4.9, x0 + 3.8, 11.1, 0.4)
            i.ellipse("bright", x0 + 1.9, 8, 1.0)
        else:
            i.rect("dark", x0, 4.9, x0 + 3.8, 11.1, 0.4)


def track_left(i):
    # left half of a slider track: a rounded left end, open to the right edge of the cell
    i.rect("body", 1.0, 5.5, 17.5, 10.5, 2.5)
    i.rect("dark", 2.6, 7.2, 17.5, 8.8, 0.8)
    i.outline = 0.8


def track_right(i):
    i.rect("body", -1.5, 5.5, 15.0, 10.5, 2.5)
    i.rect("dark", -1.5, 7.2, 13.4, 8.8, 0.8)
    i.outline = 0.8


def knob(i):
    i.rect("body", 3.5, 1.0, 12.5, 15.0, 3.0)
    for y in (5.6, 8.0, 10.4):
        i.line("mid", 6.2, y, 9.8, y, 0.9)
    i.outline = 0.8


def speaker(i, waves_right=0, waves_left=False, muted=False):
    i.rect("body", 1.0, 5.5, 5.0, 10.5, 0.6)
    i.poly("body", [(4.2, 5.6), (8.8, 1.8), (8.8, 14.2), (4.2, 10.4)])
    for k in range(waves_right):
        r = 3.0 + 2.6 * k
        i.arc("body", 8.2, 8, r + 0.6, -48, 48, 1.3)
    if waves_left:
        # surround: a second speaker voice behind, shown by small waves on the left
        i.arc("mid", 8.2, 8, 3.2, -40, 40, 1.0)
    if muted:
        i.line("bright", 10.3, 5.5, 14.7, 10.5, 1.4)
        i.line("bright", 14.7, 5.5, 10.3, 10.5, 1.4)


def speaker_surround(i):
    speaker(i, waves_right=3)
    i.ellipse("bright", 3.0, 8.0, 0.9)


def headphones(i):
    i.arc("body", 8, 8.5, 6.2, 180, 360, 1.8)
    i.rect("body", 1.2, 8.0, 4.6, 14.5, 1.2)
    i.rect("body", 11.4, 8.0, 14.8, 14.5, 1.2)
    i.rect("mid", 2.2, 9.2, 3.6, 13.4, 0.5)
    i.rect("mid", 12.4, 9.2, 13.8, 13.4, 0.5)


def music_note(i):
    i.ellipse("body", 5.0, 12.4, 2.8, 2.2)
    i.ellipse("body", 12.0, 10.8, 2.8, 2.2)
    i.rect("body", 6.4, 2.4, 8.0, 12.4)
    i.rect("body", 13.4, 1.0, 15.0, 10.8)
    i.poly("body", [(6.4, 2.4), (15.0, 0.8), (15.0, 4.0), (6.4, 5.6)])


def chip(i):
    i.rect("body", 3.5, 3.5, 12.5, 12.5, 1)
    i.rect("dark", 5.2, 5.2, 10.8, 10.8, 0.5)
    for k in range(3):
        p = 5.2 + k * 2.5
        i.rect("body", p, 1.0, p + 1.2, 3.6)
        i.rect("body", p, 12.4, p + 1.2, 15.0)
        i.rect("body", 1.0, p, 3.6, p + 1.2)
        i.rect("body", 12.4, p, 15.0, p + 1.2)
    i.ellipse("bright", 6.6, 6.6, 0.7)


def heart(i):
    i.ellipse("body", 5.2, 6.0, 3.6)
    i.ellipse("body", 10.8, 6.0, 3.6)
    i.poly("body", [(1.8, 7.2), (14.2, 7.2), (8, 14.5)])
    i.ellipse("bright", 4.4, 4.9, 1.0)


def star5(i):
    i.poly("body", L.star_points(8, 8.6, 7.6, 3.3, 5))


def trophy(i):
    i.poly("body", [(3.5, 1.5), (12.5, 1.5), (12.0, 6.5), (8, 10), (4.0, 6.5)])
    i.arc("body", 3.8, 4.6, 2.6, 90, 270, 1.2)
    i.arc("body", 12.2, 4.6, 2.6, -90, 90, 1.2)
    i.rect("body", 7, 9, 9, 12.5)
    i.rect("body", 4.5, 12.5, 11.5, 15, 0.6)
    i.line("bright", 6, 3, 6, 6, 0.9)


def flag(i):
    i.rect("body", 2.0, 1.0, 3.6, 15.5, 0.6)
    i.poly("body", [(3.4, 1.5), (14.5, 3.0), (11.5, 5.5), (14.5, 8.5), (3.4, 9.0)])
    i.poly("mid", [(3.8, 6.0), (12.8, 7.2), (14.2, 8.5), (3.8, 8.6)])


def clock(i):
    i.ellipse("body", 8, 8, 7.2)
    i.ellipse("dark", 8, 8, 5.6)
    i.line("bright", 8, 8, 8, 4.0, 1.2)
    i.line("bright", 8, 8, 10.8, 9.6, 1.2)


def floppy(i):
    i.poly("body", [(1.5, 1.5), (12.5, 1.5), (14.5, 3.5), (14.5, 14.5), (1.5, 14.5)])
    i.rect("mid", 4.2, 1.5, 11.2, 6.0, 0.4)
    i.rect("dark", 8.6, 2.3, 10.2, 5.2)
    i.rect("dark", 3.5, 8.5, 12.5, 14.5, 0.6)


def folder(i):
    i.poly("body", [(1, 3), (6, 3), (7.5, 4.8), (15, 4.8), (15, 14), (1, 14)])
    i.poly("mid", [(1, 7), (15, 7), (15, 7.9), (1, 7.9)])


def camera(i):
    i.rect("body", 1, 4.5, 15, 14, 1.5)
    i.rect("body", 5, 2.5, 10.5, 5, 0.8)
    i.ellipse("dark", 8, 9.3, 3.4)
    i.ellipse("mid", 8, 9.3, 2.0)
    i.ellipse("bright", 12.8, 6.6, 0.8)


def home(i):
    i.poly("body", [(8, 1.5), (15, 8), (13, 8), (13, 14.5), (3, 14.5), (3, 8), (1, 8)])
    i.rect("dark", 6.6, 9.5, 9.4, 14.5, 0.3)


def pause(i):
    i.rect("body", 3, 2, 7, 14, 1)
    i.rect("body", 9, 2, 13, 14, 1)


def play(i):
    i.poly("body", [(3.5, 1.5), (14, 8), (3.5, 14.5)])


def stop(i):
    i.rect("body", 2.5, 2.5, 13.5, 13.5, 1.2)


def plus(i):
    i.rect("body", 6.3, 2, 9.7, 14, 0.8)
    i.rect("body", 2, 6.3, 14, 9.7, 0.8)


def minus(i):
    i.rect("body", 2, 6.3, 14, 9.7, 0.8)


def lock(i, open_=False):
    if open_:
        i.arc("body", 11.0, 5.5, 3.6, 180, 360, 1.6)
        i.rect("body", 12.8, 5.4, 14.6, 7.6)
    else:
        i.arc("body", 8, 6, 3.8, 180, 360, 1.6)
        i.rect("body", 4.2, 5.8, 5.8, 8)
        i.rect("body", 10.2, 5.8, 11.8, 8)
    i.rect("body", 2.5, 7.5, 13.5, 15, 1.2)
    i.ellipse("dark", 8, 10.5, 1.4)
    i.rect("dark", 7.4, 10.6, 8.6, 13.2)


def magnifier(i):
    i.ellipse("body", 6.5, 6.5, 5.5)
    i.ellipse("dark", 6.5, 6.5, 3.6)
    i.line("body", 10.5, 10.5, 14.2, 14.2, 2.6)
    i.ellipse("bright", 5.3, 5.3, 1.0)


def rocket(i):
    i.poly("body", [(13.8, 2.2), (12.8, 7.8), (7.4, 13.2), (2.8, 8.6), (8.2, 3.2)])
    i.poly("body", [(4.6, 6.8), (1.2, 7.4), (3.2, 4.2), (6.6, 4.8)])
    i.poly("body", [(9.2, 11.4), (8.6, 14.8), (11.8, 12.8), (11.2, 9.4)])
    i.ellipse("dark", 9.8, 6.2, 1.6)
    i.poly("mid", [(4.4, 10.0), (6.0, 11.6), (2.0, 14.0)])


def planet(i):
    i.ellipse("body", 8, 8, 5.0)
    i.line("mid", 4.4, 6.6, 11.0, 6.6, 0.9)
    i.line("mid", 5.0, 10.0, 10.0, 10.0, 0.7)
    # a tilted ring: its front half crosses the planet, its back half hides behind it
    def ring(d):
        d.ellipse([i.u(0.3), i.u(5.2), i.u(15.7), i.u(10.8)], outline=255, width=int(i.u(1.5)))
    m = L.mask(i.n, i.n, ring)
    x, y = L.grid(i.n, i.n)
    behind = (y < i.u(8.0)) & ((x - i.u(8)) ** 2 + (y - i.u(8)) ** 2 < i.u(5.6) ** 2)
    i.add("body", m * ~behind)


def moon(i):
    i.ellipse("body", 8, 8, 6.8)
    i.ellipse("cut", 11.2, 5.6, 5.6)


def banana(i):
    # a banana lying as a smile: the area between two offset circles, with a stem up at the right end
    i.ellipse("body", 8.0, 5.0, 7.2, 7.0)
    i.ellipse("cut", 8.6, 1.4, 8.0, 7.0)
    i.line("body", 13.6, 6.0, 15.0, 3.4, 1.6)
    i.ellipse("dark", 1.4, 6.6, 0.9)
    i.arc("mid", 8.0, 5.0, 5.8, 40, 140, 0.9)


def rock(i):
    i.poly("body", [(2, 9), (4, 4), (9, 2), (13.5, 4.5), (14.8, 10), (11, 14), (5, 14.2), (1.6, 12)])
    i.ellipse("mid", 6, 9, 1.6)
    i.ellipse("mid", 10.4, 7.0, 1.2)
    i.ellipse("mid", 9.6, 11.6, 0.9)


def lightning(i):
    i.poly("body", [(9.5, 0.8), (3, 9), (7.4, 9), (5.8, 15.2), (13, 6.4), (8.6, 6.4), (11, 0.8)])


def shield(i):
    i.poly("body", [(8, 1), (14.5, 3.2), (13.5, 10), (8, 15), (2.5, 10), (1.5, 3.2)])
    i.poly("mid", [(8, 3), (12.4, 4.5), (11.8, 9.4), (8, 12.8)])


def gem(i):
    i.poly("body", [(4, 2.5), (12, 2.5), (15, 6), (8, 14.5), (1, 6)])
    i.poly("mid", [(1, 6), (15, 6), (8, 14.5)])
    i.poly("bright", [(5.2, 3.4), (7.2, 3.4), (6.0, 5.4)])


def warning(i):
    i.poly("body", [(8, 1.2), (15.2, 14.4), (0.8, 14.4)])
    i.rect("dark", 7.1, 5.4, 8.9, 10.6, 0.6)
    i.ellipse("dark", 8, 12.4, 1.0)


def user(i):
    i.ellipse("body", 8, 5, 3.4)
    i.poly("body", [(2, 15), (3, 10.5), (6, 9), (10, 9), (13, 10.5), (14, 15)])


def mouse_icon(i):
    i.rect("body", 3.5, 1, 12.5, 15, 4.4)
    i.line("dark", 8, 1.6, 8, 6.0, 0.8)
    i.line("dark", 3.8, 6.2, 12.2, 6.2, 0.8)
    i.rect("mid", 7.3, 2.8, 8.7, 5.0, 0.6)


def keyboard(i):
    i.rect("body", 0.5, 3.5, 15.5, 12.5, 1.2)
    for row, y in enumerate((5.0, 7.3)):
        for k in range(6):
            x = 1.8 + k * 2.2 + (0.6 if row else 0)
            i.rect("dark", x, y, x + 1.5, y + 1.5, 0.3)
    i.rect("dark", 4.0, 9.7, 12.0, 11.2, 0.3)


def refresh(i):
    i.arc("body", 8, 8, 6.2, 20, 300, 2.0)
    i.poly("body", [(10.0, 0.6), (15.2, 3.8), (10.4, 6.8)])


def power(i):
    i.arc("body", 8, 8.8, 6.4, -50, 230, 2.0)
    i.line("body", 8, 1.2, 8, 8, 2.0)


def hourglass(i):
    i.rect("body", 2.5, 0.8, 13.5, 2.8, 0.6)
    i.rect("body", 2.5, 13.2, 13.5, 15.2, 0.6)
    i.poly("body", [(3.8, 2.6), (12.2, 2.6), (8.9, 8), (12.2, 13.4), (3.8, 13.4), (7.1, 8)])
    i.poly("mid", [(5.6, 13.2), (10.4, 13.2), (8, 10.8)])


def pointer(i):
    # the mouse pointer: its outline's tip is the cell's top-left pixel, white with a dark outline
    o = 0.9
    i.poly("body", [(o, o), (o, 12.4), (o + 3.0, 9.6), (o + 5.2, 14.3), (o + 7.2, 13.4), (o + 5.1, 8.8),
                    (o + 9.2, 8.6)])
    i.outline = 0.9


def blank_ring(i):
    i.ellipse("body", 8, 8, 6.5)
    i.ellipse("cut", 8, 8, 4.2)


ICONS = {
    0: spark, 1: check, 2: cross, 3: key_cap, 4: arrow_left, 5: arrow_right, 6: arrow_up,
    7: chart_point, 8: hat, 9: axis, 10: button,
    11: lambda i: monitor(i, False), 12: lambda i: monitor(i, True), 13: windowed, 14: fullscreen,
    15: gear, 16: info, 17: question,
    18: lambda i: film(i, 3), 19: lambda i: film(i, 2), 20: lambda i: film(i, 1),
    21: track_left, 22: track_right, 23: knob,
    24: speaker_surround, 25: lambda i: speaker(i, waves_right=2), 26: lambda i: speaker(i, muted=True),
    27: headphones, 28: music_note, 29: chip,
    30: heart, 31: star5, 32: trophy, 33: flag, 34: clock, 35: floppy, 36: folder, 37: camera,
    38: home, 39: pause, 40: play, 41: stop, 42: plus, 43: minus, 44: arrow_down,
    45: lock, 46: lambda i: lock(i, True), 47: magnifier, 48: rocket, 49: planet, 50: moon,
    51: banana, 52: rock, 53: lightning, 54: shield, 55: gem, 56: warning, 57: user,
    58: mouse_icon, 59: keyboard, 60: refresh, 61: power, 62: hourglass, 63: pointer,
}


def make_icons():
    """Returns the 1024 x 16 icon strip as an RGBA picture."""
    strip = np.zeros((CELL, CELL * 64, 4), dtype=np.float32)
    for n in range(64):
        icon = Icon()
        ICONS.get(n, blank_ring)(icon)
        strip[:, n * CELL:(n + 1) * CELL] = icon.render()
    # The pointer's tip must be the very first pixel of its cell and fully drawn: that pixel is the hot spot.
    tip = strip[0, 63 * CELL]
    if tip[3] < 0.99:
        strip[0, 63 * CELL] = (*L.rgb(L.OUTLINE), 1.0)
    return L.to_image(strip, min_alpha=6)
