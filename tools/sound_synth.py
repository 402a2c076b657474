# sound_synth.py -- the small synthesizer behind the game's sounds and music (numpy only)
#
# Everything is additive synthesis and shaped noise, rendered note by note into float arrays at
# RATE samples per second; the callers mix the notes into their own buffers.
import wave

import numpy as np

RATE = 44100
NYQUIST_GUARD = 16000.0   # partials above this are left out, which keeps every tone free of aliasing


def note_freq(name):
    """Frequency of a note name like 'A4', 'C#5' or 'Bb3'."""
    steps = {'C': -9, 'D': -7, 'E': -5, 'F': -4, 'G': -2, 'A': 0, 'B': 2}
    semis = steps[name[0]]
    rest = name[1:]
    while rest and rest[0] in '#b':
        semis += 1 if rest[0] == '#' else -1
        rest = rest[1:]
    octave = int(rest)
    return 440.0 * 2.0 ** ((semis + 12 * (octave - 4)) / 12.0)


def times(seconds):
    return np.arange(int(round(seconds * RATE)), dtype=np.float64) / RATE


def adsr(n, attack, decay, sustain, release, hold):
    """Envelope of n samples: attack, decay to the sustain level, held until `hold` seconds, then release."""
    t = np.arange(n) / RATE
    env = np.full(n, sustain, dtype=np.float64)
    if attack > 0:
        a = t < attack
        env[a] = t[a] / attack
    d = (t >= attack) & (t < attack + decay)
    if decay > 0:
        env[d] = 1.0 - (1.0 - sustain) * (t[d] - attack) / decay
    r = t >= hold
    level_at_release = np.interp(hold, t, env) if n else 0.0
    env[r] = level_at_release * np.exp(-(t[r] - hold) / max(release, 1e-4) * 5.0)
    return env


def phase_of(freq, n):
    """Running phase (radians) for a frequency that may be a constant or an array of n values."""
    f = np.broadcast_to(np.asarray(freq, dtype=np.float64), (n,))
    return 2 * np.pi * np.cumsum(f) / RATE, f


def additive(freq, n, partials, brightness_decay=0.0):
    """Sum of harmonics k * freq with amplitudes partials(k); higher ones fade faster over time when
    brightness_decay > 0 (a falling filter, without a filter)."""
    phase, f = phase_of(freq, n)
    t = np.arange(n) / RATE
    out = np.zeros(n)
    top = float(np.max(f)) if n else 1.0
    for k, amp in partials:
        if k * top > NYQUIST_GUARD or amp == 0:
            continue
        part = amp * np.sin(k * phase)
        if brightness_decay > 0 and k > 1:
            part *= np.exp(-t * brightness_decay * (k - 1))
        out += part
    return out


def saw_partials(count):
    return [(k, 1.0 / k) for k in range(1, count + 1)]


def square_partials(count):
    return [(k, 1.0 / k) for k in range(1, count + 1, 2)]


def triangle_partials(count):
    return [(k, (1.0 if (k // 2) % 2 == 0 else -1.0) / (k * k)) for k in range(1, count + 1, 2)]


def noise(n, seed):
    return np.random.default_rng(seed).uniform(-1.0, 1.0, n)


def spectral_filter(signal, low=0.0, high=RATE / 2):
    """Band-pass by zeroing FFT bins outside [low, high] with soft edges (for short sounds)."""
    spectrum = np.fft.rfft(signal)
    freqs = np.fft.rfftfreq(len(signal), 1.0 / RATE)
    gain = np.ones_like(freqs)
    if low > 0:
        gain *= 1.0 / (1.0 + (low / np.maximum(freqs, 1.0)) ** 4)
    if high < RATE / 2:
        gain *= 1.0 / (1.0 + (freqs / high) ** 4)
    return np.fft.irfft(spectrum * gain, len(signal))


def normalize(signal, peak):
    top = np.max(np.abs(signal))
    return signal if top == 0 else signal * (peak / top)


def fade_edges(signal, fade_in=0.002, fade_out=0.01):
    n = len(signal)
    a = min(n, int(fade_in * RATE))
    b = min(n, int(fade_out * RATE))
    if a > 0:
        signal[:a] *= np.linspace(0.0, 1.0, a)
    if b > 0:
        signal[n - b:] *= np.linspace(1.0, 0.0, b)
    return signal


def write_wav(path, signal, channels=1):
    """16-bit PCM WAV; stereo signals are arrays of shape (n, 2)."""
    data = np.clip(np.asarray(signal), -1.0, 1.0)
    pcm = (data * 32767.0).round().astype('<i2')
    with wave.open(path, 'wb') as out:
        out.setnchannels(channels)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(pcm.tobytes())
