#!/usr/bin/python3
# make_sounds.py -- renders every sound and music track of the game into data/Files
#
# Usage: tools/make_sounds.py [--only NAME ...]   (names: badgeget 002 003 004 005 Theme Ingame)
# Needs numpy and, for the music, oggenc (vorbis-tools). The output is deterministic: the same
# scripts always give the same samples.
import argparse
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import sound_effects   # noqa: E402
import sound_music     # noqa: E402
from sound_synth import write_wav   # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COMMON = os.path.join(ROOT, 'data', 'Files', 'Common')
GAME = os.path.join(ROOT, 'data', 'Files', '252')

EFFECTS = {
    'badgeget': (os.path.join(COMMON, 'badgeget.wav'), sound_effects.badge_jingle),
    '002': (os.path.join(GAME, '002.wav'), sound_effects.jump_one),
    '003': (os.path.join(GAME, '003.wav'), sound_effects.jump_two),
    '004': (os.path.join(GAME, '004.wav'), sound_effects.rock_hit),
    '005': (os.path.join(GAME, '005.wav'), sound_effects.game_over),
}
MUSIC = {
    'Theme': (os.path.join(GAME, 'Theme.ogg'), sound_music.title_music),
    'Ingame': (os.path.join(GAME, 'Ingame.ogg'), sound_music.ingame_music),
}


def encode_ogg(path, stereo):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, 'music.wav')
        write_wav(wav, stereo, channels=2)
        subprocess.run(['oggenc', '-Q', '-q', '4', '-s', '252', '-o', path, wav], check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--only', nargs='*', default=None)
    args = parser.parse_args()
    wanted = set(args.only) if args.only else set(EFFECTS) | set(MUSIC)
    os.makedirs(COMMON, exist_ok=True)
    os.makedirs(GAME, exist_ok=True)
    for name, (path, make) in EFFECTS.items():
        if name in wanted:
            write_wav(path, make())
            print('wrote', os.path.relpath(path, ROOT))
    for name, (path, make) in MUSIC.items():
        if name in wanted:
            encode_ogg(path, make())
            print('wrote', os.path.relpath(path, ROOT))


if __name__ == '__main__':
    main()
