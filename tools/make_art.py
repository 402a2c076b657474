#!/usr/bin/python3
# make_art.py -- draws every picture of the game into data/Files: the common icons and logos, and the
# game's hero, blocks, floor, rock, title logo, star and badges. Run with Debian's Python, which has
# PIL and numpy (python3-pil, python3-numpy):  /usr/bin/python3 tools/make_art.py [only-these-names]
#
# The pictures are loaded masked by the game (pure black is see-through), so every visible pixel is
# kept off pure black; frame layouts are checked before anything is written.
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__ folders
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import art_lib as L  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
COMMON = os.path.join(ROOT, "data", "Files", "Common")
GAME = os.path.join(ROOT, "data", "Files", "252")


def icons():
    import art_icons
    return art_icons.make_icons()


def badges():
    import art_badges
    return art_badges.make_badges()


def hero():
    import art_hero
    return art_hero.make_hero()


def blocks():
    import art_tiles
    return art_tiles.make_blocks()


def floor():
    import art_tiles
    return art_tiles.make_floor()


def rock():
    import art_space
    return art_space.make_rock()


def star():
    import art_space
    return art_space.make_star()


def game_logo():
    import art_logos
    return art_logos.make_game_logo()


def maker_logo():
    import art_logos
    return art_logos.make_maker_logo()


def site_logo():
    import art_logos
    return art_logos.make_site_logo()


# name: (folder, file, maker, exact size or None, allowed size range for free-form pictures)
PICTURES = {
    "icons": (COMMON, "icons.png", icons, (1024, 16), None),
    "maker_logo": (COMMON, "logo.png", maker_logo, None, ((256, 520), (120, 420))),
    "site_logo": (COMMON, "Velmont.png", site_logo, None, ((256, 500), (100, 500))),
    "badges": (GAME, "badges.png", badges, (1024, 64), None),
    "hero": (GAME, "pilko.png", hero, (1024, 1024), None),
    "blocks": (GAME, "build.png", blocks, (1024, 64), None),
    "floor": (GAME, "bottom.png", floor, (64, 64), None),
    "rock": (GAME, "arock.png", rock, (256, 256), None),
    "game_logo": (GAME, "logo.png", game_logo, None, ((600, 820), (150, 400))),
    "star": (GAME, "star.png", star, (64, 64), None),
}


def main(argv):
    wanted = argv[1:] or list(PICTURES)
    unknown = [n for n in wanted if n not in PICTURES]
    if unknown:
        print("unknown picture(s): %s; known: %s" % (", ".join(unknown), ", ".join(PICTURES)))
        return 2
    for d in (COMMON, GAME):
        os.makedirs(d, exist_ok=True)
    failed = False
    for name in wanted:
        folder, file_name, maker, exact, bounds = PICTURES[name]
        img = maker()
        w, h = img.size
        if exact and (w, h) != exact:
            print("%s: %dx%d, expected %dx%d -- not written" % (file_name, w, h, exact[0], exact[1]))
            failed = True
            continue
        if bounds and not (bounds[0][0] <= w <= bounds[0][1] and bounds[1][0] <= h <= bounds[1][1]):
            print("%s: %dx%d is outside the planned size -- not written" % (file_name, w, h))
            failed = True
            continue
        if img.mode != "RGBA" or not L.check_masked_safe(img):
            print("%s: has visible pure black pixels -- not written" % file_name)
            failed = True
            continue
        path = os.path.join(folder, file_name)
        L.save(img, path)
        print("wrote %s (%dx%d)" % (os.path.relpath(path, ROOT), w, h))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
