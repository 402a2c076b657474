# art_badges.py -- the sixteen award badges (badges.png, 64 x 64 each, one 1024 x 64 row).
#
# The score table shows them at about 18 pixels, so each badge differs by outline shape, metal and
# enamel colour first and by its emblem second.
import math

import numpy as np

import art_icons
import art_lib as L

B = 64
S = 4
N = B * S


def shape_mask(kind):
    c, r = N / 2, N * 0.44
    if kind == "circle":
        return L.ellipse_mask(N, N, c, c, r, r)
    if kind in ("hexagon", "octagon"):
        k = 6 if kind == "hexagon" else 8
        off = -90 if k == 6 else -90 + 22.5
        pts = [(c + r * 1.02 * math.cos(math.radians(off + 360 * i / k)),
                c + r * 1.02 * math.sin(math.radians(off + 360 * i / k))) for i in range(k)]
        return L.polygon_mask(N, N, pts)
    if kind == "burst":
        return L.polygon_mask(N, N, L.star_points(c, c, r * 1.04, r * 0.84, 12, -90))
    if kind == "shield":
        pts = [(c, N * 0.05), (N * 0.9, N * 0.16), (N * 0.86, N * 0.58), (c, N * 0.96), (N * 0.14, N * 0.58),
               (N * 0.1, N * 0.16)]
        return L.polygon_mask(N, N, pts)
    if kind == "square":
        return L.rounded_rect_mask(N, N, N * 0.08, N * 0.08, N * 0.92, N * 0.92, N * 0.16)
    if kind == "star":
        return L.polygon_mask(N, N, L.star_points(c, c * 1.05, r * 1.1, r * 0.62, 5, -90))
    raise ValueError(kind)


METALS = {
    "gold": ((255, 214, 80), (170, 110, 20)),
    "silver": ((236, 240, 250), (130, 138, 160)),
    "bronze": ((236, 160, 100), (140, 76, 40)),
    "platinum": ((220, 250, 255), (110, 150, 180)),
}

# (outline shape, metal, enamel colour, emblem icon number from the icon sheet)
BADGES = [
    ("circle", "gold", (40, 80, 200), 31),       # star
    ("circle", "silver", (200, 40, 60), 48),     # rocket
    ("circle", "bronze", (40, 140, 70), 51),     # banana
    ("hexagon", "silver", (50, 120, 230), 49),   # planet
    ("shield", "gold", (30, 150, 80), 6),        # climb arrow
    ("burst", "gold", (220, 50, 40), 53),        # lightning
    ("octagon", "silver", (130, 50, 200), 55),   # gem
    ("circle", "platinum", (20, 120, 140), 50),  # moon
    ("shield", "bronze", (200, 90, 20), 52),     # rock
    ("square", "silver", (230, 70, 140), 30),    # heart
    ("burst", "bronze", (250, 170, 30), 32),     # trophy
    ("hexagon", "platinum", (60, 180, 230), 0),  # spark
    ("octagon", "bronze", (90, 96, 120), 15),    # gear
    ("star", "gold", (240, 120, 20), 31),        # star in a star
    ("shield", "silver", (30, 50, 150), 54),     # shield
    ("square", "gold", (150, 30, 120), 33),      # flag
]


def make_badge(kind, metal, enamel, emblem):
    layer = L.new_layer(N, N)
    outer = shape_mask(kind)
    hi, lo = METALS[metal]
    x, y = L.grid(N, N)
    # metal rim: a diagonal gradient with a dark outline
    L.over(layer, L.OUTLINE, L.dilate(outer, 1.4 * S))
    t = np.clip((x + y) / (2 * N), 0, 1)
    L.over(layer, L.mix(hi, lo, t), outer)
    inner = L.erode(outer, 5.5 * S)
    # a thin bright bevel on the inner edge of the rim
    L.over(layer, L.mix(lo, hi, t), np.clip(L.erode(outer, 4.5 * S) - inner, 0, 1))
    # enamel: lighter toward the top left
    d = np.hypot(x - N * 0.38, y - N * 0.34) / N
    L.over(layer, L.mix(L.lighten(enamel, 0.35), L.lighten(enamel, -0.3), np.clip(d * 1.4, 0, 1)), inner)
    # the emblem: an icon of the sheet drawn large in white with a dark edge and a drop shadow
    icon = art_icons.Icon(scale=9)  # 16 units -> 144 supersampled pixels, 36 on the badge
    art_icons.ICONS[emblem](icon)
    sil, detail = icon.shape()
    n = sil.shape[0]
    off = (N - n) // 2
    em = np.zeros((N, N), dtype=np.float32)
    det = np.zeros((N, N), dtype=np.float32)
    em[off:off + n, off:off + n] = sil
    det[off:off + n, off:off + n] = detail
    L.over(layer, (10, 8, 30), L.shift(L.dilate(em, 1.0 * S), 1.5 * S, 2 * S) * inner, alpha=0.45)
    L.over(layer, L.OUTLINE, L.dilate(em, 0.9 * S) * inner)
    L.over(layer, L.mix((255, 255, 255), (220, 226, 240), np.clip(y / N, 0, 1)), em)
    L.over(layer, L.lighten(enamel, -0.2), det * em, alpha=0.7)
    # glossy sheen across the upper half
    sheen = L.ellipse_mask(N, N, N * 0.42, N * 0.2, N * 0.36, N * 0.16) * outer
    L.over(layer, (255, 255, 255), L.blur(sheen, 2 * S), alpha=0.22)
    return L.downsample(layer, S)


def make_badges():
    strip = np.zeros((B, B * 16, 4), dtype=np.float32)
    for k, spec in enumerate(BADGES):
        strip[:, k * B:(k + 1) * B] = make_badge(*spec)
    return L.to_image(strip, min_alpha=4)
