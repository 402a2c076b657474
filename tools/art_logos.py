# art_logos.py -- the lettered pictures: the game's title logo (252/logo.png), the maker's logo
# (Common/logo.png) and the community site's logo (Common/Velmont.png).
#
# Letters are set from free fonts found on the build machine and then painted by us: gradients,
# outlines, extrusion and gloss. All three sit on dark blue backgrounds in the game, so they are bright
# with dark outlines, on transparent pixels.
import math
import os

import numpy as np
from PIL import ImageFont

import art_lib as L

S = 2

FONT_DIRS = ["/usr/share/fonts/truetype/open-sans", "/usr/share/fonts/opentype/bebas-neue",
             "/usr/share/fonts/truetype/dejavu"]


def find_font(*names):
    for name in names:
        for d in FONT_DIRS:
            path = os.path.join(d, name)
            if os.path.exists(path):
                return path
    raise FileNotFoundError("none of the fonts %s is installed (Debian: fonts-open-sans, fonts-bebas-neue)"
                            % ", ".join(names))


def heavy_font():
    return find_font("OpenSans-ExtraBold.ttf", "OpenSans-Bold.ttf", "DejaVuSans-Bold.ttf")


def display_font():
    return find_font("BebasNeue-Regular.otf", "BebasNeue-Bold.otf", "DejaVuSansCondensed-Bold.ttf")


def letters(w, h, text, font_path, size, x, baseline, spacing=0.0, wave=None):
    """Masks of each letter of a line, set from x along the baseline; wave(i) gives (dy, degrees) per letter.
    Returns a list of (mask, left, right) and the line's end x."""
    font = ImageFont.truetype(font_path, int(size))
    out = []
    pen = x
    for i, ch in enumerate(text):
        adv = font.getlength(ch)
        if ch != " ":
            dy, deg = wave(i) if wave else (0.0, 0.0)
            cx = pen + adv / 2
            m = L.mask(w, h, lambda d, ch=ch, cx=cx, dy=dy: d.text((cx, baseline + dy), ch, font=font, fill=255,
                                                                   anchor="ms"))
            if deg:
                from PIL import Image
                im = Image.fromarray((m * 255).astype(np.uint8), "L")
                im = im.rotate(deg, resample=Image.BICUBIC, center=(cx, baseline + dy - size * 0.35))
                m = np.asarray(im, dtype=np.float32) / 255.0
            out.append((m, pen, pen + adv))
        pen += adv + spacing
    return out, pen


def line_width(text, font_path, size, spacing=0.0):
    font = ImageFont.truetype(font_path, int(size))
    return sum(font.getlength(ch) for ch in text) + spacing * (len(text) - 1)


def crop_to_content(layer, pad):
    """Trims transparent borders, keeping `pad` pixels around the content."""
    a = layer[..., 3] > 0.002
    ys, xs = np.nonzero(a)
    if len(xs) == 0:
        return layer
    y0, y1 = max(0, ys.min() - pad), min(layer.shape[0], ys.max() + pad + 1)
    x0, x1 = max(0, xs.min() - pad), min(layer.shape[1], xs.max() + pad + 1)
    return layer[y0:y1, x0:x1]


def fit_even(layer, ss):
    """Pads a layer so both sides divide by the supersampling factor."""
    h, w = layer.shape[:2]
    h2, w2 = -(-h // ss) * ss, -(-w // ss) * ss
    out = np.zeros((h2, w2, 4), dtype=np.float32)
    out[(h2 - h) // 2:(h2 - h) // 2 + h, (w2 - w) // 2:(w2 - w) // 2 + w] = layer
    return out


def shrink(layer, max_w):
    """Scales a finished layer down (premultiplied, Lanczos) so that it is at most max_w wide."""
    h, w = layer.shape[:2]
    if w <= max_w:
        return layer
    from PIL import Image
    nw, nh = max_w, int(round(h * max_w / w))
    pm = layer.copy()
    pm[..., :3] *= pm[..., 3:4]
    chans = [np.asarray(Image.fromarray(pm[..., k].astype(np.float32), "F").resize((nw, nh), Image.LANCZOS))
             for k in range(4)]
    out = np.clip(np.stack(chans, axis=-1), 0, 1)
    a = np.where(out[..., 3:4] > 1e-6, out[..., 3:4], 1.0)
    out[..., :3] = np.clip(out[..., :3] / a, 0, 1)
    return out


def chunky_word(layer, glyphs, top, bottom, grad_top, grad_bottom, outline, depth):
    """Paints letters as chunky toy letters: a dark extruded side, a thick outline, a gradient face
    with a gloss band on its upper half."""
    h, w = layer.shape[:2]
    x, y = L.grid(w, h)
    t = np.clip((y - top) / max(1.0, bottom - top), 0, 1)
    face_col = L.mix(grad_top, grad_bottom, t)
    union = np.zeros((h, w), dtype=np.float32)
    for m, _, _ in glyphs:
        np.maximum(union, m, out=union)
    fat = L.dilate(union, outline)
    # extrusion: the outlined shape repeated downward and to the right
    for k in range(int(depth), 0, -max(1, int(depth // 8))):
        L.over(layer, (40, 20, 80), L.shift(fat, k * 0.35, k))
    L.over(layer, L.OUTLINE, L.shift(fat, depth * 0.35, depth))
    L.over(layer, L.OUTLINE, fat)
    L.over(layer, face_col, union)
    # inner shade at the lower edge of each letter, and a gloss on the upper half
    lower = np.clip(union - L.shift(union, 0, -3 * S), 0, 1)
    L.over(layer, L.lighten(tuple(int(v * 255) for v in L.rgb(grad_bottom)), -0.35), L.blur(lower, S) * union,
           alpha=0.6)
    gloss_zone = (y < top + (bottom - top) * 0.42).astype(np.float32)
    gloss = L.erode(union, 2.5 * S) * gloss_zone
    L.over(layer, (255, 255, 255), L.blur(gloss, 0.8 * S), alpha=0.38)
    return union


def sparkle(layer, cx, cy, r, alpha=1.0):
    h, w = layer.shape[:2]
    m = L.polygon_mask(w, h, L.star_points(cx, cy, r, r * 0.22, 4, -90))
    L.over(layer, L.OUTLINE, L.dilate(m, 1.2 * S), alpha=alpha)
    L.over(layer, (255, 255, 230), m, alpha=alpha)


def make_game_logo():
    """The title 'Vodod Pilko' in chunky bouncing letters, with the subtitle on a ribbon below."""
    w, h = 860 * S, 330 * S
    layer = L.new_layer(w, h)
    font = heavy_font()
    size = 118 * S
    total = line_width("Vodod Pilko", font, size, spacing=2 * S)
    x0 = (w - total) / 2
    base = 150 * S

    def wave(i):
        return (math.sin(i * 1.25) * 7 * S, math.sin(i * 1.25 + 1.2) * 4.0)

    glyphs, _ = letters(w, h, "Vodod Pilko", font, size, x0, base, spacing=2 * S, wave=wave)
    split = x0 + line_width("Vodod", font, size, 2 * S)
    warm = [g for g in glyphs if g[1] < split]
    cool = [g for g in glyphs if g[1] >= split]
    top, bottom = base - size * 0.78, base + 6 * S
    chunky_word(layer, warm, top, bottom, (255, 244, 120), (255, 120, 20), 5 * S, 10 * S)
    chunky_word(layer, cool, top, bottom, (150, 250, 255), (60, 110, 255), 5 * S, 10 * S)

    # ribbon with the subtitle
    sub = "devuze the Vornspires"
    dfont = display_font()
    ssize = 46 * S
    sw = line_width(sub, dfont, ssize, spacing=2 * S)
    rx0, rx1 = (w - sw) / 2 - 34 * S, (w + sw) / 2 + 34 * S
    ry0, ry1 = 196 * S, 250 * S
    # ribbon tails, then the band, gently curved
    for side in (-1, 1):
        ex = rx0 if side < 0 else rx1
        tail = [(ex - side * 4 * S, ry0 + 12 * S), (ex + side * 34 * S, ry0 + 12 * S),
                (ex + side * 20 * S, (ry0 + ry1) / 2 + 12 * S), (ex + side * 34 * S, ry1 + 12 * S),
                (ex - side * 4 * S, ry1 + 12 * S)]
        tm = L.polygon_mask(w, h, tail)
        L.over(layer, L.OUTLINE, L.dilate(tm, 2.5 * S))
        L.over(layer, (20, 110, 130), tm)
    band = L.rounded_rect_mask(w, h, rx0, ry0, rx1, ry1, 6 * S)
    L.over(layer, L.OUTLINE, L.dilate(band, 2.5 * S))
    x, y = L.grid(w, h)
    L.over(layer, L.mix((60, 220, 210), (20, 140, 160), np.clip((y - ry0) / (ry1 - ry0), 0, 1)), band)
    L.over(layer, (255, 255, 255), band * ((y > ry0 + 3 * S) & (y < ry0 + 6 * S)), alpha=0.35)
    sg, _ = letters(w, h, sub, dfont, ssize, (w - sw) / 2, ry1 - 9 * S, spacing=2 * S)
    sm = np.zeros((h, w), dtype=np.float32)
    for m, _, _ in sg:
        np.maximum(sm, m, out=sm)
    L.over(layer, L.OUTLINE, L.shift(L.dilate(sm, 1.5 * S), 1 * S, 2 * S), alpha=0.8)
    L.over(layer, (255, 255, 255), sm)

    for cx, cy, r in ((60, 60, 18), (800, 40, 14), (770, 175, 10), (95, 185, 9), (450, 20, 8)):
        sparkle(layer, cx * S, cy * S, r * S)
    layer = fit_even(crop_to_content(layer, 4 * S), S)
    return L.to_image(L.downsample(layer, S), min_alpha=3)


def make_maker_logo():
    """Tobrisk: a ringed planet with a T monogram above the name set in a tall display face."""
    w, h = 380 * S, 270 * S
    layer = L.new_layer(w, h)
    x, y = L.grid(w, h)
    cx, cy, r = w / 2, 88 * S, 62 * S
    # the ring behind the planet
    ring_back = L.mask(w, h, lambda d: d.ellipse([cx - 118 * S, cy - 24 * S, cx + 118 * S, cy + 24 * S],
                                                 outline=255, width=int(9 * S)))
    behind = (y < cy).astype(np.float32)
    L.over(layer, L.OUTLINE, L.dilate(ring_back * behind, 2.5 * S))
    L.over(layer, (230, 120, 40), ring_back * behind)
    planet = L.ellipse_mask(w, h, cx, cy, r, r)
    L.over(layer, L.OUTLINE, L.dilate(planet, 3 * S))
    d = np.hypot(x - (cx - r * 0.35), y - (cy - r * 0.4)) / (r * 1.7)
    L.over(layer, L.mix((255, 200, 90), (200, 60, 30), np.clip(d, 0, 1)), planet)
    # bands across the planet
    for k, by in enumerate((-30, -8, 18, 40)):
        band = planet * (np.abs(y - (cy + by * S + np.sin((x - cx) / (20 * S)) * 3 * S)) < (5 - k % 2 * 2) * S)
        L.over(layer, (255, 240, 200), band, alpha=0.25)
    # the monogram
    tm = L.text_mask(w, h, "T", heavy_font(), 96 * S, (cx, cy + 4 * S), anchor="mm")
    L.over(layer, L.OUTLINE, L.shift(L.dilate(tm, 3 * S), 2 * S, 3 * S), alpha=0.6)
    L.over(layer, L.OUTLINE, L.dilate(tm, 2.5 * S))
    L.over(layer, L.mix((255, 255, 255), (255, 230, 200), np.clip((y - cy + 40 * S) / (80 * S), 0, 1)), tm)
    # the ring in front
    front = (y >= cy).astype(np.float32)
    L.over(layer, L.OUTLINE, L.dilate(ring_back * front, 2.5 * S))
    L.over(layer, L.mix((255, 180, 80), (230, 100, 30), np.clip((x - cx + 118 * S) / (236 * S), 0, 1)),
           ring_back * front)
    gloss = L.ellipse_mask(w, h, cx - r * 0.3, cy - r * 0.45, r * 0.45, r * 0.25) * planet
    L.over(layer, (255, 255, 255), L.blur(gloss, 3 * S), alpha=0.35)
    # the name
    font = display_font()
    size = 92 * S
    name = "TOBRISK"
    nw = line_width(name, font, size, spacing=6 * S)
    glyphs, _ = letters(w, h, name, font, size, (w - nw) / 2, 250 * S, spacing=6 * S)
    nm = np.zeros((h, w), dtype=np.float32)
    for m, _, _ in glyphs:
        np.maximum(nm, m, out=nm)
    top = 250 * S - size * 0.72
    L.over(layer, L.OUTLINE, L.shift(L.dilate(nm, 3 * S), 3 * S, 4 * S))
    L.over(layer, L.OUTLINE, L.dilate(nm, 3 * S))
    t = np.clip((y - top) / (size * 0.72), 0, 1)
    chrome = L.mix((255, 255, 255), (170, 190, 220), np.clip(t * 2, 0, 1))
    chrome = np.where((t > 0.5)[..., None], L.mix((90, 110, 160), (220, 235, 255), np.clip((t - 0.5) * 2, 0, 1)),
                      chrome)
    L.over(layer, chrome, nm)
    layer = fit_even(crop_to_content(layer, 4 * S), S)
    return L.to_image(L.downsample(layer, S), min_alpha=3)


def make_site_logo():
    """Velmont: a pair of chat bubbles beside the name in a bold slanted face."""
    w, h = 580 * S, 170 * S
    layer = L.new_layer(w, h)
    x, y = L.grid(w, h)
    # two overlapping speech bubbles
    b2 = np.maximum(L.rounded_rect_mask(w, h, 58 * S, 40 * S, 138 * S, 100 * S, 22 * S),
                    L.polygon_mask(w, h, [(112 * S, 96 * S), (130 * S, 122 * S), (96 * S, 98 * S)]))
    L.over(layer, L.OUTLINE, L.dilate(b2, 3 * S))
    L.over(layer, L.mix((120, 240, 140), (30, 160, 90), np.clip((y - 40 * S) / (70 * S), 0, 1)), b2)
    b1 = np.maximum(L.rounded_rect_mask(w, h, 10 * S, 18 * S, 100 * S, 84 * S, 24 * S),
                    L.polygon_mask(w, h, [(30 * S, 80 * S), (18 * S, 108 * S), (50 * S, 82 * S)]))
    L.over(layer, L.OUTLINE, L.dilate(b1, 3 * S))
    L.over(layer, L.mix((120, 230, 255), (30, 120, 220), np.clip((y - 18 * S) / (70 * S), 0, 1)), b1)
    for k in range(3):
        dot = L.ellipse_mask(w, h, (34 + k * 21) * S, 51 * S, 7 * S, 7 * S)
        L.over(layer, (255, 255, 255), dot)
    gloss = L.rounded_rect_mask(w, h, 20 * S, 23 * S, 90 * S, 36 * S, 6 * S) * b1
    L.over(layer, (255, 255, 255), gloss, alpha=0.3)
    # the name, slanted
    font = heavy_font()
    size = 84 * S
    tm = L.text_mask(w, h, "Velmont", font, size, (150 * S, 112 * S), anchor="ls")
    from PIL import Image
    im = Image.fromarray((tm * 255).astype(np.uint8), "L")
    im = im.transform(im.size, Image.AFFINE, (1, 0.18, -112 * S * 0.18, 0, 1, 0), resample=Image.BICUBIC)
    tm = np.asarray(im, dtype=np.float32) / 255.0
    L.over(layer, L.OUTLINE, L.shift(L.dilate(tm, 3 * S), 3 * S, 4 * S))
    L.over(layer, L.OUTLINE, L.dilate(tm, 3 * S))
    t = np.clip((y - 50 * S) / (64 * S), 0, 1)
    L.over(layer, L.mix((255, 255, 255), (150, 240, 200), t), tm)
    # a small tag line under the name
    sm = L.text_mask(w, h, "GAMES  COMMUNITY", display_font(), 28 * S, (156 * S, 146 * S), anchor="ls")
    L.over(layer, L.OUTLINE, L.dilate(sm, 2 * S))
    L.over(layer, (120, 230, 255), sm)
    layer = fit_even(crop_to_content(layer, 4 * S), S)
    return L.to_image(shrink(L.downsample(layer, S), 420), min_alpha=3)
