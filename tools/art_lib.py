# art_lib.py -- drawing helpers shared by the art scripts: supersampled layers, masks, shading, saving.
#
# Everything is drawn at SS times the final size into float RGBA arrays (0..1, straight alpha) and
# shrunk with a premultiplied box filter, which gives clean anti-aliased edges. The game loads its
# pictures masked (pure black is see-through), so save() keeps every visible pixel off pure black.
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4  # default supersampling factor

OUTLINE = (22, 16, 34)  # our dark outline: deep violet, never pure black


def rgb(c):
    """A colour tuple (0..255) as a float array of 3 (0..1)."""
    return np.array(c[:3], dtype=np.float32) / 255.0


def new_layer(w, h):
    """An empty float RGBA layer of w x h pixels (already supersampled sizes)."""
    return np.zeros((h, w, 4), dtype=np.float32)


def mask(w, h, draw_fn):
    """Draws with PIL into an 8-bit mask of w x h and returns it as floats 0..1.
    draw_fn(draw) paints with fill=255."""
    im = Image.new("L", (w, h), 0)
    draw_fn(ImageDraw.Draw(im))
    return np.asarray(im, dtype=np.float32) / 255.0


def blur(m, radius):
    """Gaussian blur of a float mask (0..1) through PIL (8 bits are plenty for shading)."""
    if radius <= 0:
        return m
    im = Image.fromarray(np.clip(np.round(m * 255.0), 0, 255).astype(np.uint8), "L")
    return np.asarray(im.filter(ImageFilter.GaussianBlur(radius)), dtype=np.float32) / 255.0


def shift(m, dx, dy):
    """The mask moved by whole pixels (dx right, dy down); uncovered parts are 0."""
    h, w = m.shape[:2]
    out = np.zeros_like(m)
    dx, dy = int(round(dx)), int(round(dy))
    xs0, xs1 = max(0, -dx), min(w, w - dx)
    ys0, ys1 = max(0, -dy), min(h, h - dy)
    if xs0 < xs1 and ys0 < ys1:
        out[ys0 + dy:ys1 + dy, xs0 + dx:xs1 + dx] = m[ys0:ys1, xs0:xs1]
    return out


def dilate(m, r):
    """Grows a mask by a disc of radius r pixels (max over shifted copies)."""
    if r <= 0:
        return m.copy()
    out = m.copy()
    ri = int(math.ceil(r))
    for dy in range(-ri, ri + 1):
        for dx in range(-ri, ri + 1):
            if (dx or dy) and math.hypot(dx, dy) <= r:
                np.maximum(out, shift(m, dx, dy), out=out)
    return out


def erode(m, r):
    return 1.0 - dilate(1.0 - m, r)


def over(dst, colour, m, alpha=1.0):
    """Paints colour (a 3-tuple 0..255, or an HxWx3 float array 0..1) through mask m onto dst in place."""
    a = np.clip(m * alpha, 0.0, 1.0)[..., None]
    if isinstance(colour, np.ndarray) and colour.ndim == 3:
        c = colour
    else:
        c = rgb(colour)[None, None, :]
    da = dst[..., 3:4]
    out_a = a + da * (1.0 - a)
    safe = np.where(out_a > 1e-6, out_a, 1.0)
    dst[..., :3] = (c * a + dst[..., :3] * da * (1.0 - a)) / safe
    dst[..., 3:4] = out_a
    return dst


def over_layer(dst, src, alpha=1.0):
    """Composites a whole RGBA layer onto dst in place."""
    return over(dst, src[..., :3], src[..., 3], alpha)


def grid(w, h):
    """Pixel-centre coordinate arrays (x, y) for a w x h layer."""
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    return x + 0.5, y + 0.5


def mix(a, b, t):
    """Blends two colours (tuples or arrays) by t (scalar or HxW array) into an HxWx3 float array."""
    a = rgb(a) if not isinstance(a, np.ndarray) else a
    b = rgb(b) if not isinstance(b, np.ndarray) else b
    t = np.asarray(t, dtype=np.float32)
    if t.ndim == 2:
        t = t[..., None]
    return a * (1.0 - t) + b * t


def lighten(c, f):
    """Moves a colour toward white by f (0..1); negative f darkens toward black."""
    if f >= 0:
        return tuple(int(round(v + (255 - v) * f)) for v in c[:3])
    return tuple(int(round(v * (1.0 + f))) for v in c[:3])


def shaded_part(dst, m, base, light=0.35, dark=0.35, d=6, outline=OUTLINE, width=0.0, soft=2.0,
                light_dir=(-1.0, -1.0)):
    """Paints a cartoon part: an optional outline of `width`, the base colour, a light rim on the side
    facing the light and a dark rim on the other side (both found by shifting the part's own mask)."""
    if width > 0:
        over(dst, outline, dilate(m, width))
    lx, ly = light_dir
    n = math.hypot(lx, ly)
    lx, ly = lx / n * d, ly / n * d
    lit = np.clip(m - shift(m, -lx, -ly), 0, 1)   # near the edge facing the light
    shade = np.clip(m - shift(m, lx, ly), 0, 1)   # near the edge away from it
    lit = blur(lit, soft) * m
    shade = blur(shade, soft) * m
    col = mix(base, lighten(base, light), lit)
    col = mix(col, lighten(base, -dark), shade)
    over(dst, col, m)
    return dst


def downsample(layer, ss):
    """Shrinks a supersampled layer by ss with a premultiplied box filter."""
    h, w = layer.shape[:2]
    h2, w2 = h // ss, w // ss
    l = layer[:h2 * ss, :w2 * ss]
    pm = l[..., :3] * l[..., 3:4]
    pm = pm.reshape(h2, ss, w2, ss, 3).mean(axis=(1, 3))
    a = l[..., 3].reshape(h2, ss, w2, ss).mean(axis=(1, 3))
    safe = np.where(a > 1e-6, a, 1.0)[..., None]
    out = np.zeros((h2, w2, 4), dtype=np.float32)
    out[..., :3] = pm / safe
    out[..., 3] = a
    return out


def to_image(layer, min_alpha=0):
    """Converts a float layer to an 8-bit RGBA picture ready for our masked loader:
    pixels with alpha <= min_alpha (0..255) become fully transparent black, and every other pixel that
    would be pure black is nudged to a very dark blue so that the mask does not punch holes in it."""
    arr = np.clip(np.round(layer * 255.0), 0, 255).astype(np.uint8)
    a = arr[..., 3]
    clear = a <= min_alpha
    arr[clear] = 0
    black = (~clear) & (arr[..., 0] == 0) & (arr[..., 1] == 0) & (arr[..., 2] == 0)
    arr[black, 0:3] = (2, 2, 6)
    return Image.fromarray(arr, "RGBA")


def save(img, path):
    img.save(path, optimize=True)


def check_masked_safe(img):
    """True when no visible pixel is pure black (the loader would make it transparent)."""
    arr = np.asarray(img.convert("RGBA"))
    vis = arr[..., 3] > 0
    black = (arr[..., 0] == 0) & (arr[..., 1] == 0) & (arr[..., 2] == 0)
    return not np.any(vis & black)


def text_mask(w, h, text, font_path, size, xy, anchor="mm", stroke=0):
    """A mask of a text line drawn with a TrueType font at size (pixels) around xy."""
    font = ImageFont.truetype(font_path, size)
    return mask(w, h, lambda d: d.text(xy, text, font=font, fill=255, anchor=anchor,
                                       stroke_width=stroke, stroke_fill=255))


def polygon_mask(w, h, pts):
    return mask(w, h, lambda d: d.polygon([tuple(p) for p in pts], fill=255))


def ellipse_mask(w, h, cx, cy, rx, ry):
    return mask(w, h, lambda d: d.ellipse([cx - rx, cy - ry, cx + rx, cy + ry], fill=255))


def capsule_mask(w, h, x0, y0, x1, y1, r):
    """A thick line with round ends from (x0, y0) to (x1, y1), radius r."""
    def f(d):
        d.line([(x0, y0), (x1, y1)], fill=255, width=int(round(2 * r)))
        d.ellipse([x0 - r, y0 - r, x0 + r, y0 + r], fill=255)
        d.ellipse([x1 - r, y1 - r, x1 + r, y1 + r], fill=255)
    return mask(w, h, f)


def rounded_rect_mask(w, h, x0, y0, x1, y1, r):
    return mask(w, h, lambda d: d.rounded_rectangle([x0, y0, x1, y1], radius=r, fill=255))


def star_points(cx, cy, r_out, r_in, n=5, rot=-90.0):
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + i * 180.0 / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts
