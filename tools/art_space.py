# art_space.py -- the falling space rock (arock.png, 256 x 256) and the backdrop sparkle (star.png, 64 x 64).
import math

import numpy as np

import art_lib as L
from art_tiles import periodic_noise


def make_rock():
    """A craggy grey-brown rock filling about 90% of a 256 x 256 picture, lit from the top left.
    It is drawn light enough that the game's tint (200-250 per channel) still shows its colour."""
    size, ss = 256, 2
    n = size * ss
    x, y = L.grid(n, n)
    cx = cy = n / 2
    dx, dy = x - cx, y - cy
    ang = np.arctan2(dy, dx)
    dist = np.hypot(dx, dy)

    # outline: a circle of radius ~0.44 of the picture, pushed in and out by a few lumps and
    # cut into flat facets by a polygon, so it reads as a broken chunk rather than a ball
    r0 = 0.445 * n
    r = r0 * (1 + 0.06 * np.sin(3 * ang + 0.7) + 0.04 * np.sin(5 * ang + 2.1) + 0.025 * np.sin(9 * ang + 0.3))
    facets = 14
    seg = (ang + math.pi) / (2 * math.pi) * facets
    f = seg - np.floor(seg)
    rnd = np.random.default_rng(7)
    jag = rnd.uniform(0.9, 1.04, facets + 1)
    k = np.floor(seg).astype(int) % facets
    knext = (k + 1) % facets
    # straight-ish edges between facet corners
    corner = jag[k] * (1 - f) + jag[knext] * f
    r = r * corner * (1 - 0.035 * np.sin(f * math.pi))
    # small chips along the edge
    r = r * (1 + 0.012 * np.sin(23 * ang + 1.3) + 0.008 * np.sin(41 * ang))
    inside = np.clip((r - dist) / ss + 0.5, 0, 1)  # anti-aliased edge

    # height: a dome, bumpy noise and craters with raised rims
    t = np.clip(dist / r, 0, 1)
    hgt = np.sqrt(np.clip(1 - t ** 2, 0, 1)) * 0.9
    noise = periodic_noise(n, 6, 91, 5)
    hgt += noise * 0.3
    # ridged detail: sharp creases where a second noise crosses zero
    ridge = 1 - np.abs(periodic_noise(n, 4, 92, 4))
    hgt += (ridge ** 6) * 0.12
    # craters kept inside the outline so none is cut open by the edge
    craters = [(-0.16, -0.12, 0.11), (0.15, 0.12, 0.13), (0.06, -0.28, 0.05), (-0.2, 0.24, 0.06),
               (0.27, -0.13, 0.045)]
    crater_floor = np.zeros_like(x)
    for ux, uy, ur in craters:
        px, py, pr = cx + ux * n, cy + uy * n, ur * n
        d = np.hypot(x - px, y - py) / pr
        bowl = np.clip(1 - d ** 2, 0, 1)
        rim = np.exp(-((d - 1.0) / 0.18) ** 2)
        hgt += -0.16 * bowl + 0.05 * rim
        crater_floor = np.maximum(crater_floor, bowl)

    # normals from the height field; light from the top left and a little from the front
    gx = np.gradient(hgt, axis=1) * n * 0.18
    gy = np.gradient(hgt, axis=0) * n * 0.18
    nz = 1.0 / np.sqrt(gx ** 2 + gy ** 2 + 1)
    nx, ny = -gx * nz, -gy * nz
    lx, ly, lz = -0.55, -0.6, 0.58
    ln = math.sqrt(lx * lx + ly * ly + lz * lz)
    lam = np.clip((nx * lx + ny * ly + nz * lz) / ln, 0, 1)
    # the sphere-ish form adds a soft terminator toward the lower right
    form = np.clip(1 - ((dx / n) * 0.9 + (dy / n) * 1.0 + 0.15), 0.35, 1.2)
    light = np.clip(0.22 + 0.85 * lam * form, 0, 1.1)

    base = L.mix((120, 108, 98), (196, 184, 168), np.clip(0.5 + noise * 1.4, 0, 1))
    base = L.mix(base, (104, 94, 90), crater_floor * 0.5)
    col = np.clip(base * light[..., None], 0, 1)
    # dark rim just inside the edge, never pure black
    edge = np.clip(1 - (r - dist) / (5 * ss), 0, 1)
    col = L.mix(col, (40, 32, 40), edge * 0.8)

    layer = np.zeros((n, n, 4), dtype=np.float32)
    layer[..., :3] = col
    layer[..., 3] = inside
    return L.to_image(L.downsample(layer, ss), min_alpha=8)


def make_star():
    """A soft white four-pointed sparkle, 64 x 64, with a round glow; the game greys and fades it."""
    n = 64 * 4
    x, y = L.grid(n, n)
    dx, dy = (x - n / 2) / (n / 2), (y - n / 2) / (n / 2)
    d = np.hypot(dx, dy)
    core = np.exp(-(d / 0.12) ** 2)
    glow = np.exp(-(d / 0.38) ** 2) * 0.45
    # thin rays along the axes, fading toward the tips, and shorter ones on the diagonals
    ray_a = np.exp(-(np.abs(dx) / 0.035) ** 1.5) * np.clip(1 - np.abs(dy), 0, 1) ** 2
    ray_b = np.exp(-(np.abs(dy) / 0.035) ** 1.5) * np.clip(1 - np.abs(dx), 0, 1) ** 2
    u, v = (dx + dy) / math.sqrt(2), (dx - dy) / math.sqrt(2)
    diag = (np.exp(-(np.abs(u) / 0.03) ** 1.5) * np.clip(1 - np.abs(v) * 1.8, 0, 1) ** 2 +
            np.exp(-(np.abs(v) / 0.03) ** 1.5) * np.clip(1 - np.abs(u) * 1.8, 0, 1) ** 2) * 0.5
    a = np.clip(core + glow + ray_a + ray_b + diag, 0, 1)
    a *= np.clip((1 - d) * 4, 0, 1)  # nothing at the very edge of the picture
    layer = np.zeros((n, n, 4), dtype=np.float32)
    layer[..., 0] = 1.0
    layer[..., 1] = 1.0
    layer[..., 2] = 1.0
    # a faint blue in the outer glow
    layer[..., 0] -= (1 - np.clip(core * 3, 0, 1)) * 0.12
    layer[..., 1] -= (1 - np.clip(core * 3, 0, 1)) * 0.05
    layer[..., 3] = a
    return L.to_image(L.downsample(layer, 4), min_alpha=1)
