#!/usr/bin/env python3
"""Writes the program's resources: the icons, the image pack, the manifest and the
resource script that binds them. Run it from anywhere; it writes beside itself:

    corvel.rc        the resource script the build compiles
    corvel.manifest  asks for version 6 of the common controls
    imagepack.bin    raw data resource 175: nine-patch backgrounds and one small image
    icons/NNN.ico    one icon file per icon resource id

Only zlib and struct are used, so the output is the same wherever it runs. Every image
is drawn here from simple shapes, supersampled for smooth edges."""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SUPERSAMPLE = 4


# ---------------------------------------------------------------------------- shapes
# A shape is a function (x, y) -> bool over continuous pixel coordinates; a design is
# laid out on a 16-unit grid and scaled to the image size.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def seg(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9
    half2 = (w / 2.0) ** 2

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half2
    return inside


def polyline(points, w):
    return union(*[seg(a[0], a[1], b[0], b[1], w) for a, b in zip(points, points[1:])])


def poly(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def arc(cx, cy, r, w, start, end):
    """Part of a ring between two angles in degrees (0 = right, counter-clockwise on screen)."""
    band = ring(cx, cy, r, w)

    def inside(x, y):
        if not band(x, y):
            return False
        angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (angle - start) % 360 <= (end - start) % 360
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def star(cx, cy, outer, inner):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = math.radians(90 + 36 * i)
        points.append((cx + r * math.cos(a), cy - r * math.sin(a)))
    return poly(points)


# ---------------------------------------------------------------------------- images

class Image:
    """Straight (not premultiplied) RGBA pixels, composited source-over."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, shape, color, scale=1.0):
        """Paints color where shape covers; a color of None erases instead."""
        r, g, b, a = color if color else (0, 0, 0, 255)
        n = SUPERSAMPLE
        for py in range(self.height):
            for px in range(self.width):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if shape((px + (sx + 0.5) / n) / scale, (py + (sy + 0.5) / n) / scale):
                            hits += 1
                if hits and color:
                    self.blend(px, py, r, g, b, a / 255.0 * hits / (n * n))
                elif hits:
                    self.pixels[py * self.width + px][3] *= 1 - hits / float(n * n)

    def blend(self, px, py, r, g, b, alpha):
        p = self.pixels[py * self.width + px]
        out = alpha + p[3] * (1 - alpha)
        if out <= 0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = (c * alpha + p[i] * p[3] * (1 - alpha)) / out
        p[3] = out

    def rgba_rows(self):
        rows = []
        for y in range(self.height):
            row = bytearray()
            for x in range(self.width):
                p = self.pixels[y * self.width + x]
                a = int(round(p[3] * 255))
                row += bytes((int(round(p[0])) if a else 0, int(round(p[1])) if a else 0,
                              int(round(p[2])) if a else 0, a))
            rows.append(bytes(row))
        return rows


def draw(size, design, grid=16):
    """An image of size x size pixels from a design laid out on a grid x grid square."""
    image = Image(size, size)
    for shape, color in design():
        image.fill(shape, color, size / float(grid))
    return image


# ---------------------------------------------------------------------------- PNG

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_bytes(image, total=None):
    """8-bit RGBA, not interlaced. With total, a comment chunk pads the file to that size."""
    raw = b"".join(b"\x00" + row for row in image.rgba_rows())
    header = png_chunk(b"IHDR", struct.pack(">IIBBBBB", image.width, image.height, 8, 6, 0, 0, 0))
    body = png_chunk(b"IDAT", zlib.compress(raw, 9))
    end = png_chunk(b"IEND", b"")
    signature = b"\x89PNG\r\n\x1a\n"
    natural = len(signature) + len(header) + len(body) + len(end)
    if total is None:
        return signature + header + body + end
    keyword = b"Comment\x00"
    padding = total - natural - 12 - len(keyword)
    if padding < 0:
        raise SystemExit("image too large for its place in the pack: %d > %d" % (natural + 20, total))
    comment = png_chunk(b"tEXt", keyword + b"." * padding)
    return signature + header + comment + body + end


# ---------------------------------------------------------------------------- icons

def ico_bytes(images):
    """An icon file of 32-bit images with their transparency masks."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for image in images:
        w, h = image.width, image.height
        mask_stride = ((w + 31) // 32) * 4
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, w * h * 4 + mask_stride * h, 0, 0, 0, 0)
        rows = image.rgba_rows()
        colors = bytearray()
        mask = bytearray()
        for row in reversed(rows):  # bottom-up
            bits = bytearray(mask_stride)
            for x in range(w):
                r, g, b, a = row[x * 4:x * 4 + 4]
                colors += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        blob = info + bytes(colors) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# Palette
INK = (40, 44, 52, 255)
WHITE = (255, 255, 255, 255)
PAPER = (250, 250, 247, 255)
PAPER_EDGE = (120, 124, 132, 255)
BLUE = (46, 110, 196, 255)
DARK_BLUE = (24, 64, 128, 255)
LIGHT_BLUE = (120, 170, 230, 255)
GREEN = (52, 150, 72, 255)
RED = (208, 52, 44, 255)
DARK_RED = (150, 30, 26, 255)
YELLOW = (246, 196, 48, 255)
ORANGE = (232, 132, 36, 255)
BROWN = (168, 116, 60, 255)
LIGHT_BROWN = (214, 170, 108, 255)
GREY = (128, 132, 140, 255)
LIGHT_GREY = (196, 198, 204, 255)
FOLDER = (236, 184, 72, 255)
FOLDER_DARK = (196, 140, 40, 255)
PURPLE = (128, 76, 176, 255)


def page(extra=()):
    """A sheet with a folded corner, and whatever is drawn on it."""
    outline = poly([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)])
    inner = poly([(4, 2), (9.5, 2), (12, 4.5), (12, 14), (4, 14)])
    fold = poly([(9.5, 1.5), (9.5, 4.5), (12.5, 4.5)])
    return [(outline, PAPER_EDGE), (inner, PAPER), (fold, LIGHT_GREY)] + list(extra)


def text_lines(colors, x0=5.5, y0=6.5, step=2.0):
    lengths = [5, 4, 5.5, 3]
    return [(seg(x0, y0 + i * step, x0 + lengths[i % 4], y0 + i * step, 1), c) for i, c in enumerate(colors)]


def folder(body=FOLDER, edge=FOLDER_DARK, dashed=False):
    back = union(rrect(1, 3, 7, 6, 1), rrect(1, 4, 15, 14, 1))
    front = rrect(1.8, 6, 14.2, 13.2, 0.8)
    design = [(back, edge), (front, body)]
    if dashed:
        design.append((union(*[rect(3 + 3 * i, 9, 4.8 + 3 * i, 10.2) for i in range(4)]), edge))
    return design


def badge(color, glyph):
    return [(circle(8, 8, 7.4), color), (ring(8, 8, 7.4, 0.9), darker(color))] + glyph


def darker(color, f=0.7):
    return tuple(int(c * f) for c in color[:3]) + (color[3],)


def faded(color, a=110):
    return color[:3] + (a,)


def logo():
    # The program's mark: a sail over a hull, white on a blue rounded square.
    return [(rrect(0.5, 0.5, 15.5, 15.5, 3), BLUE),
            (poly([(7.5, 2.5), (7.5, 10), (3, 10)]), WHITE),
            (poly([(8.7, 3.5), (12.8, 10), (8.7, 10)]), (220, 232, 250, 255)),
            (poly([(2.5, 11), (13.5, 11), (11.5, 13.5), (4.5, 13.5)]), WHITE)]


def warning_triangle(scale=1.0):
    outer = poly([(8, 1), (15.3, 14.5), (0.7, 14.5)])
    inner = poly([(8, 2.8), (13.9, 13.6), (2.1, 13.6)])
    return [(outer, darker(YELLOW, 0.75)), (inner, YELLOW), (seg(8, 6, 8, 9.8, 1.6), INK), (circle(8, 12, 0.9), INK)]


def cross(cx, cy, r, w, color):
    return (union(seg(cx - r, cy - r, cx + r, cy + r, w), seg(cx - r, cy + r, cx + r, cy - r, w)), color)


def plus(cx, cy, r, w, color):
    return (union(seg(cx - r, cy, cx + r, cy, w), seg(cx, cy - r, cx, cy + r, w)), color)


def spinner_frame(frame):
    design = []
    for i in range(8):
        a = math.radians(90 - 45 * i)
        age = (frame - i) % 8  # 0: the leading dot
        shade = max(50, 255 - age * 40)
        design.append((circle(8 + 5 * math.cos(a), 8 - 5 * math.sin(a), 1.9 if age == 0 else 1.5),
                       (DARK_BLUE[0], DARK_BLUE[1], DARK_BLUE[2], shade)))
    return design


def gear():
    teeth = [seg(8 + 4.5 * math.cos(math.radians(a)), 8 - 4.5 * math.sin(math.radians(a)),
                 8 + 6.8 * math.cos(math.radians(a)), 8 - 6.8 * math.sin(math.radians(a)), 2.4)
             for a in range(0, 360, 45)]
    return [(union(circle(8, 8, 5.2), *teeth), GREY), (circle(8, 8, 2.2), WHITE)]


def briefcase(body, edge):
    return [(rrect(5.5, 2, 10.5, 6, 1), edge), (rrect(6.7, 3.2, 9.3, 6, 0.5), None),
            (rrect(1, 5, 15, 14, 1.5), edge), (rrect(2, 6, 14, 13, 1), body), (rect(1.5, 8.5, 14.5, 9.5), edge)]


def star_icon(fill, edge):
    return [(star(8, 8.5, 7.4, 3.1), edge), (star(8, 8.6, 5.6, 2.3), fill)]


DESIGNS = {
    101: logo,
    102: lambda: page(text_lines([PURPLE, BLUE, GREEN, ORANGE])),                       # grammar
    103: lambda: [(polyline([(6, 3), (2, 8), (6, 13)], 1.8), GREEN),                     # snippet
                  (polyline([(10, 3), (14, 8), (10, 13)], 1.8), GREEN),
                  (seg(9, 4, 7, 12, 1.4), INK)],
    104: lambda: [(poly([(8, 1), (15, 4.5), (8, 8), (1, 4.5)]), LIGHT_BROWN),           # bundle
                  (poly([(1, 4.5), (8, 8), (8, 15), (1, 11.5)]), BROWN),
                  (poly([(15, 4.5), (8, 8), (8, 15), (15, 11.5)]), darker(BROWN, 0.8)),
                  (seg(4.5, 2.75, 11.5, 6.25, 1.2), (250, 230, 190, 255))],
    105: lambda: [(seg(3, 13, 12, 4, 3.2), ORANGE), (poly([(1.5, 14.5), (2.2, 11.3), (4.7, 13.8)]), INK),  # edit
                  (seg(11, 3, 13, 5, 3.4), RED)],
    106: lambda: [(seg(2, 8, 11, 8, 1.8), BLUE), (poly([(8, 4), (12.5, 8), (8, 12)]), BLUE),   # tab trigger
                  (seg(13.5, 3, 13.5, 13, 1.6), INK)],
    107: lambda: page(),                                                                     # file
    108: lambda: folder(),                                                                   # folder
    109: lambda: [(ring(6.5, 6.5, 5, 1.8), INK), (circle(6.5, 6.5, 3.2), (210, 230, 250, 255)),  # find
                  (seg(10, 10, 14.5, 14.5, 2.6), INK)],
    126: lambda: [(poly([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)]), (214, 216, 222, 255)),  # empty area
                  (poly([(3.25, 1.25), (9.9, 1.25), (12.75, 4.1), (12.75, 14.75), (3.25, 14.75)]),
                   (238, 239, 242, 255)),
                  (poly([(9.9, 1.25), (9.9, 4.1), (12.75, 4.1)]), (214, 216, 222, 255)),
                  (poly([(7.8, 5), (7.8, 10), (5, 10)]), (200, 208, 222, 255)),
                  (poly([(8.5, 5.6), (11, 10), (8.5, 10)]), (200, 208, 222, 255)),
                  (poly([(4.6, 10.6), (11.4, 10.6), (10.2, 12.2), (5.8, 12.2)]), (200, 208, 222, 255))],
    127: gear,
    134: warning_triangle,                                                                    # warning
    135: lambda: badge(RED, [cross(8, 8, 3, 2.0, WHITE)]),                                    # error
    136: lambda: badge(BLUE, [(circle(8, 4.6, 1.2), WHITE), (seg(8, 7.2, 8, 12, 2.0), WHITE)]),  # information
    137: lambda: badge(BLUE, [(arc(8, 6.2, 2.9, 1.7, 300, 180), WHITE), (seg(8, 8.7, 8, 10, 1.7), WHITE),  # question
                              (circle(8, 12.3, 1.0), WHITE)]),
    138: lambda: [(rrect(1, 2, 15, 14, 1), DARK_BLUE), (rect(2, 5, 14, 13), PAPER),          # window
                  (rect(11.5, 3, 13.5, 4.2), WHITE)],
    140: lambda: [(circle(8, 8, 7), LIGHT_BROWN),                                            # theme
                  (circle(10.5, 11, 2.0), None),
                  (circle(5, 6, 1.4), RED), (circle(8.5, 4.2, 1.4), YELLOW), (circle(11.8, 6.5, 1.4), GREEN),
                  (circle(4.8, 10, 1.4), BLUE), (circle(10.5, 11, 1.6), WHITE)],
    141: lambda: [(seg(2, 4, 14, 4, 1.2), GREY), (seg(2, 8, 14, 8, 1.2), GREY), (seg(2, 12, 14, 12, 1.2), GREY),  # prefs
                  (rrect(9, 2, 12, 6, 0.8), BLUE), (rrect(4, 6, 7, 10, 0.8), BLUE), (rrect(8, 10, 11, 14, 0.8), BLUE)],
    147: lambda: [(polyline([(3, 8.5), (6.5, 12), (13, 4)], 2.2), INK)],                     # check mark
    148: lambda: [(circle(8, 8, 3.2), INK)],                                                  # bullet
    151: lambda: [(circle(8, 8, 7.2), GREEN), plus(8, 8, 4, 2.2, WHITE)],                     # add
    152: lambda: [cross(8, 8, 3.8, 1.9, GREY)],                                               # close
    156: lambda: [(circle(8, 8, 4), GREY), (circle(8, 8, 2.6), LIGHT_GREY)],                  # marker: other
    157: lambda: badge(RED, [cross(8, 8, 2.6, 1.8, WHITE)]),                                  # marker: error
    158: lambda: badge(BLUE, [(circle(8, 4.8, 1.1), WHITE), (seg(8, 7.2, 8, 11.8, 1.8), WHITE)]),  # marker: info
    159: warning_triangle,                                                                    # marker: warning
    160: lambda: [(poly([(4, 1.5), (12, 1.5), (12, 14.5), (8, 11), (4, 14.5)]), BLUE)],      # bookmark
    161: lambda: [(poly([(5, 3), (12, 8), (5, 13)]), INK)],                                   # expand arrow
    162: lambda: briefcase(ORANGE, darker(ORANGE, 0.65)),                                     # active project
    163: lambda: briefcase(LIGHT_GREY, GREY),                                                 # other project
    164: lambda: star_icon((240, 240, 240, 255), GREY),                                 # not starred
    166: lambda: star_icon(YELLOW, darker(YELLOW, 0.75)),                                     # starred
    167: lambda: [(ring(8, 8, 7, 1.6), INK), (polyline([(8, 4), (8, 8), (11, 10)], 1.6), INK)],  # clock
    168: warning_triangle,                                                                    # needs attention
    169: lambda: folder((150, 190, 236, 255), DARK_BLUE, dashed=True),                        # virtual folder
    171: lambda: star_icon((255, 236, 160, 255), ORANGE),                                     # star, hovered
    172: lambda: [(arc(8, 6.5, 4, 1.8, 0, 180), GREY), (rect(4.2, 6.5, 5.9, 8), GREY),       # lock
                  (rect(10.1, 6.5, 11.8, 8), GREY), (rrect(2.5, 7.5, 13.5, 15, 1.2), YELLOW),
                  (circle(8, 10.6, 1.3), INK), (seg(8, 11, 8, 13, 1), INK)],
    173: lambda: [(poly([(0.5, 8), (4, 4), (8, 3), (12, 4), (15.5, 8), (12, 12), (8, 13), (4, 12)]), INK),
                  (poly([(2, 8), (5, 5.2), (8, 4.5), (11, 5.2), (14, 8), (11, 10.8), (8, 11.5), (5, 10.8)]), WHITE),
                  (circle(8, 8, 2.7), BLUE), (circle(8, 8, 1.1), INK)],
    174: lambda: [(arc(8, 8, 6, 1.9, 20, 160), GREEN), (arc(8, 8, 6, 1.9, 200, 340), GREEN),  # refresh
                  (poly([(12.2, 1.5), (15, 6.2), (9.8, 5.6)]), GREEN), (poly([(3.8, 14.5), (1, 9.8), (6.2, 10.4)]), GREEN)],
    176: lambda: [(rrect(1, 2, 15, 14, 1.2), INK), (polyline([(3.5, 5.5), (6, 8), (3.5, 10.5)], 1.4), WHITE),  # console
                  (seg(7.5, 11, 12, 11, 1.4), WHITE)],
}

# Spinner frames in the order they turn: 119 to 125, then 110.
for index, resource in enumerate([119, 120, 121, 122, 123, 124, 125, 110]):
    DESIGNS[resource] = (lambda i: lambda: spinner_frame(i))(index)

SIZES = {resource: [16] for resource in DESIGNS}
for resource in (101, 134, 135, 136, 137, 151):
    SIZES[resource] = [16, 32]
SIZES[126] = [128]


# ---------------------------------------------------------------------------- image pack

NINE_PATCH = 0xB6BE96ED
BITMAP = 0xE86D5EAC
PACK_SIZE = 3371
# Each entry's PNG size; the pack's layout and total are fixed.
PNG_SIZES = [661, 640, 636, 631, 631]


def hint_panel(fill, border):
    """38 x 38: a rounded panel with an opaque centre and a soft shadow below."""
    def design():
        return [(rrect(1, 2.5, 37, 38, 4), (0, 0, 0, 24)),
                (rrect(0.5, 1, 37.5, 37, 4), (0, 0, 0, 36)),
                (rrect(0, 0, 38, 35.5, 3.5), border),
                (rrect(1, 1, 37, 34.5, 2.5), fill)]
    return draw(38, design, grid=38)


def frame_panel(fill, border):
    """32 x 32: a rounded box whose edges stretch."""
    def design():
        return [(rrect(0, 0, 32, 32, 3), border), (rrect(1, 1, 31, 31, 2), fill)]
    return draw(32, design, grid=32)


def pack_entries():
    close_mark = draw(15, lambda: [(circle(7.5, 7.5, 7.2), (0, 0, 0, 90)), cross(7.5, 7.5, 3, 1.7, WHITE)], grid=15)
    return [
        (NINE_PATCH, (4, 3, 34, 33, 10, 5, 10, 7), hint_panel((255, 252, 226, 255), (178, 170, 120, 255))),
        (NINE_PATCH, (4, 3, 34, 33, 11, 5, 11, 7), hint_panel((255, 236, 232, 255), (190, 110, 100, 255))),
        (NINE_PATCH, (3, 3, 29, 29, 3, 3, 3, 3), frame_panel((46, 110, 196, 72), (46, 110, 196, 200))),
        (NINE_PATCH, (3, 3, 29, 29, 3, 3, 3, 3), frame_panel((128, 132, 140, 56), (128, 132, 140, 190))),
        (BITMAP, None, close_mark),
    ]


def image_pack():
    blobs = []
    for (kind, fields, image), png_size in zip(pack_entries(), PNG_SIZES):
        blob = struct.pack("<I", kind)
        if fields:
            blob += struct.pack("<8I", *fields)
        blob += png_bytes(image, png_size)
        blobs.append(blob)
    ends, end = [], 0
    for blob in blobs:
        end += len(blob)
        ends.append(end)
    pack = struct.pack("<I", len(blobs)) + struct.pack("<%dI" % len(ends), *ends) + b"".join(blobs)
    assert len(pack) == PACK_SIZE, len(pack)
    assert len(blobs[0]) == 697
    return pack


# ---------------------------------------------------------------------------- script

MANIFEST = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Corvel.Editor" version="3.5.0.0" processorArchitecture="x86"/>
  <description>Corvel</description>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                        processorArchitecture="x86" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
</assembly>
"""


def resource_script():
    lines = ["// Written by make_resources.py: edit that, not this.",
             "",
             "// The manifest (RT_MANIFEST) asks for version 6 of the common controls.",
             "1 24 \"corvel.manifest\"",
             "",
             "// The image pack: nine-patch backgrounds and one small image.",
             "175 RCDATA \"imagepack.bin\"",
             ""]
    for resource in sorted(DESIGNS):
        lines.append("%d ICON \"icons/%d.ico\"" % (resource, resource))
    return "\n".join(lines) + "\n"


def write(name, data):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "w" if isinstance(data, str) else "wb"
    with open(path, mode, newline="\n") if mode == "w" else open(path, mode) as out:
        out.write(data)


def main():
    for resource in sorted(DESIGNS):
        images = [draw(size, DESIGNS[resource]) for size in SIZES[resource]]
        write("icons/%d.ico" % resource, ico_bytes(images))
    write("imagepack.bin", image_pack())
    write("corvel.manifest", MANIFEST)
    write("corvel.rc", resource_script())


if __name__ == "__main__":
    main()
