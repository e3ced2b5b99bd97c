#!/usr/bin/env python3
"""Writes spin.gif, the busy animation of the toolbar strip: twelve dots on
black, one bright dot running round with a fading tail. Standard library only;
run it again after changing the drawing."""
import math
import struct
import sys

SIZE = 40
FRAMES = 12
DOTS = 12
DELAY_CS = 8  # hundredths of a second per frame

# Palette index 0 is the background; 1..8 are tail shades from dim to bright.
SHADES = [(0, 0, 0)] + [(int(40 + 215 * k / 7), int(60 + 195 * k / 7), int(90 + 165 * k / 7)) for k in range(8)]


def frame_pixels(step):
    pixels = bytearray(SIZE * SIZE)
    centre = (SIZE - 1) / 2
    for dot in range(DOTS):
        age = (step - dot) % DOTS
        shade = max(1, 8 - age) if age < 8 else 1
        angle = 2 * math.pi * dot / DOTS - math.pi / 2
        cx = centre + 13 * math.cos(angle)
        cy = centre + 13 * math.sin(angle)
        radius = 2.2 + (0.8 if age == 0 else 0)
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    pixels[y * SIZE + x] = shade
    return pixels


def lzw_fixed_width(pixels, min_code_size=7):
    """Codes of one fixed width: a clear code often enough that the table
    never grows past it. Larger than real LZW, but every decoder reads it."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    width = min_code_size + 1
    codes = [clear]
    for i, p in enumerate(pixels):
        if i and i % 100 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits, nbits, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 0xFF)
    return out


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return out + b"\x00"


def main(path):
    palette = SHADES + [(0, 0, 0)] * (128 - len(SHADES))
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", SIZE, SIZE, 0xF6, 0, 0)  # global table of 128 colours
    for r, g, b in palette:
        gif += bytes([r, g, b])
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # repeat without end
    for step in range(FRAMES):
        gif += b"\x21\xF9\x04\x04" + struct.pack("<H", DELAY_CS) + b"\x00\x00"
        gif += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        gif += bytes([7]) + sub_blocks(lzw_fixed_width(frame_pixels(step)))
    gif += b"\x3B"
    with open(path, "wb") as f:
        f.write(gif)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "spin.gif")
