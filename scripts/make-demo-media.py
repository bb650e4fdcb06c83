#!/usr/bin/env python3
"""Makes the demo game's music, sound, CD-audio track and movie (demo/data). Our own work:
a MIDI song written note by note, and sounds and pictures synthesised here.

Run from the repository root after changing one of them; the results are committed.
"""
import math
import pathlib
import struct

OUT = pathlib.Path(__file__).resolve().parent.parent / "demo" / "data"
RATE = 22050


# --- MIDI -----------------------------------------------------------------------------------

def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


def track(events):
    """events: (tick, bytes) in any order; written with delta times and an end of track."""
    body = bytearray()
    now = 0
    for tick, data in sorted(events, key=lambda e: e[0]):
        body += varlen(tick - now) + data
        now = tick
    body += varlen(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def notes(channel, program, volume, parts):
    """parts: (start tick, length in ticks, note, velocity)."""
    events = [(0, bytes((0xC0 | channel, program))), (0, bytes((0xB0 | channel, 7, volume)))]
    for start, length, note, velocity in parts:
        events.append((start, bytes((0x90 | channel, note, velocity))))
        events.append((start + length - 10, bytes((0x80 | channel, note, 0))))
    return track(events)


def song():
    beat = 480
    bar = 4 * beat
    # C, A minor, F, G, twice; the loop marker "L" at the start of the second bar.
    chords = [(60, 64, 67), (57, 60, 64), (53, 57, 60), (55, 59, 62)] * 2
    melody_line = [72, 74, 76, 79, 76, 74, 72, 69, 72, 69, 67, 69, 71, 74, 79, 77,
                   76, 79, 81, 79, 76, 74, 72, 74, 72, 69, 65, 69, 67, 71, 74, 72]
    conductor = track([(0, b"\xff\x51\x03" + struct.pack(">I", 600000)[1:]),
                       (0, b"\xff\x03\x09adv theme"),
                       (bar, b"\xff\x06\x01L")])
    melody = notes(0, 73, 100, [(i * beat, beat, n, 90) for i, n in enumerate(melody_line)])
    pads = notes(1, 48, 70, [(i * bar, bar, n, 60) for i, c in enumerate(chords) for n in c])
    bass = notes(2, 33, 100, [(i * bar + k * 2 * beat, 2 * beat, c[0] - 24, 80)
                              for i, c in enumerate(chords) for k in range(2)])
    header = b"MThd" + struct.pack(">IHHH", 6, 1, 4, beat)
    (OUT / "bgm.mid").write_bytes(header + conductor + melody + pads + bass)


# --- Sounds ---------------------------------------------------------------------------------

def wav(path, samples):
    data = b"".join(struct.pack("<h", max(-32767, min(32767, int(s)))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    path.write_bytes(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" +
                     b"fmt " + struct.pack("<I", 16) + fmt + b"data" +
                     struct.pack("<I", len(data)) + data)


def chime():
    # Two bell partials falling away: the sound of a choice being taken.
    n = int(RATE * 0.7)
    return [9000 * math.exp(-5 * t / RATE) *
            (math.sin(2 * math.pi * 880 * t / RATE) + 0.5 * math.sin(2 * math.pi * 1320 * t / RATE))
            for t in range(n)]


def evening_pad():
    # A slow swell on an A minor chord: the room's ripped "CD" track.
    n = int(RATE * 4)
    out = []
    for t in range(n):
        env = math.sin(math.pi * t / n)
        s = sum(math.sin(2 * math.pi * f * t / RATE) for f in (220.0, 261.63, 329.63, 440.0))
        out.append(4500 * env * s)
    return out


# --- Movie ----------------------------------------------------------------------------------

def movie(path, width=96, height=72, fps=12, frames=24):
    """An uncompressed 8-bit AVI with its sound: a sun rising over the hill, and a whoosh."""
    palette = [(int(40 + 200 * i / 63), int(80 + 110 * i / 63), int(200 - 60 * i / 63))
               for i in range(64)]
    palette += [(255, 230, 120), (40, 110, 50)] + [(0, 0, 0)] * 190
    audio_per_frame = RATE // fps

    def frame(k):
        rows = []
        sun_y = height - 10 - k * (height // 2) // frames
        for y in range(height - 1, -1, -1):  # bottom-up
            row = bytearray()
            for x in range(width):
                hill = height - 14 + int(5 * math.sin(x / 9.0))
                if y > hill:
                    row.append(65)
                elif (x - 60) ** 2 + (y - sun_y) ** 2 < 100:
                    row.append(64)
                else:
                    row.append(min(63, y * 63 // height))
            rows.append(bytes(row) + b"\0" * ((-width) % 4))
        return b"".join(rows)

    def sound(k):
        out = bytearray()
        for i in range(audio_per_frame):
            t = k * audio_per_frame + i
            s = 3000 * math.sin(2 * math.pi * (200 + t / 40) * t / RATE) * math.sin(
                math.pi * t / (frames * audio_per_frame))
            out += struct.pack("<h", int(s))
        return bytes(out)

    def chunk(tag, body):
        return tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")

    def lst(kind, body):
        return chunk(b"LIST", kind + body)

    frame_bytes = len(frame(0))
    avih = struct.pack("<IIIIIIIIIIIIII", 1000000 // fps, frame_bytes * fps, 0, 0x10, frames,
                       0, 2, frame_bytes, width, height, 0, 0, 0, 0)
    # AVISTREAMHEADER after its two codes: flags, priority, language, initial frames, scale,
    # rate, start, length, buffer size, quality, sample size, frame rectangle.
    strh_v = b"vids" + b"\0\0\0\0" + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 1, fps, 0,
                                                   frames, frame_bytes, 0xFFFFFFFF, 0, 0, 0,
                                                   width, height)
    bih = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, frame_bytes, 0, 0, 256, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    strh_a = b"auds" + b"\0\0\0\0" + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 2, RATE * 2,
                                                   0, frames * audio_per_frame,
                                                   audio_per_frame * 2, 0xFFFFFFFF, 2, 0, 0, 0,
                                                   0)
    wfx = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    hdrl = lst(b"hdrl", chunk(b"avih", avih) +
               lst(b"strl", chunk(b"strh", strh_v) + chunk(b"strf", bih + table)) +
               lst(b"strl", chunk(b"strh", strh_a) + chunk(b"strf", wfx)))
    movi = bytearray(b"movi")
    index = bytearray()
    for k in range(frames):
        for tag, body, flags in ((b"00db", frame(k), 0x10), (b"01wb", sound(k), 0x10)):
            index += tag + struct.pack("<III", flags, len(movi), len(body))
            movi += chunk(tag, body)
    body = b"AVI " + hdrl + chunk(b"LIST", bytes(movi)) + chunk(b"idx1", bytes(index))
    path.write_bytes(b"RIFF" + struct.pack("<I", len(body)) + body)


def main():
    (OUT / "cdaudio").mkdir(parents=True, exist_ok=True)
    song()
    wav(OUT / "chime.wav", chime())
    wav(OUT / "cdaudio" / "track02.wav", evening_pad())
    movie(OUT / "op.avi")


if __name__ == "__main__":
    main()
