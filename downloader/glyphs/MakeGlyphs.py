#!/usr/bin/env python3
"""Draws the twelve 15x15 lamp glyphs as 16-colour XPM files.

Run once after changing the drawing; the XPM files are committed and built
into the program as resources. The corner colour is the transparent one:
the lamp takes it from the bottom-left pixel of each image.
"""
import math
import os

SIZE = 15
BACKGROUND = (255, 0, 255)
RIM = (48, 48, 48)

# Lit colour, unlit colour.
LIGHTS = {
    "RED": ((255, 40, 32), (104, 16, 16)),
    "GREEN": ((40, 230, 40), (16, 88, 16)),
    "BLUE": ((56, 112, 255), (16, 24, 104)),
    "YELLOW": ((255, 232, 16), (104, 96, 16)),
    "PURPLE": ((210, 64, 255), (80, 16, 104)),
}


def scale(colour, factor):
    return tuple(max(0, min(255, round(c * factor))) for c in colour)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def light(lit, on):
    """A round lamp lit from the top left, with a rim and a glint."""
    base = lit[0] if on else lit[1]
    pixels = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            dx, dy = x - 7, y - 7
            d = math.hypot(dx, dy)
            if d > 7.2:
                row.append(BACKGROUND)
            elif d > 6.1:
                row.append(RIM)
            else:
                # Brightness falls from the top left to the bottom right, in
                # five steps so the image stays within 16 colours.
                t = (-(dx + dy) / (math.sqrt(2) * 6.0) + 1) / 2
                step = round(t * 4) / 4
                colour = scale(base, 0.6 + 0.5 * step)
                if math.hypot(x - 5, y - 5) < 1.6:
                    colour = (255, 255, 255) if on else mix(base, (255, 255, 255), 0.45)
                elif on and math.hypot(x - 5, y - 5) < 2.7:
                    colour = mix(base, (255, 255, 255), 0.55)
                row.append(colour)
        pixels.append(row)
    return pixels


def bulb(on):
    """A clear bulb on a screw base; lit, the glass glows yellow."""
    glass = (255, 236, 96) if on else (200, 200, 208)
    glow = (255, 255, 200) if on else (236, 236, 240)
    filament = (255, 128, 0) if on else (96, 96, 96)
    pixels = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            colour = BACKGROUND
            d = math.hypot(x - 7, y - 5.5)
            if y <= 10 and d <= 5.6:
                colour = RIM if d > 4.7 else glass
                if d <= 4.7 and math.hypot(x - 5.5, y - 4) < 1.5:
                    colour = glow
                if 5 <= y <= 6 and 5 <= x <= 9 and (x + y) % 2 == 0:
                    colour = filament
                if y in (7, 8) and x in (6, 8):
                    colour = filament
            if 10 <= y <= 13 and 5 <= x <= 9:
                colour = (160, 160, 168) if y % 2 == 0 else (96, 96, 104)
                if x in (5, 9):
                    colour = RIM
            if y == 14 and 6 <= x <= 8:
                colour = RIM
            row.append(colour)
        pixels.append(row)
    return pixels


def write_xpm(name, pixels, folder):
    colours = []
    for row in pixels:
        for c in row:
            if c not in colours:
                colours.append(c)
    assert len(colours) <= 16, (name, len(colours))
    keys = "abcdefghijklmnop"
    lines = ["/* XPM */", f"static const char *const {name}[] = {{",
             f'"{SIZE} {SIZE} {len(colours)} 1",']
    for key, c in zip(keys, colours):
        lines.append(f'"{key} c #{c[0]:02X}{c[1]:02X}{c[2]:02X}",')
    for i, row in enumerate(pixels):
        text = "".join(keys[colours.index(c)] for c in row)
        lines.append(f'"{text}"' + ("," if i < SIZE - 1 else ""))
    lines.append("};")
    with open(os.path.join(folder, name + ".xpm"), "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    for colour, lit in LIGHTS.items():
        write_xpm(f"LED{colour}ON", light(lit, True), folder)
        write_xpm(f"LED{colour}OFF", light(lit, False), folder)
    write_xpm("LEDBULBON", bulb(True), folder)
    write_xpm("LEDBULBOFF", bulb(False), folder)


if __name__ == "__main__":
    main()
