#!/usr/bin/env python3
"""Writes the MP3 test track: a second of a soft 440 Hz tone, encoded by lame.

The program opens it at start to learn whether MP3 files play (usage: OUT).
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050


def main():
    out = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "tone.wav")
        with wave.open(wav, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            # Faded in and out so that the tone starts and ends without a click.
            frames = bytearray()
            for i in range(RATE):
                fade = min(1.0, i / 2000, (RATE - i) / 2000)
                frames += struct.pack("<h", int(6000 * fade * math.sin(2 * math.pi * 440 * i / RATE)))
            w.writeframes(bytes(frames))
        mp3 = os.path.join(tmp, "tone.mp3")
        subprocess.run(["lame", "--quiet", "-b", "32", wav, mp3], check=True)
        with open(mp3, "rb") as src, open(out + ".tmp", "wb") as dst:
            dst.write(src.read())
        os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
