#!/usr/bin/env python3
"""Draws the application icon and the logo as RGBA PNG files.

Usage: tools/make_icons.py [output-folder]

Without a folder, the compiled-in icon and logo go to resources/icons and the
icon in the other sizes that desktops pick from (installed into the hicolor
theme) goes to packaging/icons/<size>.png; with a folder, all go there.

The artwork is a rounded tile with a serial waveform (a square wave running
left to right) and two dots for the TX/RX lines. Pure Python, no libraries.
"""
import math
import os
import struct
import sys
import zlib


def write_png(path, width, height, pixels):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw.extend(pixels[y * width + x])

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


def inside_rounded_rect(x, y, size, radius):
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx, ay + t * dy
    return math.hypot(px - qx, py - qy)


def draw(size):
    s = size / 64.0
    # A square wave: the shape of bits on a serial line.
    points = [(10, 38), (18, 38), (18, 24), (28, 24), (28, 38), (36, 38), (36, 24), (46, 24),
              (46, 38), (54, 38)]
    segments = [(points[i][0] * s, points[i][1] * s, points[i + 1][0] * s, points[i + 1][1] * s)
                for i in range(len(points) - 1)]
    dots = [(22 * s, 48 * s, (255, 196, 0)), (42 * s, 48 * s, (120, 230, 120))]
    samples = 4
    pixels = []
    for y in range(size):
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    px = x + (sx + 0.5) / samples
                    py = y + (sy + 0.5) / samples
                    if not inside_rounded_rect(px, py, size, 12 * s):
                        continue
                    # Vertical gradient from blue to teal.
                    t = py / size
                    colour = (int(7 + (74 - 7) * t), int(120 + (189 - 120) * t),
                              int(202 - (202 - 189) * t))
                    if min(distance_to_segment(px, py, *seg) for seg in segments) <= 2.6 * s:
                        colour = (255, 255, 255)
                    for dx, dy, dot_colour in dots:
                        if math.hypot(px - dx, py - dy) <= 4 * s:
                            colour = dot_colour
                    acc[0] += colour[0]
                    acc[1] += colour[1]
                    acc[2] += colour[2]
                    acc[3] += 255
            n = samples * samples
            alpha = acc[3] / n
            if alpha == 0:
                pixels.append((0, 0, 0, 0))
            else:
                covered = acc[3] / 255.0
                pixels.append((int(acc[0] / covered), int(acc[1] / covered), int(acc[2] / covered),
                               int(alpha)))
    return pixels


# 64 is the compiled-in app_icon.png, installed as it is.
DESKTOP_ICON_SIZES = (32, 48, 128, 256)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    if len(sys.argv) > 1:
        folder = desktop_folder = sys.argv[1]
    else:
        folder = os.path.join(root, "resources", "icons")
        desktop_folder = os.path.join(root, "packaging", "icons")
    os.makedirs(folder, exist_ok=True)
    os.makedirs(desktop_folder, exist_ok=True)
    write_png(os.path.join(folder, "app_icon.png"), 64, 64, draw(64))
    write_png(os.path.join(folder, "logo.png"), 200, 200, draw(200))
    for size in DESKTOP_ICON_SIZES:
        write_png(os.path.join(desktop_folder, "%d.png" % size), size, size, draw(size))


if __name__ == "__main__":
    main()
