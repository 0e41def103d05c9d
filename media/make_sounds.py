#!/usr/bin/env python3
"""Writes the alarm sounds shipped in this folder: 16-bit mono 22050 Hz WAV files.

Run from anywhere: python3 media/make_sounds.py [output folder]
The output is deterministic, so regenerating leaves the committed files unchanged.
"""
import math
import random
import struct
import sys
import wave
from pathlib import Path

RATE = 22050
PEAK = 0.8 * 32767


def tone(freq, seconds, phase=0.0):
    """A sine tone; returns the samples and the phase to continue from."""
    samples = []
    step = 2 * math.pi * freq / RATE
    for _ in range(int(seconds * RATE)):
        samples.append(math.sin(phase))
        phase += step
    return samples, phase


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def fade(samples, seconds=0.005):
    """Ramps both ends so the sound starts and stops without a click."""
    n = min(int(seconds * RATE), len(samples) // 2)
    for i in range(n):
        gain = i / n
        samples[i] *= gain
        samples[-1 - i] *= gain
    return samples


def siren():
    """Two-tone siren: 960 Hz and 770 Hz alternating every quarter second."""
    out, phase = [], 0.0
    for i in range(6):
        part, phase = tone(960 if i % 2 == 0 else 770, 0.25, phase)
        out += part
    return fade(out)


def bark():
    """Two bark-like bursts: a falling growl with harmonics and breath noise."""
    rng = random.Random(4)
    out = []
    for _ in range(2):
        length = int(0.22 * RATE)
        phase = 0.0
        burst = []
        for i in range(length):
            t = i / length
            freq = 520 - 300 * t
            phase += 2 * math.pi * freq / RATE
            voice = math.sin(phase) + 0.5 * math.sin(2 * phase) + 0.3 * math.sin(3 * phase)
            envelope = min(1.0, t * 25) * (1 - t) ** 1.5
            burst.append(envelope * (0.55 * voice / 1.8 + 0.35 * rng.uniform(-1, 1)))
        out += fade(burst) + silence(0.3)
    return out


def beep():
    """Four short 1 kHz beeps."""
    out = []
    for _ in range(4):
        part, _ = tone(1000, 0.15)
        out += fade(part) + silence(0.15)
    return out


def write(path, samples):
    frames = b"".join(struct.pack("<h", int(round(s * PEAK))) for s in samples)
    with wave.open(str(path), "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(frames)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    folder.mkdir(parents=True, exist_ok=True)
    for name, make in (("siren.wav", siren), ("bark.wav", bark), ("beep.wav", beep)):
        write(folder / name, make())


if __name__ == "__main__":
    main()
