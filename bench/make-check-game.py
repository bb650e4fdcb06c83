#!/usr/bin/env python3
"""Writes a game of 200 scenario scripts for timing adv --check by hand.

usage: bench/make-check-game.py GAMEDIR [SCRIPTS] [LINES]

Each script has LINES lines (default 600): text with references, pictures, sounds, waits,
.cas blocks, choices and labels, and jumps and calls into the other scripts, so that the check
follows every kind of target. The game is clean: adv --check GAMEDIR reports nothing.
"""
import pathlib
import random
import sys


def script(index, count, lines):
    rng = random.Random(index)
    out = [f"# scene {index}"]
    label = 0
    while len(out) < lines:
        kind = rng.randrange(10)
        other = rng.randrange(count)
        if kind < 4:
            out.append(f"\x82\xa0\x82\xa2\x82\xa4 [score] [name] {index}-{len(out)}\\c")
        elif kind == 4:
            out.append(f".pic screen bg{rng.randrange(20)} 1 20")
            out.append(f".spr screen chara{rng.randrange(5)} 0 0 1 16 100 100")
        elif kind == 5:
            out.append(f".wav se{rng.randrange(10)} 0")
            out.append(f".wat {rng.randrange(1000)}")
        elif kind == 6:
            out += [".cas score", ".== 1", "one\\c", ".skp", ".els", "other\\c", ".skp", "."]
        elif kind == 7:
            out += [f".slt add yes scene{other}:l{rng.randrange(20)}",
                    f".slt add no :l{label}", ".slt exec"]
        elif kind == 8:
            out.append(f".sub scene{other}:l{rng.randrange(20)}")
            out.append(f".let score = score + {rng.randrange(10)}")
        else:
            out.append(f":l{label}")
            label += 1
    # Every script has labels l0 to l19 for the others to reach, and the one its last choice
    # names.
    for extra in range(label, max(label + 1, 20)):
        out.append(f":l{extra}")
    out.append(".sub exit")
    return "\n".join(out) + "\n"


def main():
    game = pathlib.Path(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    lines = int(sys.argv[3]) if len(sys.argv) > 3 else 600
    data = game / "data"
    data.mkdir(parents=True, exist_ok=True)
    (data / "config.txt").write_bytes(b".scr 2\n.int score\n.str name\n")
    (data / "start.txt").write_bytes(b".jmp scene0\n")
    for i in range(count):
        (data / f"scene{i}.txt").write_bytes(script(i, count, lines).encode("latin-1"))
    for name in [f"bg{i}.bmp" for i in range(20)] + [f"chara{i}.bmp" for i in range(5)] + \
            [f"se{i}.wav" for i in range(10)]:
        (data / name).write_bytes(b"")


if __name__ == "__main__":
    main()
