#!/usr/bin/env python3
"""Draws the editor's icons and its "Today" bitmap and writes them as .ico and .bmp files.

    make_resources.py OUTDIR [--preview FILE.png]

Icons: "Alight" (a pale yellow, lit light bulb), "leftArrow" and "rightArrow" (blue chevrons),
"GenHelp" (a white question mark on a blue badge, the help window's icon), each 32x32 and
16x16 in 32-bit colour with alpha. Bitmap: "Today", 32x32 in 16 colours, a red hand-drawn ring
on white in its upper left, which the calendar ANDs over today's day number.
Shapes are signed distance functions sampled 4x4 per pixel, so edges are smooth at both sizes.
--preview writes an enlarged picture of everything, for looking at. Standard library only.
"""

import math
import os
import struct
import sys
import zlib

SUB = 4  # samples per pixel along each axis


# Signed distance functions: negative inside, in pixels.
def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def capsule(ax, ay, bx, by, r):
    return lambda x, y: segment_distance(x, y, ax, ay, bx, by) - r


def polyline(points, r):
    segs = list(zip(points, points[1:]))
    return lambda x, y: min(segment_distance(x, y, *a, *b) for a, b in segs) - r


def polygon(points):
    """Convex or not; sign by the even-odd rule."""
    n = len(points)

    def sdf(x, y):
        d = min(segment_distance(x, y, *points[i], *points[(i + 1) % n]) for i in range(n))
        inside = False
        for i in range(n):
            (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                inside = not inside
        return -d if inside else d

    return sdf


def rounded_box(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r

    return sdf


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def grown(f, by):
    return lambda x, y: f(x, y) - by


def intersect(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


class Canvas:
    """RGBA in 0..1, painted layer by layer with 'over' compositing."""

    def __init__(self, size):
        self.size = size
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(size)] for _ in range(size)]

    def fill(self, sdf, colour, alpha=1.0):
        """colour: an (r, g, b) in 0..255, or a function (x, y) -> (r, g, b)."""
        for py in range(self.size):
            for px in range(self.size):
                hits, sx, sy = 0, 0.0, 0.0
                for j in range(SUB):
                    for i in range(SUB):
                        x, y = px + (i + 0.5) / SUB, py + (j + 0.5) / SUB
                        if sdf(x, y) < 0:
                            hits += 1
                            sx, sy = sx + x, sy + y
                if not hits:
                    continue
                c = colour(sx / hits, sy / hits) if callable(colour) else colour
                a = alpha * hits / (SUB * SUB)
                r0, g0, b0, a0 = self.px[py][px]
                out = a + a0 * (1 - a)
                mix = lambda new, old: (new / 255 * a + old * a0 * (1 - a)) / out
                self.px[py][px] = (mix(c[0], r0), mix(c[1], g0), mix(c[2], b0), out)

    def outlined(self, sdf, fill, outline, width):
        self.fill(sdf, outline)
        self.fill(grown(sdf, -width), fill)

    def rgba8(self):
        return [[tuple(round(v * 255) for v in p) for p in row] for row in self.px]


def lerp(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


# --- Light bulb ------------------------------------------------------------------------------


def draw_bulb(size):
    c = Canvas(size)
    if size >= 24:
        # 32x32: glass, filament, rays of light, three-band screw base.
        cx, cy, r, line = 16.0, 12.5, 8.6, 1.0
        neck_top, neck_bottom, neck_half = cy + r * 0.55, 23.0, 4.2
        base_half, bands, tip = 4.6, (23, 25, 27, 29), (2.4, 31.0)
        for deg in (180, 225, 270, 315, 0):
            a = math.radians(deg)
            r0, r1 = r + 2.4, r + 5.6
            c.fill(capsule(cx + r0 * math.cos(a), cy + r0 * math.sin(a),
                           cx + r1 * math.cos(a), cy + r1 * math.sin(a), 0.85),
                   (245, 190, 40))
    else:
        # 16x16: edges on whole pixels so the outline stays crisp; no filament.
        cx, cy, r, line = 8.0, 6.0, 5.0, 1.0
        neck_top, neck_bottom, neck_half = 8.5, 11.0, 2.6
        base_half, bands, tip = 3.0, (11, 12.5, 14), (1.5, 15.5)
    glass = union(
        circle(cx, cy, r),
        polygon([(cx - r * 0.72, neck_top), (cx + r * 0.72, neck_top),
                 (cx + neck_half, neck_bottom), (cx - neck_half, neck_bottom)]))
    hx, hy = cx - r * 0.38, cy - r * 0.42

    def glass_colour(x, y):
        t = math.hypot(x - hx, y - hy) / (r * 1.5)
        return lerp((255, 253, 228), (250, 226, 110), t)

    c.outlined(glass, glass_colour, (176, 132, 24), line)
    if size >= 24:
        # Filament: a zigzag held by two wires.
        wire_y = cy + 1.5
        for side in (-2.5, 2.5):
            c.fill(polyline([(cx + side, neck_bottom - 0.5), (cx + side, wire_y)], 0.45),
                   (150, 120, 80))
        c.fill(polyline([(cx - 2.5, wire_y), (cx - 1.5, wire_y - 2.2), (cx - 0.5, wire_y),
                         (cx + 0.5, wire_y - 2.2), (cx + 1.5, wire_y), (cx + 2.5, wire_y - 2.2)],
                        0.6), (235, 120, 20))
    # Highlight on the glass.
    c.fill(intersect(circle(hx, hy, r * 0.34), grown(glass, -line - 0.3)), (255, 255, 255), 0.85)
    # Screw base: grey bands and a dark contact.
    bx0, bx1 = cx - base_half, cx + base_half
    for i, (top, bottom) in enumerate(zip(bands, bands[1:])):
        band = rounded_box(bx0, top - 0.1, bx1, bottom + 0.1, 0.9 if size >= 24 else 0.5)
        light = i % 2 == 0

        def metal(x, y, light=light):
            t = (x - bx0) / (bx1 - bx0)
            shine = 1 - abs(t - 0.35) * 1.6
            base = (200, 204, 210) if light else (150, 154, 162)
            return lerp(base, (250, 250, 252), shine * 0.7)

        c.outlined(band, metal, (90, 92, 100), 0.9 if size >= 24 else 0.75)
    c.fill(rounded_box(cx - tip[0], bands[-1] - 0.5, cx + tip[0], tip[1], tip[0] / 2),
           (70, 70, 78))
    return c


# --- Chevrons --------------------------------------------------------------------------------


def draw_chevron(size, pointing_left):
    s = size / 32
    c = Canvas(size)
    if size >= 24:
        tip, back, half, thick, line = 9.5, 21.5, 10.5, 3.6, 1.0
    else:
        tip, back, half, thick, line = 10.0, 21.0, 10.0, 4.2, 0.9
    if not pointing_left:
        tip, back = 32 - tip, 32 - back
    pts = [(back * s, (16 - half) * s), (tip * s, 16 * s), (back * s, (16 + half) * s)]
    shape = polyline(pts, thick * s)

    def blue(x, y):
        t = y / size
        return lerp((110, 170, 255), (22, 78, 200), t)

    c.outlined(shape, blue, (14, 42, 130), line)
    # A soft highlight along the upper stroke.
    hl = polyline([pts[0], pts[1]], thick * s * 0.35)
    off = -thick * s * 0.35
    c.fill(lambda x, y: hl(x, y - off), (255, 255, 255), 0.35)
    return c


# --- Help badge -----------------------------------------------------------------------------


def draw_help(size):
    """A blue round badge with a white question mark: the help window's small icon."""
    s = size / 32
    c = Canvas(size)
    badge = circle(16 * s, 16 * s, 14.6 * s)

    def blue(x, y):
        return lerp((120, 175, 255), (20, 70, 190), y / size)

    c.outlined(badge, blue, (12, 40, 120), 1.0 if size >= 24 else 0.8)
    # The hook: an arc over the top, then down to the stem.
    cx, cy, r = 16 * s, 12.2 * s, 5.0 * s
    pts = [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
           for a in range(195, 396, 15)]
    pts += [(cx + 0.4 * s, 17.6 * s), (cx, 20.2 * s)]
    thick = (1.9 if size >= 24 else 2.1) * s
    c.fill(polyline(pts, thick), (255, 255, 255))
    c.fill(circle(cx, 25.2 * s, 2.1 * s), (255, 255, 255))
    return c


# --- "Today" ring ----------------------------------------------------------------------------

PALETTE16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
             (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
             (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
RED, WHITE = 9, 15


def today_ring():
    """32x32 palette indexes: a pen loop about 23 px across, centred near (11, 11)."""
    cx, cy = 11.2, 11.3
    pts = []
    start, end = math.radians(-40), math.radians(-40 + 385)  # the stroke overlaps its start
    steps = 90
    for k in range(steps + 1):
        t = start + (end - start) * k / steps
        # Wobble and a slow spiral give the look of a quick hand-drawn circle.
        rad = (9.6 + 0.55 * math.sin(2 * t + 0.6) + 0.3 * math.sin(3 * t) +
               0.5 * k / steps + 1.4 * (k / steps) ** 6)
        pts.append((cx + rad * math.cos(t) * 1.04, cy + rad * math.sin(t)))
    width = lambda k: 0.95 + 0.25 * math.sin(math.pi * k / steps)
    segs = list(zip(pts, pts[1:]))
    pixels = []
    for py in range(32):
        row = []
        for px in range(32):
            hits = 0
            for j in range(SUB):
                for i in range(SUB):
                    x, y = px + (i + 0.5) / SUB, py + (j + 0.5) / SUB
                    if any(segment_distance(x, y, *a, *b) < width(k) for k, (a, b) in enumerate(segs)):
                        hits += 1
            row.append(RED if hits * 2 >= SUB * SUB * 0.8 else WHITE)
        pixels.append(row)
    return pixels


# --- File writers ----------------------------------------------------------------------------


def ico_image(canvas):
    """BITMAPINFOHEADER + bottom-up BGRA + AND mask, as an .ico entry holds it."""
    n = canvas.size
    rgba = canvas.rgba8()
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rgba) for (r, g, b, a) in row)
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rgba):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_ico(path, canvases):
    images = [ico_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.size % 256, c.size % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    write_file(path, out + b"".join(images))


def write_bmp4(path, pixels):
    w, h = len(pixels[0]), len(pixels)
    stride = ((w * 4 + 31) // 32) * 4
    rows = bytearray()
    for row in reversed(pixels):
        packed = bytearray(stride)
        for x, idx in enumerate(row):
            packed[x // 2] |= idx << (4 if x % 2 == 0 else 0)
        rows += packed
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE16)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(rows), 3780, 3780, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    write_file(path, header + info + palette + bytes(rows))


def write_file(path, data):
    # Only replace a changed file, so the build does not relink for nothing.
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def write_png(path, rgb_rows):
    h, w = len(rgb_rows), len(rgb_rows[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rgb_rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    write_file(path, png)


def preview(path, icons, ring):
    """Each icon at 32 and 16 px, 1:1 and enlarged, on white and on a dialog grey; then the ring."""
    scale = 8
    backgrounds = [(255, 255, 255), (212, 208, 200)]
    tiles = []  # (rgb rows)

    def on(bg, canvas, k):
        rows = []
        for row in canvas.rgba8():
            out = []
            for (r, g, b, a) in row:
                t = a / 255
                out.append(tuple(round(cv * t + bv * (1 - t)) for cv, bv in zip((r, g, b), bg)))
            rows.append([p for p in out for _ in range(k)])
        return [r for r in rows for _ in range(k)]

    for bg in backgrounds:
        line = []
        for canv in icons:
            line.append(on(bg, canv[0], scale))
            line.append(on(bg, canv[1], scale * 2))
            # Actual size, too.
            small = on(bg, canv[0], 1) + [[bg] * 32 for _ in range(4)] + pad(on(bg, canv[1], 1), 32, bg)
            line.append(pad(small, 256, bg, height=256))
        tiles.append(line)
    ring_rgb = [[PALETTE16[i] for i in row] for row in ring]
    ring_big = [[p for p in row for _ in range(scale)] for row in ring_rgb for _ in range(scale)]
    gap = 8
    width = max(sum(len(t[0]) + gap for t in line) for line in tiles)
    canvas = []
    for line in tiles + [[ring_big, pad(ring_rgb, 256, (255, 255, 255), height=256)]]:
        hgt = max(len(t) for t in line)
        for y in range(hgt):
            row = []
            for t in line:
                row += (t[y] if y < len(t) else [(255, 255, 255)] * len(t[0])) + [(90, 90, 90)] * gap
            row += [(90, 90, 90)] * (width - len(row))
            canvas.append(row)
        canvas += [[(90, 90, 90)] * width for _ in range(gap)]
    write_png(path, canvas)


def pad(rows, width, bg, height=None):
    out = [list(r) + [bg] * (width - len(r)) for r in rows]
    while height and len(out) < height:
        out.append([bg] * width)
    return out


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--preview"):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    icons = {
        "Alight": (draw_bulb(32), draw_bulb(16)),
        "leftArrow": (draw_chevron(32, True), draw_chevron(16, True)),
        "rightArrow": (draw_chevron(32, False), draw_chevron(16, False)),
        "GenHelp": (draw_help(32), draw_help(16)),
    }
    for name, canvases in icons.items():
        write_ico(os.path.join(outdir, name + ".ico"), canvases)
    ring = today_ring()
    write_bmp4(os.path.join(outdir, "Today.bmp"), ring)
    if len(argv) == 4:
        preview(argv[3], list(icons.values()), ring)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
