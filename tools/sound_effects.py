# sound_effects.py -- the short sounds: badge jingle, two jumps, the rock hit and the end of a run
import numpy as np

from sound_synth import (RATE, additive, adsr, fade_edges, noise, normalize, note_freq, phase_of,
                         spectral_filter, square_partials, times, triangle_partials)


def bell(freq, seconds, decay):
    """A bright bell: a few slightly inharmonic partials, each fading at its own pace."""
    t = times(seconds)
    out = np.zeros(len(t))
    for ratio, amp, speed in ((1.0, 1.0, 1.0), (2.0, 0.5, 1.6), (3.01, 0.25, 2.4), (4.17, 0.12, 3.5),
                              (5.43, 0.06, 5.0)):
        if ratio * freq < 16000:
            out += amp * np.sin(2 * np.pi * freq * ratio * t) * np.exp(-t * speed / decay)
    attack = min(len(t), int(0.003 * RATE))
    out[:attack] *= np.linspace(0, 1, attack)
    return out


def badge_jingle():
    """A quick rising arpeggio that lands on a ringing major chord (about 0.9 s)."""
    length = 0.9
    out = np.zeros(int(length * RATE))
    step = 0.065
    for i, name in enumerate(('G5', 'C6', 'E6', 'G6')):
        start = int(i * step * RATE)
        tone = bell(note_freq(name), 0.25, 0.12) * 0.6
        tone += 0.25 * additive(note_freq(name), len(tone), square_partials(7)) * np.exp(-times(0.25) / 0.05)
        tone = fade_edges(tone, 0.001, 0.1)
        out[start:start + len(tone)] += tone[:len(out) - start]
    start = int(4 * step * RATE)
    rest = length - 4 * step
    chord = sum(bell(note_freq(n), rest, 0.35) for n in ('C6', 'E6', 'G6', 'C7'))
    shimmer = 1.0 + 0.15 * np.sin(2 * np.pi * 7.0 * times(rest))   # a little sparkle in the tail
    out[start:start + len(chord)] += 0.45 * chord * shimmer
    return normalize(fade_edges(out, 0.001, 0.05), 0.85)


def spring_jump(start_hz, end_hz, seconds, wobble_hz, partials, seed):
    """A springy rising blip: an exponential pitch rise with a fading wobble on top."""
    t = times(seconds)
    n = len(t)
    glide = start_hz * (end_hz / start_hz) ** np.minimum(t / (seconds * 0.6), 1.0)
    wobble = 1.0 + 0.06 * np.sin(2 * np.pi * wobble_hz * t) * np.exp(-t / (seconds * 0.4))
    tone = additive(glide * wobble, n, partials)
    env = adsr(n, 0.004, 0.05, 0.6, seconds * 0.35, seconds * 0.55)
    breath = spectral_filter(noise(n, seed), 2000, 8000) * np.exp(-t / 0.015) * 0.15   # the push-off
    return tone * env + breath


def jump_one():
    """Jump A: a round triangle-voiced boing rising an octave and a half (0.2 s)."""
    out = spring_jump(260.0, 760.0, 0.2, 38.0, triangle_partials(15), 2)
    return normalize(fade_edges(out), 0.8)


def jump_two():
    """Jump B: two quick rising chirps, brighter and square-voiced (0.24 s)."""
    first = spring_jump(420.0, 900.0, 0.09, 55.0, square_partials(9), 3) * 0.8
    second = spring_jump(600.0, 1350.0, 0.15, 45.0, square_partials(9), 4)
    out = np.zeros(int(0.24 * RATE))
    out[:len(first)] += first
    start = int(0.085 * RATE)
    out[start:start + len(second)] += second[:len(out) - start]
    return normalize(fade_edges(out), 0.8)


def rock_hit():
    """A crunchy thud: a falling low thump, a burst of gravel and a few cracks (0.42 s)."""
    seconds = 0.42
    t = times(seconds)
    n = len(t)
    pitch = 40.0 + 110.0 * np.exp(-t / 0.04)
    phase, _ = phase_of(pitch, n)
    thump = np.sin(phase) * np.exp(-t / 0.12)
    thump = np.tanh(thump * 2.5) * 0.8        # a little drive gives it weight
    gravel = spectral_filter(noise(n, 5), 150, 2500) * np.exp(-t / 0.09)
    gravel = np.sign(gravel) * np.abs(gravel) ** 0.6   # rougher grain
    rng = np.random.default_rng(6)
    cracks = np.zeros(n)
    for _ in range(14):
        at = int(rng.uniform(0.0, 0.25) * RATE)
        length = int(0.006 * RATE)
        burst = spectral_filter(noise(length, int(rng.integers(1000))), 1500, 9000)
        cracks[at:at + length] += burst[:n - at] * rng.uniform(0.3, 0.8) * np.exp(-at / RATE / 0.1)
    out = thump + 0.45 * gravel + 0.35 * cracks
    return normalize(fade_edges(out, 0.0005, 0.03), 0.9)


def game_over():
    """A descending phrase that sags at the end: G4, E4, C4, then a long falling B3 (1.35 s)."""
    seconds = 1.35
    out = np.zeros(int(seconds * RATE))
    phrase = (('G4', 0.0, 0.22), ('E4', 0.22, 0.22), ('C4', 0.44, 0.22))
    for name, start, length in phrase:
        n = int((length + 0.08) * RATE)
        tone = additive(note_freq(name), n, square_partials(15))
        tone += 0.5 * additive(note_freq(name) * 1.004, n, square_partials(15))   # a slightly wide voice
        tone *= adsr(n, 0.005, 0.06, 0.7, 0.06, length)
        at = int(start * RATE)
        out[at:at + n] += tone * 0.5
    # The last note droops a whole tone with a slowing wobble.
    start = 0.66
    n = len(out) - int(start * RATE)
    t = np.arange(n) / RATE
    droop = note_freq('B3') * 2.0 ** (-2.0 / 12.0 * np.clip((t - 0.15) / 0.5, 0, 1))
    vibrato = 1.0 + 0.012 * np.sin(2 * np.pi * (6.0 - 2.0 * t) * t)
    tone = additive(droop * vibrato, n, square_partials(15))
    tone += 0.5 * additive(droop * vibrato * 1.004, n, square_partials(15))
    tone *= adsr(n, 0.005, 0.1, 0.75, 0.2, n / RATE - 0.25)
    out[int(start * RATE):] += tone * 0.5
    return normalize(fade_edges(out, 0.001, 0.04), 0.8)
