# art_tiles.py -- the tower's blocks (build.png, 16 cells of 64 x 64 in one row) and the floor (bottom.png).
#
# Every block type is a height map plus a colour map, both periodic over the 64-pixel cell so that
# columns and rows of blocks join without seams. Ledges (frames 0-7) get full colour, strong relief
# and a bright lip along the top to stand on; walls (frames 8-15) use the same pattern, dark, flat
# and a little cooler, so they read as scenery behind the hero.
import math

import numpy as np

import art_lib as L

T = 64      # cell size
S = 4       # supersampling
N = T * S


def rng(seed):
    return np.random.default_rng(seed)


def periodic_noise(n, cells, seed, octaves=3):
    """Value noise over an n x n square that wraps at its edges, roughly -1..1."""
    r = rng(seed)
    out = np.zeros((n, n), dtype=np.float32)
    amp, total = 1.0, 0.0
    for o in range(octaves):
        c = cells * (2 ** o)
        g = r.uniform(-1, 1, (c, c)).astype(np.float32)
        t = (np.arange(n, dtype=np.float32) + 0.5) * c / n
        i0 = np.floor(t).astype(int) % c
        i1 = (i0 + 1) % c
        f = t - np.floor(t)
        f = f * f * (3 - 2 * f)
        gy0 = g[i0]  # rows
        gy1 = g[i1]
        rows = gy0 * (1 - f)[:, None] + gy1 * f[:, None]
        val = rows[:, i0] * (1 - f)[None, :] + rows[:, i1] * f[None, :]
        out += amp * val
        total += amp
        amp *= 0.5
    return out / total


def wrap_dist(x, y, px, py, n):
    dx = np.abs(x - px)
    dy = np.abs(y - py)
    dx = np.minimum(dx, n - dx)
    dy = np.minimum(dy, n - dy)
    return np.sqrt(dx * dx + dy * dy)


def voronoi(n, points):
    """Nearest and second-nearest distances to a set of points, wrapping around the square."""
    x, y = L.grid(n, n)
    d1 = np.full((n, n), 1e9, dtype=np.float32)
    d2 = np.full((n, n), 1e9, dtype=np.float32)
    idx = np.zeros((n, n), dtype=np.int32)
    for k, (px, py) in enumerate(points):
        d = wrap_dist(x, y, px, py, n)
        closer = d < d1
        d2 = np.where(closer, d1, np.minimum(d2, d))
        idx = np.where(closer, k, idx)
        d1 = np.where(closer, d, d1)
    return d1, d2, idx


def smoothstep(e0, e1, v):
    t = np.clip((v - e0) / (e1 - e0), 0, 1)
    return t * t * (3 - 2 * t)


def seam_h(v, period, width):
    """1 away from seams, 0 in a groove of `width` at every multiple of `period` (v in pixels)."""
    d = np.abs(((v + period / 2) % period) - period / 2)
    return smoothstep(width * 0.5, width * 1.4, d)


def rivets(x, y, spots, r):
    """Height bumps (0..1) of round rivets at the given spots, wrapping."""
    h = np.zeros_like(x)
    for px, py in spots:
        d = wrap_dist(x, y, px, py, N)
        h = np.maximum(h, np.clip(1 - (d / r) ** 2, 0, 1) ** 0.5)
    return h


# --- the eight block types: each returns (colour HxWx3 0..1, height HxW 0..1) ----------------------

def teal_metal():
    x, y = L.grid(N, N)
    grooves = seam_h(x, N / 2, 3 * S) * seam_h(y, N / 2, 3 * S)
    brushed = periodic_noise(N, 2, 11, 2) * 0.15 + periodic_noise(N, 16, 12, 1)[:, :] * 0.04
    bolts = rivets(x, y, [(N / 2 * i + 5 * S, N / 2 * j + 5 * S) for i in (0, 1) for j in (0, 1)] +
                   [(N / 2 * i + N / 2 - 5 * S, N / 2 * j + 5 * S) for i in (0, 1) for j in (0, 1)] +
                   [(N / 2 * i + 5 * S, N / 2 * j + N / 2 - 5 * S) for i in (0, 1) for j in (0, 1)] +
                   [(N / 2 * i + N / 2 - 5 * S, N / 2 * j + N / 2 - 5 * S) for i in (0, 1) for j in (0, 1)],
                   1.6 * S)
    h = 0.55 * grooves + 0.25 * bolts + brushed * grooves
    col = L.mix((22, 132, 140), (70, 210, 205), np.clip(0.5 + brushed * 2, 0, 1))
    col = L.mix(col, (200, 250, 245), bolts * 0.6)
    return col, h


def orange_brick():
    x, y = L.grid(N, N)
    bh = N / 4
    row = np.floor(y / bh)
    xo = x + (row % 2) * (N / 4)
    mortar = seam_h(xo, N / 2, 3 * S) * seam_h(y, bh, 3 * S)
    grain = periodic_noise(N, 4, 21, 3)
    # each brick a slightly different shade
    bid = (np.floor(xo / (N / 2)) % 2) + row * 2
    shade = (np.sin(bid * 12.9898) * 43758.5453) % 1.0
    col = L.mix((186, 78, 24), (246, 140, 52), np.clip(shade * 0.7 + grain * 0.4 + 0.2, 0, 1))
    col = L.mix((92, 62, 52), col, mortar)
    h = mortar * (0.8 + grain * 0.1)
    return col, h


def purple_crystal():
    x, y = L.grid(N, N)
    r = rng(31)
    pts = [(r.uniform(0, N), r.uniform(0, N)) for _ in range(9)]
    d1, d2, idx = voronoi(N, pts)
    edge = smoothstep(0, 3.5 * S, d2 - d1)
    facet = (np.sin(idx * 7.31) * 0.5 + 0.5)
    # each facet is a tilted plane: height falls off from its own seed
    h = edge * (0.7 - 0.25 * (d1 / (N / 3))) + 0.1 * facet
    col = L.mix((96, 40, 168), (196, 120, 255), np.clip(facet * 0.8 + 0.1, 0, 1))
    sparkle = np.clip(1 - d1 / (3 * S), 0, 1) ** 2
    col = L.mix(col, (250, 220, 255), sparkle * 0.7)
    col = L.mix((50, 20, 90), col, edge * 0.8 + 0.2)
    return col, h


def moss_stone():
    x, y = L.grid(N, N)
    r = rng(41)
    pts = []
    for j in range(3):
        for i in range(3):
            pts.append(((i + 0.5 + r.uniform(-0.25, 0.25)) * N / 3, (j + 0.5 + r.uniform(-0.25, 0.25)) * N / 3))
    d1, d2, idx = voronoi(N, pts)
    gap = smoothstep(0.5 * S, 5.0 * S, d2 - d1)
    bump = np.clip(1 - d1 / (N / 3.2), 0, 1) ** 0.6
    grain = periodic_noise(N, 6, 42, 3)
    h = (gap * (0.5 + 0.35 * bump) + grain * 0.05) * 0.6
    stone = L.mix((84, 92, 74), (138, 146, 118), np.clip(0.5 + grain + (np.sin(idx * 3.1) * 0.2), 0, 1))
    moss_amt = np.clip(periodic_noise(N, 3, 43, 3) * 2.2 + 0.45 - (1 - gap) * 0.2, 0, 1)
    moss = L.mix((46, 128, 36), (118, 204, 58), np.clip(grain + 0.5, 0, 1))
    col = L.mix(stone, moss, moss_amt)
    col = L.mix((30, 52, 28), col, gap * 0.85 + 0.15)
    return col, h


def red_hull():
    x, y = L.grid(N, N)
    seam = seam_h(y, N / 2, 2.5 * S) * seam_h(x, N, 2.5 * S)
    riv = rivets(x, y, [(N / 8 * k + N / 16, 4 * S) for k in range(8)] +
                 [(N / 8 * k + N / 16, N / 2 + 4 * S) for k in range(8)], 1.4 * S)
    wear = periodic_noise(N, 4, 51, 3)
    panel_tilt = ((y % (N / 2)) / (N / 2)) * 0.15
    h = seam * (0.6 - panel_tilt) + riv * 0.25
    col = L.mix((150, 26, 32), (222, 60, 52), np.clip(0.55 + wear * 0.8, 0, 1))
    # a pale stripe on the lower plate, like a hull marking
    stripe = smoothstep(-1, 1, np.sin((x + y) * 2 * math.pi / (N / 2))) * \
        ((y % (N / 2)) > N / 2 * 0.55) * ((y % (N / 2)) < N / 2 * 0.8)
    col = L.mix(col, (238, 210, 190), stripe * 0.35)
    col = L.mix(col, (255, 190, 180), riv * 0.5)
    return col, h


def gold_block():
    x, y = L.grid(N, N)
    cx = (x % (N / 2)) - N / 4
    cy = (y % (N / 2)) - N / 4
    dia = np.abs(cx) + np.abs(cy)
    # a raised diamond stud in each quarter
    stud = np.clip(1 - dia / (N / 4.6), 0, 1)
    frame = seam_h(x, N / 2, 2 * S) * seam_h(y, N / 2, 2 * S)
    h = frame * (0.45 + 0.5 * stud ** 0.7)
    shine = np.clip(np.sin((x - y) * 2 * math.pi / N) * 0.5 + 0.5, 0, 1)
    col = L.mix((176, 118, 18), (255, 210, 70), np.clip(0.3 + stud * 0.6 + shine * 0.25, 0, 1))
    col = L.mix((120, 76, 10), col, frame)
    return col, h


def ice_block():
    x, y = L.grid(N, N)
    r = rng(61)
    pts = [(r.uniform(0, N), r.uniform(0, N)) for _ in range(6)]
    d1, d2, idx = voronoi(N, pts)
    crack = 1 - smoothstep(0, 1.6 * S, d2 - d1)
    frost = periodic_noise(N, 8, 62, 3)
    gloss = np.clip(np.sin((x + y * 0.6) * 2 * math.pi / N * 2) * 0.5 + 0.5, 0, 1) ** 6
    h = 0.6 - crack * 0.18 + frost * 0.05
    col = L.mix((120, 190, 235), (210, 245, 255), np.clip(0.5 + frost * 0.9 + np.sin(idx * 5.7) * 0.15, 0, 1))
    col = L.mix(col, (255, 255, 255), gloss * 0.35)
    col = L.mix(col, (70, 130, 190), crack * 0.7)
    return col, h


def grey_rivets():
    x, y = L.grid(N, N)
    riv = rivets(x, y, [(N / 4 * i + N / 8, N / 4 * j + N / 8) for i in range(4) for j in range(4)], 2.0 * S)
    grain = periodic_noise(N, 4, 71, 3)
    seam = seam_h(x, N, 2 * S) * seam_h(y, N, 2 * S)
    h = seam * (0.5 + riv * 0.35 + grain * 0.05)
    col = L.mix((96, 102, 116), (168, 176, 190), np.clip(0.5 + grain * 0.9, 0, 1))
    col = L.mix(col, (228, 232, 240), riv * 0.55)
    col = L.mix((54, 58, 70), col, seam)
    return col, h


BLOCK_TYPES = [teal_metal, orange_brick, purple_crystal, moss_stone, red_hull, gold_block, ice_block, grey_rivets]


def emboss(h, strength):
    """Relief lighting from the top-left, wrapping at the cell edges so it stays seamless."""
    d = S
    gx = np.roll(h, d, axis=1) - np.roll(h, -d, axis=1)
    gy = np.roll(h, d, axis=0) - np.roll(h, -d, axis=0)
    return (gx + gy) * strength


def ledge_tile(col, h):
    light = emboss(h, 1.5)
    c = np.clip(col * (0.78 + 0.45 * h[..., None]) + light[..., None] * 0.9, 0, 1)
    x, y = L.grid(N, N)
    ty = y / S  # final-pixel rows
    # the lip: a white-hot top line, a lighter band, then a thin shadow under it
    top = L.mix(c, np.clip(c * 0.5 + 0.55, 0, 1), np.clip(1 - ty / 6.0, 0, 1)[..., None] * 0.85)
    top = L.mix(top, (255, 255, 255), (ty < 1.6).astype(np.float32) * 0.75)
    top = L.mix(top, (255, 255, 255), ((ty >= 1.6) & (ty < 3.0)).astype(np.float32) * 0.25)
    shadow = ((ty >= 6.0) & (ty < 7.6)).astype(np.float32)
    top = L.mix(top, top * 0.45, shadow)
    # a soft darkening toward the bottom of the block for weight
    top = top * (1.0 - 0.18 * np.clip((ty - 40) / 24, 0, 1))[..., None]
    return top


def wall_tile(col, h):
    light = emboss(h, 0.8)
    grey = col.mean(axis=2, keepdims=True)
    c = col * 0.75 + grey * 0.25               # a touch less saturated
    c = np.clip(c * (0.30 + 0.12 * h[..., None]) + light[..., None] * 0.25, 0, 1)
    night = L.rgb((18, 24, 52))[None, None, :]
    c = c * 0.8 + night * 0.2
    # keep every wall type at about the same darkness, whatever its colour (ice would glow otherwise)
    lum = float((c * np.array([0.3, 0.59, 0.11], dtype=np.float32)).sum(axis=2).mean())
    return np.clip(c * np.clip(0.15 / max(lum, 1e-3), 0.6, 1.4), 0, 1)


def make_blocks():
    """Returns build.png: ledges 0-7 then walls 8-15, 64 x 64 each, in one 1024 x 64 row."""
    strip = np.zeros((T, T * 16, 4), dtype=np.float32)
    for k, fn in enumerate(BLOCK_TYPES):
        col, h = fn()
        for variant, maker in ((0, ledge_tile), (1, wall_tile)):
            tile = np.ones((N, N, 4), dtype=np.float32)
            tile[..., :3] = maker(col, h)
            frame = k + 8 * variant
            strip[:, frame * T:(frame + 1) * T] = L.downsample(tile, S)
    return L.to_image(strip)


def make_floor():
    """bottom.png: 64 x 64 ground that repeats sideways: a steel girder deck over packed moon rock."""
    x, y = L.grid(N, N)
    ty = y / S
    grain = periodic_noise(N, 4, 81, 4)
    # rock body with pebbles
    r = rng(82)
    pts = [(r.uniform(0, N), r.uniform(N * 0.3, N)) for _ in range(14)]
    d1, d2, idx = voronoi(N, pts)
    pebble = smoothstep(0.5 * S, 2.5 * S, d2 - d1)
    rock = L.mix((58, 50, 66), (104, 92, 110), np.clip(0.5 + grain * 0.8 + np.sin(idx * 2.3) * 0.2, 0, 1))
    rock = L.mix(rock * 0.55, rock, pebble[..., None] * 1.0)
    rock = rock * (1.0 - 0.35 * np.clip((ty - 16) / 48, 0, 1))[..., None]
    # the deck: a steel band with a bright top edge, rivets and hazard stripes under it
    deck = L.mix((120, 132, 150), (176, 188, 206), np.clip(0.5 + grain * 0.6, 0, 1))
    riv = rivets(x, y, [(N / 4 * i + N / 8, 5 * S) for i in range(4)], 1.5 * S)
    deck = L.mix(deck, (240, 244, 250), riv * 0.7)
    deck = L.mix(deck, (255, 255, 255), (ty < 1.6).astype(np.float32)[..., None] * 0.8)
    deck = L.mix(deck, deck * 0.6, ((ty > 8.5) & (ty < 10)).astype(np.float32)[..., None])
    stripes = ((((x + y) / S) % 16) < 8).astype(np.float32)
    hazard = L.mix((30, 26, 36), (250, 196, 40), stripes)
    c = np.where((ty < 10)[..., None], deck, np.where((ty < 15)[..., None], hazard, rock))
    c = np.where(((ty >= 15) & (ty < 16.5))[..., None], c * 0.4, c)
    tile = np.ones((N, N, 4), dtype=np.float32)
    tile[..., :3] = np.clip(c, 0, 1)
    return L.to_image(L.downsample(tile, S))
