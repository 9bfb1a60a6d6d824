#!/usr/bin/env python3
"""Draw Sorvel's icon and write it as a Windows .ico file.

The picture is a wireframe sheet with a bump in the middle, seen from above
and to the side, in black on white with grey anti-aliasing. The file holds
two images, 32x32 and 16x16, each with 4 bits per pixel (the standard
16-colour palette) and a transparency mask that hides everything outside
the sheet.

    python3 tools/make_icon.py [ICO_PATH] [--preview PNG_PATH] [--png-dir DIR] [--web-dir DIR]

ICO_PATH defaults to src/windows/ui/res/sorvel.ico. --preview also writes a PNG of
both images, enlarged and at actual size, for checking the drawing by eye.
--png-dir writes the icon as PNGs for the Linux edition's icon theme: the two
Windows images as they are (sorvel-16.png, sorvel-32.png) and the same sheet
drawn anew, smoothly and with more lines, at 48, 128 and 256 pixels. --web-dir writes
the web page's icons for its manifest, drawn the same way at 192 and 512 pixels
(sorvel-192.png, sorvel-512.png).

Only +, -, * and / are used on floating-point numbers (no trigonometry), so
the output is the same byte for byte on any IEEE 754 platform.
"""

import argparse
import os
import struct
import sys
import zlib

# The standard 16-colour palette as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREY, SILVER, WHITE = 0, 8, 7, 15
TRANSPARENT = None

# View: the sheet is turned by about 28 degrees about its normal, then seen
# from about 53 degrees above its plane. Each angle is given by its cosine
# and sine, taken from a Pythagorean triple.
TURN_COS, TURN_SIN = 15 / 17, 8 / 17
TILT_COS, TILT_SIN = 3 / 5, 4 / 5
EYE_DISTANCE = 6.0      # perspective: distance of the eye from the sheet's centre
SUBSAMPLES = 4          # per pixel and axis, for coverage


def sheet_points(lines, bump_height, bump_radius):
    """Project a lines x lines grid over [-1, 1]^2 with a bump at its centre."""
    points = {}
    for i in range(lines):
        for j in range(lines):
            u = -1 + 2 * j / (lines - 1)
            v = -1 + 2 * i / (lines - 1)
            r2 = (u * u + v * v) / (bump_radius * bump_radius)
            z = bump_height * (1 - r2) * (1 - r2) if r2 < 1 else 0.0
            x = TURN_COS * u - TURN_SIN * v
            y = TURN_SIN * u + TURN_COS * v
            depth = TILT_COS * y - TILT_SIN * z
            up = TILT_SIN * y + TILT_COS * z
            scale = EYE_DISTANCE / (EYE_DISTANCE + depth)
            points[i, j] = (x * scale, -up * scale)
    return points


def fit(points, size, margin):
    """Scale and centre the projected points into a size x size square."""
    xs = [p[0] for p in points.values()]
    ys = [p[1] for p in points.values()]
    span = max(max(xs) - min(xs), max(ys) - min(ys))
    k = (size - 2 * margin) / span
    ox = (size - (max(xs) - min(xs)) * k) / 2 - min(xs) * k
    oy = (size - (max(ys) - min(ys)) * k) / 2 - min(ys) * k
    return {key: (ox + x * k, oy + y * k) for key, (x, y) in points.items()}


def distance2(px, py, a, b):
    """Squared distance from (px, py) to the segment a-b."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    t = ((px - a[0]) * dx + (py - a[1]) * dy) / (dx * dx + dy * dy)
    t = min(1.0, max(0.0, t))
    ex, ey = a[0] + t * dx - px, a[1] + t * dy - py
    return ex * ex + ey * ey


def inside(px, py, quad):
    """True if (px, py) lies in the convex quadrilateral (either winding)."""
    signs = set()
    for k in range(4):
        (ax, ay), (bx, by) = quad[k], quad[(k + 1) % 4]
        cross = (bx - ax) * (py - ay) - (by - ay) * (px - ax)
        if cross != 0:
            signs.add(cross > 0)
    return len(signs) < 2


def sheet_geometry(size, lines, bump_height, bump_radius, line_width, margin):
    """The sheet's grid segments and cells fitted to the size, and the squared reach of
    a line's ink from its centre."""
    p = fit(sheet_points(lines, bump_height, bump_radius), size, margin)
    n = lines - 1
    segments = [(p[i, j], p[i, j + 1]) for i in range(lines) for j in range(n)]
    segments += [(p[i, j], p[i + 1, j]) for i in range(n) for j in range(lines)]
    quads = [(p[i, j], p[i, j + 1], p[i + 1, j + 1], p[i + 1, j])
             for i in range(n) for j in range(n)]
    return segments, quads, line_width * line_width / 4


def draw(size, lines, bump_height, bump_radius, line_width, margin):
    """Return rows of palette indices (TRANSPARENT outside the sheet)."""
    segments, quads, reach2 = sheet_geometry(size, lines, bump_height, bump_radius, line_width, margin)
    image = []
    for y in range(size):
        row = []
        for x in range(size):
            ink = 0
            covered = False
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    px = x + (sx + 0.5) / SUBSAMPLES
                    py = y + (sy + 0.5) / SUBSAMPLES
                    if any(distance2(px, py, a, b) <= reach2 for a, b in segments):
                        ink += 1
                        covered = True
                    elif not covered and any(inside(px, py, q) for q in quads):
                        covered = True
            share = ink / (SUBSAMPLES * SUBSAMPLES)
            if not covered:
                row.append(TRANSPARENT)
            elif share < 0.25:
                row.append(WHITE)
            elif share < 0.5:
                row.append(SILVER)
            elif share < 0.75:
                row.append(GREY)
            else:
                row.append(BLACK)
        image.append(row)
    return image


def cells(box, size):
    """The pixel rows and columns that a bounding box (x0, y0, x1, y1) touches."""
    x0, y0, x1, y1 = box
    return (range(max(0, int(y0)), min(size, int(y1) + 1)),
            range(max(0, int(x0)), min(size, int(x1) + 1)))


def draw_smooth(size, lines, bump_height, bump_radius, line_width, margin):
    """Return rows of (grey, alpha) pairs: black lines on white, clear outside."""
    segments, quads, reach2 = sheet_geometry(size, lines, bump_height, bump_radius, line_width, margin)
    # Each pixel tests only the lines and cells whose bounding boxes reach it.
    near_lines = {}
    for a, b in segments:
        r = line_width / 2 + 1
        rows, cols = cells((min(a[0], b[0]) - r, min(a[1], b[1]) - r,
                            max(a[0], b[0]) + r, max(a[1], b[1]) + r), size)
        for y in rows:
            for x in cols:
                near_lines.setdefault((x, y), []).append((a, b))
    near_quads = {}
    for q in quads:
        xs, ys = [c[0] for c in q], [c[1] for c in q]
        rows, cols = cells((min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1), size)
        for y in rows:
            for x in cols:
                near_quads.setdefault((x, y), []).append(q)
    samples = SUBSAMPLES * SUBSAMPLES
    image = []
    for y in range(size):
        row = []
        for x in range(size):
            ink = covered = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    px = x + (sx + 0.5) / SUBSAMPLES
                    py = y + (sy + 0.5) / SUBSAMPLES
                    if any(distance2(px, py, a, b) <= reach2 for a, b in near_lines.get((x, y), ())):
                        ink += 1
                        covered += 1
                    elif any(inside(px, py, q) for q in near_quads.get((x, y), ())):
                        covered += 1
            grey = 255 - (255 * ink + covered // 2) // covered if covered else 0
            row.append((grey, (255 * covered + samples // 2) // samples))
        image.append(row)
    return image


def png_file(width, height, colour_type, raw_rows):
    """A PNG of 8-bit samples: colour type 2 (RGB) or 4 (grey and alpha)."""
    raw = b''.join(b'\0' + bytes(row) for row in raw_rows)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data)))
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def grey_alpha_png(image):
    """A palette image (black, greys and white only) or a smooth one as a PNG."""
    rows = []
    for row in image:
        out = []
        for colour in row:
            if colour is TRANSPARENT:
                out += [0, 0]
            elif isinstance(colour, tuple):
                out += list(colour)
            else:
                out += [PALETTE[colour][0], 255]
        rows.append(out)
    return png_file(len(image), len(image), 4, rows)


def dib(image):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    size = len(image)
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor_bits = bytearray()
    and_bits = bytearray()
    for row in reversed(image):             # bottom-up rows
        line = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour is TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
                colour = BLACK
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor_bits += line
        and_bits += mask
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor_bits) + bytes(and_bits)


def ico(images):
    """ICONDIR, its entries, then the images."""
    blobs = [dib(image) for image in images]
    offset = 6 + 16 * len(blobs)
    out = struct.pack('<HHH', 0, 1, len(blobs))
    for image, blob in zip(images, blobs):
        size = len(image)
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def png(images, zoom=8):
    """Preview: the images enlarged, then at actual size, side by side.

    Transparent pixels show as a checkerboard when enlarged and as the
    background colour at actual size.
    """
    gap = zoom
    width = gap + sum(len(im) * (zoom + 1) + 2 * gap for im in images)
    height = max(len(im) for im in images) * zoom + 2 * gap
    pixels = [[(96, 128, 160)] * width for _ in range(height)]
    left = gap
    for scale in (zoom, 1):
        for image in images:
            for y in range(len(image) * scale):
                for x in range(len(image) * scale):
                    colour = image[y // scale][x // scale]
                    if colour is not TRANSPARENT:
                        rgb = PALETTE[colour]
                    elif scale == 1:
                        continue
                    else:
                        rgb = (200, 200, 200) if (x // 4 + y // 4) % 2 else (240, 240, 240)
                    pixels[gap + y][left + x] = rgb
            left += len(image) * scale + gap
    return png_file(width, height, 2, ([c for rgb in row for c in rgb] for row in pixels))


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description='Draw the icon and write the .ico file.')
    parser.add_argument('ico', nargs='?', default=os.path.join(root, 'src', 'windows', 'ui', 'res', 'sorvel.ico'))
    parser.add_argument('--preview', metavar='PNG', help='also write a preview PNG here')
    parser.add_argument('--png-dir', metavar='DIR', help='also write the icon theme\'s PNGs here')
    parser.add_argument('--web-dir', metavar='DIR', help='also write the web page\'s PNGs here')
    args = parser.parse_args(argv)

    images = [
        draw(32, lines=6, bump_height=1.2, bump_radius=1.1, line_width=1.0, margin=0.5),
        draw(16, lines=4, bump_height=1.3, bump_radius=1.2, line_width=1.0, margin=0.3),
    ]
    with open(args.ico, 'wb') as f:
        f.write(ico(images))
    if args.preview:
        with open(args.preview, 'wb') as f:
            f.write(png(images))
    if args.png_dir:
        large = {
            48: draw_smooth(48, lines=8, bump_height=1.2, bump_radius=1.0, line_width=1.2, margin=1.0),
            128: draw_smooth(128, lines=10, bump_height=1.2, bump_radius=0.9, line_width=2.0, margin=2.0),
            256: draw_smooth(256, lines=10, bump_height=1.2, bump_radius=0.9, line_width=3.5, margin=4.0),
        }
        for size, image in [(32, images[0]), (16, images[1])] + sorted(large.items()):
            with open(os.path.join(args.png_dir, 'sorvel-%d.png' % size), 'wb') as f:
                f.write(grey_alpha_png(image))
    if args.web_dir:
        # The 256-pixel theme icon's drawing, its lines as thick for their size.
        for size in (192, 512):
            image = draw_smooth(size, lines=10, bump_height=1.2, bump_radius=0.9, line_width=3.5 * size / 256,
                                margin=4.0 * size / 256)
            with open(os.path.join(args.web_dir, 'sorvel-%d.png' % size), 'wb') as f:
                f.write(grey_alpha_png(image))


if __name__ == '__main__':
    main(sys.argv[1:])
