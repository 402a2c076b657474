# art_hero.py -- Pilko the space monkey (pilko.png): 64 frames of 128 x 128 in an 8 x 8 grid.
#
# Frames 0-6 are the walking cycle (frame 0 doubles as the standing pose), 11 is the rising jump
# picture and 12 the falling one; every other frame repeats the standing pose. Pilko faces right,
# his boots touch the bottom of the cell (the game stands the cell's bottom on the ledge) and his
# body keeps to the middle 64 x 100 pixels. Each pose is drawn at 4x from simple parts and shrunk.
import math

import numpy as np

import art_lib as L

CELL = 128
S = 4
N = CELL * S

SUIT = (236, 240, 250)
ACCENT = (255, 138, 28)
FUR = (150, 92, 50)
FUR_DARK = (112, 66, 36)
FACE = (248, 206, 162)
METAL = (128, 150, 186)
GLASS = (170, 222, 255)
PUPIL = (34, 26, 46)

OUT_W = 1.15 * S  # outline width in supersampled pixels


def p(v):
    return v * S


def rot(x, y, deg):
    """Offset (x, y) rotated by deg degrees (positive turns a downward vector to the right, i.e. forward)."""
    a = math.radians(deg)
    return x * math.cos(a) + y * math.sin(a), -x * math.sin(a) + y * math.cos(a)


def limb_end(x, y, length, deg):
    """End of a limb hanging from (x, y), swung forward by deg degrees from straight down."""
    dx, dy = rot(0, length, deg)
    return x + dx, y + dy


def ellipse_poly(cx, cy, rx, ry, deg=0.0, steps=40):
    a = math.radians(deg)
    pts = []
    for k in range(steps):
        t = 2 * math.pi * k / steps
        ex, ey = rx * math.cos(t), ry * math.sin(t)
        pts.append((cx + ex * math.cos(a) - ey * math.sin(a), cy + ex * math.sin(a) + ey * math.cos(a)))
    return pts


def m_ellipse(cx, cy, rx, ry=None, deg=0.0):
    ry = rx if ry is None else ry
    if deg == 0:
        return L.ellipse_mask(N, N, p(cx), p(cy), p(rx), p(ry))
    return L.polygon_mask(N, N, [(p(x), p(y)) for x, y in ellipse_poly(cx, cy, rx, ry, deg)])


def m_capsule(x0, y0, x1, y1, r):
    return L.capsule_mask(N, N, p(x0), p(y0), p(x1), p(y1), p(r))


def m_chain(pts, r0, r1):
    """A tapering tube through a list of points (radius r0 at the start to r1 at the end)."""
    m = np.zeros((N, N), dtype=np.float32)
    for k in range(len(pts) - 1):
        t = k / max(1, len(pts) - 2)
        r = r0 + (r1 - r0) * t
        np.maximum(m, m_capsule(pts[k][0], pts[k][1], pts[k + 1][0], pts[k + 1][1], r), out=m)
    return m


def bezier(p0, p1, p2, p3, steps=24):
    pts = []
    for k in range(steps + 1):
        t = k / steps
        a, b, c, d = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t ** 2, t ** 3
        pts.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0], a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return pts


def part(layer, m, colour, light=0.35, dark=0.35, outline=True):
    L.shaded_part(layer, m, colour, light=light, dark=dark, d=p(2.2), width=OUT_W if outline else 0,
                  soft=p(0.9))


class Pose:
    """Angles in degrees from straight down, positive = forward (to the right)."""

    def __init__(self, leg_f=0.0, leg_b=0.0, knee_f=0.0, knee_b=0.0, arm_f=0.0, arm_b=0.0,
                 elbow_f=0.0, elbow_b=0.0, tail=0.0, tail_up=0.0, bob=0.0, lift=0.0, blink=False):
        self.__dict__.update(locals())
        del self.__dict__["self"]


def leg(layer, hip, thigh_deg, knee_deg, colour, boot_colour):
    """A leg from the hip: thigh, shin bent back by knee_deg, and a boot with its toe forward."""
    knee = limb_end(hip[0], hip[1], 8.0, thigh_deg)
    ankle = limb_end(knee[0], knee[1], 7.5, thigh_deg - knee_deg)
    m = np.maximum(m_capsule(hip[0], hip[1], knee[0], knee[1], 4.6),
                   m_capsule(knee[0], knee[1], ankle[0], ankle[1], 4.2))
    part(layer, m, colour)
    shin = thigh_deg - knee_deg
    # boot: a rounded wedge pointing forward along the ground (tilted with the shin)
    bx, by = ankle[0] + 2.6, ankle[1] + 2.4
    boot = m_ellipse(bx, by, 6.6, 4.3, deg=-shin * 0.45)
    part(layer, boot, boot_colour)
    return ankle


def arm(layer, shoulder, deg, elbow, colour, glove_colour):
    el = limb_end(shoulder[0], shoulder[1], 7.5, deg)
    hand = limb_end(el[0], el[1], 7.0, deg + elbow)
    m = np.maximum(m_capsule(shoulder[0], shoulder[1], el[0], el[1], 3.9),
                   m_capsule(el[0], el[1], hand[0], hand[1], 3.6))
    part(layer, m, colour)
    part(layer, m_ellipse(hand[0], hand[1], 4.3), glove_colour)


def lowest_foot(hip_y, pose):
    """How far below the hip the lower boot's sole reaches, for standing the pose on the ground."""
    best = 0.0
    for thigh, knee in ((pose.leg_f, pose.knee_f), (pose.leg_b, pose.knee_b)):
        ky = rot(0, 8.0, thigh)[1]
        ay = rot(0, 7.5, thigh - knee)[1]
        best = max(best, ky + ay + 2.4 + 4.3)
    return best


def draw_pose(pose):
    layer = L.new_layer(N, N)
    # stand the lower boot on the bottom row of the cell unless the pose is airborne (lift)
    foot = lowest_foot(0, pose)
    hip_y = 127.2 - foot - pose.lift
    body_y = hip_y - 107.0 + pose.bob  # vertical shift applied to everything above the hips
    hip_f = (67.0, hip_y)
    hip_b = (58.5, hip_y - 0.5)

    # tail: from the lower back, out behind and curling up at the tip
    tx = 47.0
    ty = 101.0 + body_y
    sway = pose.tail
    up = pose.tail_up
    tail_pts = bezier((tx, ty), (tx - 12, ty + 4 - up * 0.3), (tx - 22 + sway * 0.4, ty - 10 - up),
                      (tx - 15 + sway, ty - 24 - up * 1.2), 20)
    # the curl at the tip
    ex, ey = tail_pts[-1]
    curl = [(ex + 4.2 - 4.2 * math.cos(a), ey - 4.2 * math.sin(a)) for a in np.linspace(0, 1.5 * math.pi, 10)]
    part(layer, m_chain(tail_pts + curl[1:], 2.9, 2.2), FUR, light=0.3, dark=0.3)

    # air tank on the back, behind the far arm
    tank = L.rounded_rect_mask(N, N, p(37.5), p(77 + body_y), p(50), p(101 + body_y), p(4.5))
    part(layer, tank, (206, 214, 232))
    L.over(layer, ACCENT, L.rounded_rect_mask(N, N, p(38.5), p(85 + body_y), p(49), p(89 + body_y), p(1)))

    back_suit = L.lighten(SUIT, -0.22)
    back_accent = L.lighten(ACCENT, -0.22)
    # back arm and back leg first, in a darker shade for depth
    arm(layer, (55.0, 84.0 + body_y), pose.arm_b, pose.elbow_b, back_suit, back_accent)
    leg(layer, hip_b, pose.leg_b, pose.knee_b, back_suit, back_accent)
    leg(layer, hip_f, pose.leg_f, pose.knee_f, SUIT, ACCENT)

    # torso: a soft egg with a belt and a chest light
    torso = m_ellipse(62.5, 92.5 + body_y, 14.5, 16.0)
    part(layer, torso, SUIT)
    belt = L.rounded_rect_mask(N, N, p(48), p(100 + body_y), p(77), p(104.5 + body_y), p(1.5)) * torso
    L.over(layer, ACCENT, belt)
    L.over(layer, L.lighten(ACCENT, 0.35), L.rounded_rect_mask(N, N, p(48), p(100 + body_y), p(77),
                                                                 p(101.2 + body_y), p(0.6)) * torso)
    badge = m_ellipse(69.5, 88.5 + body_y, 3.4)
    L.over(layer, L.OUTLINE, L.dilate(badge, p(0.8)))
    L.over(layer, (80, 220, 255), badge)
    L.over(layer, (230, 252, 255), m_ellipse(68.6, 87.6 + body_y, 1.2))

    # helmet: metal collar ring, the monkey's head, then the glass bubble over it
    hx, hy, hr = 64.5, 53.0 + body_y, 24.5
    collar = m_ellipse(63.5, 76.5 + body_y, 15.5, 4.6)
    part(layer, collar, METAL, light=0.5, dark=0.3)
    draw_head(layer, hx + 1.5, hy + 2.0, pose)
    bubble = m_ellipse(hx, hy, hr)
    ring = np.clip(bubble - L.erode(bubble, p(1.1)), 0, 1)
    glass = np.zeros_like(layer)
    x, y = L.grid(N, N)
    # glass: a faint blue body, darker toward the lower right, with bright reflections
    dist = np.hypot(x - p(hx - 7), y - p(hy - 8)) / p(hr * 1.6)
    L.over(glass, L.mix(GLASS, (90, 150, 220), np.clip(dist, 0, 1)), bubble, alpha=0.28)
    hl = np.clip(m_ellipse(hx - 8.5, hy - 10.5, 9.5, 6.0, deg=-35) - m_ellipse(hx - 6.5, hy - 8.0, 9.5, 6.5, deg=-35), 0, 1)
    L.over(glass, (255, 255, 255), L.blur(hl, p(0.35)) * bubble, alpha=0.9)
    L.over(glass, (255, 255, 255), m_ellipse(hx + 13.5, hy + 11.5, 2.0, 1.4, deg=-40), alpha=0.75)
    L.over(glass, (255, 255, 255), m_ellipse(hx - 15.0, hy - 1.0, 1.2, 2.4, deg=15), alpha=0.6)
    L.over(glass, (220, 240, 255), ring, alpha=0.85)
    L.over(layer, L.OUTLINE, np.clip(L.dilate(bubble, OUT_W) - bubble, 0, 1))
    L.over_layer(layer, glass)

    # front arm last, over the body
    arm(layer, (66.5, 84.0 + body_y), pose.arm_f, pose.elbow_f, SUIT, ACCENT)
    return L.downsample(layer, S)


def draw_head(layer, cx, cy, pose):
    """The monkey inside the helmet, three-quarter view toward the right."""
    # ear at the back of the head
    ear = m_ellipse(cx - 15.5, cy + 0.5, 5.8, 6.2)
    part(layer, ear, FUR)
    L.over(layer, L.lighten(FACE, -0.08), m_ellipse(cx - 15.3, cy + 0.8, 3.3, 3.8))
    head = m_ellipse(cx, cy, 17.0, 16.0)
    part(layer, head, FUR)
    # tuft of hair on top
    tuft = L.polygon_mask(N, N, [(p(cx - 4), p(cy - 14)), (p(cx - 1), p(cy - 21)), (p(cx + 1), p(cy - 15)),
                                 (p(cx + 5), p(cy - 19.5)), (p(cx + 5.5), p(cy - 13))])
    part(layer, tuft, FUR)
    L.over(layer, FUR, m_ellipse(cx, cy, 16.0, 15.0))
    # face: two eye patches and a muzzle, shifted forward
    face = np.maximum(np.maximum(m_ellipse(cx + 1.5, cy - 2.0, 7.2, 8.0), m_ellipse(cx + 11.0, cy - 2.0, 6.2, 7.6)),
                      m_ellipse(cx + 8.0, cy + 6.5, 10.5, 7.6))
    part(layer, face, FACE, light=0.25, dark=0.18, outline=False)
    # eyes: big, looking ahead
    for ex, ey, rx, ry in ((cx + 2.2, cy - 2.5, 4.2, 5.2), (cx + 11.6, cy - 2.5, 3.6, 5.0)):
        if pose.blink:
            L.over(layer, PUPIL, m_capsule(ex - rx * 0.8, ey + 1, ex + rx * 0.8, ey + 1, 0.8))
            continue
        white = m_ellipse(ex, ey, rx, ry)
        L.over(layer, L.OUTLINE, L.dilate(white, p(0.7)))
        L.over(layer, (255, 255, 255), white)
        L.over(layer, PUPIL, m_ellipse(ex + rx * 0.38, ey + 0.6, rx * 0.58, ry * 0.6) * white)
        L.over(layer, (255, 255, 255), m_ellipse(ex + rx * 0.55, ey - 1.0, 1.0))
    # nose and smile
    L.over(layer, FUR_DARK, m_ellipse(cx + 13.2, cy + 4.4, 0.9, 0.7))
    L.over(layer, FUR_DARK, m_ellipse(cx + 15.8, cy + 4.2, 0.9, 0.7))
    smile = L.mask(N, N, lambda d: d.arc([p(cx + 5.5), p(cy + 3.0), p(cx + 16.5), p(cy + 10.5)], 20, 140,
                                          fill=255, width=int(p(1.1))))
    L.over(layer, FUR_DARK, smile)
    # cheek blush
    L.over(layer, (255, 150, 140), m_ellipse(cx + 3.0, cy + 6.0, 2.4, 1.6), alpha=0.45)


def walk_pose(n):
    """Walking frame n of 7; frame 0 has the legs together, so it also serves as the standing pose."""
    ph = 2 * math.pi * n / 7
    s, c = math.sin(ph), math.cos(ph)
    return Pose(leg_f=30 * s, leg_b=-30 * s,
                knee_f=max(0.0, 35 * c) * (1 if s > -0.2 else 0.4), knee_b=max(0.0, -35 * c) * (1 if s < 0.2 else 0.4),
                arm_f=-32 * s, arm_b=32 * s, elbow_f=20 + 10 * max(0, -s), elbow_b=20 + 10 * max(0, s),
                tail=6 * math.sin(ph + 0.8), tail_up=2.5 * abs(math.cos(ph)), bob=-1.2 * abs(c) + 0.6)


def stand_pose():
    return Pose(leg_f=6, leg_b=-6, arm_f=8, arm_b=-6, elbow_f=22, elbow_b=20, tail=0, tail_up=1)


def rise_pose():
    # rising: knees tucked, front arm reaching forward and up, back arm swept back, tail trailing down
    return Pose(leg_f=70, leg_b=20, knee_f=95, knee_b=70, arm_f=100, arm_b=-115, elbow_f=30, elbow_b=-20,
                tail=-10, tail_up=-10, lift=5)


def fall_pose():
    # falling: arms flung up, legs dangling apart, tail whipped up
    return Pose(leg_f=22, leg_b=-14, knee_f=20, knee_b=10, arm_f=105, arm_b=-100, elbow_f=45, elbow_b=-40,
                tail=8, tail_up=8, lift=1)


def make_hero():
    """Returns the 1024 x 1024 sheet (8 columns x 8 rows of 128 x 128 frames)."""
    frames = {}
    stand = draw_pose(walk_pose(0))
    for n in range(7):
        frames[n] = stand if n == 0 else draw_pose(walk_pose(n))
    frames[11] = draw_pose(rise_pose())
    frames[12] = draw_pose(fall_pose())
    sheet = np.zeros((CELL * 8, CELL * 8, 4), dtype=np.float32)
    for k in range(64):
        f = frames.get(k, stand)
        r, c = divmod(k, 8)
        sheet[r * CELL:(r + 1) * CELL, c * CELL:(c + 1) * CELL] = f
    return L.to_image(sheet, min_alpha=10)
