# sound_music.py -- the title and in-game music: instruments, an arranger and the two songs
#
# Each song is written out below as chords (one per bar), lead phrases and drum patterns, arranged in
# sections. The arranger renders every part on its own bus, adds echo and room, mixes to stereo and
# normalizes below full scale.
import numpy as np

from sound_synth import (RATE, additive, adsr, noise, note_freq, saw_partials, spectral_filter,
                         square_partials, times)

# ---------------------------------------------------------------- instruments


def lead_voice(freq, seconds, bright=1.0):
    """The lead: a square voice with a detuned saw beside it and vibrato that comes in late."""
    n = int((seconds + 0.25) * RATE)
    t = np.arange(n) / RATE
    vibrato = 1.0 + 0.004 * np.sin(2 * np.pi * 5.5 * t) * np.clip((t - 0.18) / 0.2, 0, 1)
    tone = additive(freq * vibrato, n, square_partials(25), 0.9 / bright)
    tone += 0.35 * additive(freq * vibrato * 1.0045, n, saw_partials(14), 1.5 / bright)
    return tone * adsr(n, 0.008, 0.12, 0.65, 0.12, seconds) * 0.5


def bass_voice(freq, seconds):
    """The bass: a plucked saw whose upper harmonics die away quickly, over a plain sine."""
    n = int((seconds + 0.08) * RATE)
    tone = additive(freq, n, saw_partials(24), 7.0) + 0.6 * additive(freq, n, [(1, 1.0)])
    return tone * adsr(n, 0.003, 0.12, 0.7, 0.05, seconds * 0.92) * 0.55


def pad_voice(freqs, seconds):
    """A soft pad: three slightly detuned saws per chord note with gentle harmonics and slow edges."""
    n = int((seconds + 0.5) * RATE)
    partials = [(k, 1.0 / k ** 1.6) for k in range(1, 11)]
    out = np.zeros(n)
    for f in freqs:
        for detune in (0.996, 1.0, 1.004):
            out += additive(f * detune, n, partials)
    return out * adsr(n, 0.35, 0.3, 0.85, 0.45, seconds) / (3 * len(freqs)) * 0.7


def pluck_voice(freq, seconds):
    """A short bright pluck for arpeggios."""
    n = int((seconds + 0.15) * RATE)
    t = np.arange(n) / RATE
    tone = additive(freq, n, square_partials(13), 12.0)
    return tone * np.exp(-t / 0.12) * adsr(n, 0.002, 0.0, 1.0, 0.05, seconds + 0.1) * 0.35


def make_drums():
    kit = {}
    t = times(0.45)
    pitch = 48.0 + 115.0 * np.exp(-t / 0.028)
    phase = 2 * np.pi * np.cumsum(pitch) / RATE
    kick = np.tanh(2.0 * np.sin(phase) * np.exp(-t / 0.22)) * 0.9
    click = spectral_filter(noise(len(t), 11), 1500, 9000) * np.exp(-t / 0.003) * 0.3
    kit['K'] = kick + click

    t = times(0.35)
    body = (np.sin(2 * np.pi * 185 * t) + 0.5 * np.sin(2 * np.pi * 330 * t)) * np.exp(-t / 0.05)
    rattle = spectral_filter(noise(len(t), 12), 900, 9000) * np.exp(-t / 0.11)
    kit['S'] = (0.5 * body + 0.8 * rattle) * 0.75

    t = times(0.09)
    kit['h'] = spectral_filter(noise(len(t), 13), 7000) * np.exp(-t / 0.022) * 0.35
    t = times(0.45)
    kit['o'] = spectral_filter(noise(len(t), 14), 6500) * np.exp(-t / 0.16) * 0.3
    t = times(2.6)
    crash = spectral_filter(noise(len(t), 15), 3500)
    kit['C'] = crash * np.exp(-t / 0.8) * (1 + 0.2 * np.sin(2 * np.pi * 9 * t)) * 0.4
    return kit


# Drum patterns: one bar of 16 steps per line, a letter for each sound of the kit, '.' for nothing.
# Upper-case steps in the hat line are accents.
DRUMS = {
    'none': ('................', '................', '................'),
    'hats': ('................', '................', 'h.h.h.h.h.h.h.h.'),
    'half': ('K.......K.......', '................', 'h.h.h.h.h.h.h.h.'),
    'intro': ('K.......K..K....', '....S.......S...', 'h.h.h.h.h.h.h.h.'),
    'beat': ('K...K...K...K...', '....S.......S...', 'hhohhhohhhohhhoh'),
    'beat2': ('K...K...K..KK...', '....S.......S..S', 'hhohhhohhhohhhoh'),
    'drive': ('K..KK...K..KK...', '....S.......S...', 'hhhohhhohhhohhho'),
    'fill': ('K...K...K.......', '....S.......SSSS', 'hhohhhohhhoh....'),
    'roll': ('K.......K.......', '....S...S.S.SSSS', 'h.h.h.h.........'),
}


# ---------------------------------------------------------------- the arranger


class Song:
    def __init__(self, bpm, bars, tail_seconds, seed):
        self.beat = 60.0 / bpm
        self.bar = 4 * self.beat
        self.bars = bars
        self.length = int(bars * self.bar * RATE)
        total = self.length + int(tail_seconds * RATE)
        self.buses = {name: np.zeros((total, 2)) for name in ('lead', 'bass', 'pad', 'arp', 'drums', 'harmony')}
        self.kit = make_drums()
        self.rng = np.random.default_rng(seed)

    def place(self, bus, signal, seconds, gain=1.0, pan=0.0):
        start = int(round(seconds * RATE))
        out = self.buses[bus]
        end = min(len(out), start + len(signal))
        if end <= start:
            return
        angle = (pan + 1) * np.pi / 4   # equal-power pan
        piece = signal[:end - start] * gain
        out[start:end, 0] += piece * np.cos(angle)
        out[start:end, 1] += piece * np.sin(angle)

    def melody(self, bus, bar, phrase, voice=lead_voice, gain=1.0, pan=0.0, shift=0):
        """Plays (note, beats) pairs from the start of a bar; None is a rest."""
        total = sum(beats for _, beats in phrase)
        if total % 4 != 0:
            raise ValueError('a phrase must fill whole bars, this one has %g beats' % total)
        at = bar * self.bar
        for name, beats in phrase:
            if name is not None:
                f = note_freq(name) * 2.0 ** shift
                accent = 1.0 + self.rng.uniform(-0.06, 0.06)
                self.place(bus, voice(f, beats * self.beat * 0.95), at, gain * accent, pan)
            at += beats * self.beat

    def chords(self, first_bar, names, pad=True, bass='eighths', arp=None):
        for i, name in enumerate(names):
            bar = first_bar + i
            notes = CHORDS[name]
            at = bar * self.bar
            if pad:
                self.place('pad', pad_voice([note_freq(n) for n in notes[1:]], self.bar * 0.98), at, 1.0)
            if bass:
                self.bass_line(at, note_freq(notes[0]), bass)
            if arp:
                self.arpeggio(at, [note_freq(n) for n in notes[1:]], arp)

    def bass_line(self, at, root, style):
        eighth = self.beat / 2
        if style == 'eighths':        # root, root, octave, root ... with a push before the next bar
            steps = [1, 1, 2, 1, 1, 2, 1, 1.5]
        elif style == 'pulse':
            steps = [1, 0, 1, 0, 1, 0, 2, 1]
        else:                         # 'long'
            self.place('bass', bass_voice(root, self.bar * 0.9), at, 0.9)
            return
        for i, mult in enumerate(steps):
            if mult == 0:
                continue
            self.place('bass', bass_voice(root * mult, eighth * 0.8), at + i * eighth,
                       1.0 if i % 2 == 0 else 0.8)

    def arpeggio(self, at, freqs, pattern):
        """Sixteenth-note arpeggio over the chord notes, an octave up, bouncing left and right."""
        sixteenth = self.beat / 4
        ladder = [f * 2 for f in freqs] + [freqs[0] * 4]
        order = {'up': [0, 1, 2, 3], 'updown': [0, 1, 2, 3, 2, 1], 'skip': [0, 2, 1, 3]}[pattern]
        for i in range(16):
            f = ladder[order[i % len(order)]]
            pan = -0.45 if i % 2 == 0 else 0.45
            self.place('arp', pluck_voice(f, sixteenth * 0.9), at + i * sixteenth, 0.8 if i % 4 else 1.0, pan)

    def drums(self, first_bar, patterns, crash_first=True):
        for i, name in enumerate(patterns):
            at = (first_bar + i) * self.bar
            for line in DRUMS[name]:
                for step, ch in enumerate(line):
                    if ch == '.':
                        continue
                    gain = 1.0 if step % 4 == 0 else 0.85
                    gain *= 1.0 + self.rng.uniform(-0.05, 0.05)
                    pan = {'h': 0.25, 'o': 0.3, 'S': -0.05, 'K': 0.0}.get(ch, 0.0)
                    self.place('drums', self.kit[ch], at + step * self.beat / 4, gain, pan)
        if crash_first:
            self.place('drums', self.kit['C'], first_bar * self.bar, 0.9, -0.2)

    # ------------------------------------------------------------ mixing

    def echo(self, signal, delay_beats, feedback, taps):
        """Ping-pong echo: each repeat swaps sides and fades."""
        out = np.zeros_like(signal)
        d = int(delay_beats * self.beat * RATE)
        mono = signal.mean(axis=1)
        gain = feedback
        for tap in range(1, taps + 1):
            side = tap % 2
            shifted = np.zeros(len(signal))
            shifted[d * tap:] = mono[:len(signal) - d * tap]
            out[:, side] += shifted * gain
            gain *= feedback
        return out

    @staticmethod
    def room(signal, amount):
        """A small room: a handful of early reflections at prime-numbered delays, different per side."""
        out = np.zeros_like(signal)
        for side, delays in enumerate(((23, 41, 67, 97, 139, 191), (29, 47, 73, 107, 149, 211))):
            gain = amount
            for ms in delays:
                d = int(ms * RATE / 1000)
                out[d:, side] += signal[:len(signal) - d, 1 - side] * gain
                gain *= 0.72
        return out

    def mix(self, loop):
        levels = {'lead': 0.85, 'harmony': 0.4, 'bass': 0.6, 'pad': 0.6, 'arp': 0.4, 'drums': 0.55}
        master = np.zeros_like(self.buses['lead'])
        for name, level in levels.items():
            master += self.buses[name] * level
        master += self.echo(self.buses['lead'] * 0.8, 0.75, 0.3, 4)
        master += self.echo(self.buses['arp'] * 0.3, 0.75, 0.25, 3)
        master += self.room(self.buses['pad'] * 0.45 + self.buses['drums'] * 0.3 + self.buses['lead'] * 0.3, 0.35)
        if loop:
            # A looping track ends exactly on its last bar; what rings past it is folded onto the start,
            # so the end flows into the beginning without a gap.
            tail = master[self.length:]
            master = master[:self.length].copy()
            master[:len(tail)] += tail
        # Keep the low end clean: a gentle high-pass well below the bass.
        for side in range(2):
            master[:, side] = spectral_filter(master[:, side], 28.0)
        master -= master.mean(axis=0)
        peak = np.max(np.abs(master))
        return master * (0.89 / peak)


# Chords: bass root first, then the chord notes the pad holds.
CHORDS = {
    'Am': ('A2', 'A3', 'C4', 'E4'), 'F': ('F2', 'F3', 'A3', 'C4'), 'C': ('C3', 'G3', 'C4', 'E4'),
    'G': ('G2', 'G3', 'B3', 'D4'), 'E': ('E2', 'E3', 'G#3', 'B3'), 'Em': ('E2', 'E3', 'G3', 'B3'),
    'Dm': ('D2', 'D3', 'F3', 'A3'), 'Bb': ('Bb1', 'Bb2', 'D3', 'F3'), 'A': ('A1', 'A2', 'C#3', 'E3'),
    'Gm': ('G1', 'G2', 'Bb2', 'D3'), 'A7': ('A1', 'G2', 'C#3', 'E3'),
}


def phrase(text):
    """'A4:1 C5:.5 -:1' -> [('A4', 1.0), ('C5', 0.5), (None, 1.0)]"""
    out = []
    for item in text.split():
        name, beats = item.split(':')
        out.append((None if name == '-' else name, float(beats)))
    return out


CHROMATIC = ['C', 'C#', 'Db', 'D', 'D#', 'Eb', 'E', 'F', 'F#', 'Gb', 'G', 'G#', 'Ab', 'A', 'A#', 'Bb', 'B']


def third_below(notes, scale):
    """A harmony a diatonic third under the melody, in the given scale; notes outside the scale
    (the leading tones) are left to the melody alone."""
    out = []
    for name, beats in notes:
        pitch, octave = (name[:-1], int(name[-1])) if name else (None, 0)
        if pitch not in scale:
            out.append((None, beats))
            continue
        low = scale[(scale.index(pitch) - 2) % len(scale)]
        if CHROMATIC.index(low) > CHROMATIC.index(pitch):   # stepping down past C drops the octave
            octave -= 1
        out.append((low + str(octave), beats))
    return out


# ---------------------------------------------------------------- title music: A minor, 128 bpm

THEME_A = phrase('A4:1 C5:.5 E5:.5 A5:1 G5:.5 E5:.5 '
                 'F5:1.5 E5:.5 C5:1 A4:1 '
                 'G4:.5 C5:.5 E5:.5 G5:.5 E5:1 D5:.5 C5:.5 '
                 'D5:2 B4:1 G4:1 '
                 'A4:1 C5:.5 E5:.5 A5:1 B5:.5 C6:.5 '
                 'A5:1 F5:.5 A5:.5 C6:1 A5:1 '
                 'B5:1 G5:.5 D5:.5 B5:1 A5:.5 G5:.5 '
                 'G#5:2 E5:1 -:1')
THEME_A_END = phrase('A4:1 C5:.5 E5:.5 A5:1 G5:.5 E5:.5 '
                     'F5:1.5 E5:.5 C5:1 A4:1 '
                     'G4:.5 C5:.5 E5:.5 G5:.5 E5:1 D5:.5 C5:.5 '
                     'D5:2 B4:1 G4:1 '
                     'E5:.5 A5:.5 C6:.5 E6:.5 D6:1 C6:1 '
                     'C6:.5 A5:.5 F5:1 C6:.5 D6:.5 C6:1 '
                     'B5:.5 G5:.5 D6:1 B5:.5 A5:.5 G5:1 '
                     'A5:3 -:1')
THEME_B = phrase('C6:1.5 A5:.5 F5:1 A5:1 '
                 'B5:1.5 G5:.5 D5:1 G5:1 '
                 'E5:.5 G5:.5 B5:1 A5:.5 G5:.5 E5:1 '
                 'A5:3 -:1 '
                 'F5:1 A5:1 D6:1 C6:.5 A5:.5 '
                 'B5:1 D6:1 G5:1 B5:1 '
                 'C6:1.5 B5:.5 G5:1 E5:1 '
                 'G#5:1 B5:1 E6:2')
THEME_BREAK = phrase('E5:4 C5:4 E5:2 G5:2 D5:4')
A_MINOR = ['A', 'B', 'C', 'D', 'E', 'F', 'G']


def title_music():
    s = Song(bpm=128, bars=44, tail_seconds=3.5, seed=252)
    prog_a = ['Am', 'F', 'C', 'G', 'Am', 'F', 'G', 'E']
    prog_a_end = ['Am', 'F', 'C', 'G', 'Am', 'F', 'G', 'Am']
    prog_b = ['F', 'G', 'Em', 'Am', 'Dm', 'G', 'C', 'E']

    # Intro (bars 0-3): pad and arpeggio, hats creep in, a roll into the tune.
    s.chords(0, ['Am', 'F', 'C', 'G'], bass=None, arp='up')
    s.drums(0, ['none', 'none', 'hats', 'roll'], crash_first=False)
    # A (4-11)
    s.chords(4, prog_a)
    s.drums(4, ['beat'] * 7 + ['fill'])
    s.melody('lead', 4, THEME_A, pan=-0.05)
    # B (12-19): the arpeggio joins
    s.chords(12, prog_b, arp='updown')
    s.drums(12, ['beat2'] * 7 + ['fill'])
    s.melody('lead', 12, THEME_B, pan=-0.05)
    # A' (20-27): the varied ending, a harmony under it
    s.chords(20, prog_a_end, arp='skip')
    s.drums(20, ['beat'] * 7 + ['roll'])
    s.melody('lead', 20, THEME_A_END, pan=-0.05)
    s.melody('harmony', 20, third_below(THEME_A_END, A_MINOR), pan=0.35)
    # Break (28-31): thinned out, a slow line over the chords
    s.chords(28, ['Am', 'F', 'C', 'G'], bass='long', arp='up')
    s.drums(28, ['half', 'half', 'half', 'roll'])
    s.melody('lead', 28, THEME_BREAK, pan=0.1, shift=0)
    # A'' (32-39): the tune again with its harmony, fuller drums
    s.chords(32, prog_a_end, arp='updown')
    s.drums(32, ['drive'] * 7 + ['fill'])
    s.melody('lead', 32, THEME_A_END, pan=-0.05)
    s.melody('harmony', 32, third_below(THEME_A_END, A_MINOR), pan=0.35)
    # Outro (40-43): the opening chords once more and a last ringing A minor
    s.chords(40, ['Am', 'F', 'G'], arp='up')
    s.drums(40, ['half', 'half', 'roll'])
    s.chords(43, ['Am'], bass='long')
    s.place('pad', pad_voice([note_freq(n) for n in ('A3', 'C4', 'E4', 'A4')], s.bar * 2.0), 43 * s.bar, 1.0)
    s.melody('lead', 43, phrase('A5:4'), pan=-0.05)
    s.place('drums', s.kit['C'], 43 * s.bar, 1.0, 0.0)
    s.place('drums', s.kit['K'], 43 * s.bar, 1.0, 0.0)
    return s.mix(loop=False)


# ---------------------------------------------------------------- in-game music: D minor, 140 bpm

GAME_A = phrase('D5:.5 F5:.5 A5:.5 D6:.5 C6:.5 A5:.5 F5:.5 A5:.5 '
                'Bb5:1.5 A5:.5 F5:1 D5:1 '
                'C5:.5 F5:.5 A5:.5 C6:.5 A5:1 G5:.5 F5:.5 '
                'G5:2 E5:1 C5:1 '
                'D5:.5 F5:.5 A5:.5 D6:.5 E6:.5 D6:.5 C6:.5 A5:.5 '
                'D6:1 Bb5:.5 F5:.5 D6:1 C6:.5 Bb5:.5 '
                'C6:1 G5:.5 E5:.5 C6:1 Bb5:.5 G5:.5 '
                'A5:1.5 C#6:.5 E6:1 -:1')
GAME_A2 = phrase('D5:.5 F5:.5 A5:.5 D6:.5 C6:.5 A5:.5 F5:.5 A5:.5 '
                 'Bb5:1.5 A5:.5 F5:1 D5:1 '
                 'C5:.5 F5:.5 A5:.5 C6:.5 A5:1 G5:.5 F5:.5 '
                 'G5:2 E5:1 C5:1 '
                 'D6:.25 C6:.25 A5:.5 F5:.5 D6:.5 F6:.5 E6:.5 D6:.5 C6:.5 '
                 'Bb5:.5 D6:.5 F6:1 D6:.5 Bb5:.5 F5:1 '
                 'G5:.5 C6:.5 E6:1 D6:.5 C6:.5 Bb5:.5 G5:.5 '
                 'A5:2 -:2')
GAME_B = phrase('G5:1.5 Bb5:1.5 D6:1 '
                'F5:1.5 D6:1.5 Bb5:1 '
                'E5:1.5 G5:1.5 C6:1 '
                'A5:2 C6:1 F5:1 '
                'Bb5:.5 A5:.5 G5:1 D5:1 G5:1 '
                'F5:.5 G5:.5 Bb5:1 D6:1 F6:1 '
                'E6:1.5 C#6:.5 A5:1 E5:1 '
                'A5:1 E5:.5 C#5:.5 E5:1 G5:1')
GAME_C = phrase('F5:2 D5:2 G5:2 E5:2 A5:3 F5:1 D5:4 '
                'F5:1 Bb5:1 D6:2 E6:1 C6:1 G5:2 E5:1 A5:1 C#6:2 E6:2 -:2')
D_MINOR = ['D', 'E', 'F', 'G', 'A', 'Bb', 'C']


def ingame_music():
    s = Song(bpm=140, bars=56, tail_seconds=3.0, seed=2520)
    prog_a = ['Dm', 'Bb', 'F', 'C', 'Dm', 'Bb', 'C', 'A']
    prog_b = ['Gm', 'Bb', 'C', 'F', 'Gm', 'Bb', 'A', 'A7']
    prog_c = ['Bb', 'C', 'Dm', 'Dm', 'Bb', 'C', 'A', 'A']

    # Intro (0-3): drums and bass drive in at once, so the loop point keeps its energy.
    s.chords(0, ['Dm', 'Bb', 'F', 'C'], pad=False, arp='up')
    s.drums(0, ['intro', 'intro', 'intro', 'fill'], crash_first=False)
    # A (4-11), A' (12-19)
    s.chords(4, prog_a, arp='skip')
    s.drums(4, ['beat'] * 7 + ['fill'])
    s.melody('lead', 4, GAME_A, pan=-0.05)
    s.chords(12, prog_a, arp='updown')
    s.drums(12, ['beat2'] * 7 + ['fill'])
    s.melody('lead', 12, GAME_A2, pan=-0.05)
    # B (20-27)
    s.chords(20, prog_b, bass='pulse', arp='up')
    s.drums(20, ['drive'] * 7 + ['fill'])
    s.melody('lead', 20, GAME_B, pan=-0.05)
    # C (28-35): the breakdown, long notes over half-time drums, building back up
    s.chords(28, prog_c, bass='long', arp='updown')
    s.drums(28, ['half'] * 6 + ['intro', 'roll'])
    s.melody('lead', 28, GAME_C, pan=0.05)
    # A with harmony (36-43), B with harmony (44-51)
    s.chords(36, prog_a, arp='skip')
    s.drums(36, ['beat2'] * 7 + ['fill'])
    s.melody('lead', 36, GAME_A2, pan=-0.05)
    s.melody('harmony', 36, third_below(GAME_A2, D_MINOR), pan=0.35)
    s.chords(44, prog_b, bass='pulse', arp='updown')
    s.drums(44, ['drive'] * 7 + ['fill'])
    s.melody('lead', 44, GAME_B, pan=-0.05)
    s.melody('harmony', 44, third_below(GAME_B, D_MINOR), pan=0.35)
    # Turnaround (52-55): the intro's groove again, so the restart follows naturally.
    s.chords(52, ['Dm', 'Bb', 'C', 'A'], pad=True, arp='up')
    s.drums(52, ['intro', 'intro', 'intro', 'roll'])
    return s.mix(loop=True)
