#!/usr/bin/env python3
"""Prints the scrambling table of net/src/HashTable.cpp.

Kept only to document where the committed values came from; the committed
literals are authoritative and must never be regenerated into the source.
"""

MASK = (1 << 64) - 1
SEED = 0x5452414E53504F52


def splitmix64(state):
    state = (state + 0x9E3779B97F4A7C15) & MASK
    z = state
    z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
    z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
    return state, z ^ (z >> 31)


def main():
    state = SEED
    values = []
    for _ in range(256):
        state, z = splitmix64(state)
        byte = z & 0xFF
        values.append(byte - 256 if byte > 127 else byte)
    for row in range(0, 256, 16):
        print("    " + ", ".join("%4d" % v for v in values[row:row + 16]) + ",")


if __name__ == "__main__":
    main()
