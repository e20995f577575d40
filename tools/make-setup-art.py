#!/usr/bin/env python3
"""Draws the installer's pictures (wizard bitmaps and program icon) into setup/res, and the logos of
the Windows 11 menu's package into package/Assets.

Plain Python, no imaging library: each picture is a list of shapes given as point tests, painted
with 4x4 supersampling for smooth edges. Run it again after changing a picture and commit the files.
"""
import math
import os
import struct
import zlib

SAMPLES = 4


class Canvas:
    def __init__(self, width, height, background=None):
        self.w, self.h = width, height
        self.rgba = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]
        if background:
            for y in range(height):
                for x in range(width):
                    self.rgba[y * width + x] = list(background(x, y)) + [1.0]

    def paint(self, inside, color, bounds=None):
        x0, y0, x1, y1 = bounds or (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.w, int(x1) + 2), min(self.h, int(y1) + 2)
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES):
                            hits += 1
                if not hits:
                    continue
                a = hits / (SAMPLES * SAMPLES) * (color[3] if len(color) > 3 else 1.0)
                px = self.rgba[y * self.w + x]
                out_a = a + px[3] * (1 - a)
                for i in range(3):
                    px[i] = (color[i] * a + px[i] * px[3] * (1 - a)) / out_a if out_a else 0
                px[3] = out_a

    # Shapes -------------------------------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, color, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 + 1e-9
        self.paint(inside, color, (x0, y0, x1, y1))

    def circle(self, cx, cy, r, color):
        self.paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color, (cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r, width, color):
        self.paint(lambda x, y: (r - width) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color,
                   (cx - r, cy - r, cx + r, cy + r))

    def polygon(self, points, color):
        def inside(x, y):
            result = False
            n = len(points)
            for i in range(n):
                (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    result = not result
            return result
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.paint(inside, color, (min(xs), min(ys), max(xs), max(ys)))

    def line(self, points, width, color):
        half = width / 2.0

        def inside(x, y):
            for (ax, ay), (bx, by) in zip(points, points[1:]):
                dx, dy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
                if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half:
                    return True
            return False
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.paint(inside, color, (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half))

    # Output -------------------------------------------------------------------------------------
    def bgr_rows(self, background=(1, 1, 1)):
        rows = []
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for x in range(self.w):
                r, g, b, a = self.rgba[y * self.w + x]
                for c, bg in ((b, background[2]), (g, background[1]), (r, background[0])):
                    row.append(int(round(255 * (c * a + bg * (1 - a)))))
            row.extend(b'\0' * ((4 - len(row) % 4) % 4))
            rows.append(bytes(row))
        return b''.join(rows)

    def bmp(self):
        pixels = self.bgr_rows()
        header = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
        return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels

    def icon_image(self):
        xor = bytearray()
        for y in range(self.h - 1, -1, -1):
            for x in range(self.w):
                r, g, b, a = self.rgba[y * self.w + x]
                xor += bytes((int(round(b * 255)), int(round(g * 255)), int(round(r * 255)), int(round(a * 255))))
        mask_stride = ((self.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(self.w):
                if self.rgba[y * self.w + x][3] < 0.5:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack('<IiiHHIIiiII', 40, self.w, self.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        return header + bytes(xor) + bytes(mask)


    def png(self):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)
            for x in range(self.w):
                raw += bytes(int(round(255 * v)) for v in self.rgba[y * self.w + x])

        def chunk(kind, data):
            return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
        return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def ico(canvases):
    images = [c.icon_image() for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def hex_color(text, alpha=1.0):
    return (int(text[1:3], 16) / 255, int(text[3:5], 16) / 255, int(text[5:7], 16) / 255, alpha)


def panel(w, h):
    top, bottom = hex_color('#dcebfa'), hex_color('#ffffff')
    return lambda x, y: tuple(top[i] + (bottom[i] - top[i]) * y / (h - 1) for i in range(3))


W, H = 88, 96
INK = hex_color('#2b4a6f')
SHADOW = hex_color('#1c2a3a', 0.18)


def document(c, x, y, w, h, fold=10):
    c.polygon([(x + 2, y + 2), (x + w - fold + 2, y + 2), (x + w + 2, y + fold + 2), (x + w + 2, y + h + 2),
               (x + 2, y + h + 2)], SHADOW)
    c.polygon([(x, y), (x + w - fold, y), (x + w, y + fold), (x + w, y + h), (x, y + h)], INK)
    c.polygon([(x + 1.2, y + 1.2), (x + w - fold, y + 1.2), (x + w - 1.2, y + fold), (x + w - 1.2, y + h - 1.2),
               (x + 1.2, y + h - 1.2)], hex_color('#ffffff'))
    c.polygon([(x + w - fold, y + 1), (x + w - fold, y + fold), (x + w - 1, y + fold)], hex_color('#c9d6e4'))


def folder(c, x, y, w, h, front='#f2c14e', back='#d99a22'):
    c.rect(x + 2, y + 6, x + w + 2, y + h + 2, SHADOW, 3)
    c.rect(x, y, x + w * 0.42, y + 10, hex_color(back), 3)
    c.rect(x, y + 5, x + w, y + h, hex_color(back), 3)
    c.polygon([(x + 4, y + 14), (x + w + 3, y + 14), (x + w - 2, y + h), (x, y + h)], hex_color(front))


def welcome():
    c = Canvas(W, H, panel(W, H))
    document(c, 12, 14, 40, 52)
    for i, length in enumerate((24, 28, 20, 26)):
        c.rect(19, 30 + i * 7, 19 + length, 32.5 + i * 7, hex_color('#9fb3c8'), 1)
    # The context menu that the product adds to every file.
    c.rect(40, 40, 80, 84, SHADOW, 2)
    c.rect(38, 38, 78, 82, INK, 2)
    c.rect(39.2, 39.2, 76.8, 80.8, hex_color('#f7f9fc'), 1.5)
    for i in range(4):
        top = 43 + i * 9.5
        if i == 1:
            c.rect(40.5, top - 2, 75.5, top + 6, hex_color('#3a78c2'), 1)
        c.rect(44, top + 1, 70 - (i % 2) * 8, top + 3, hex_color('#ffffff' if i == 1 else '#7d8fa3'), 1)
    return c


def location():
    c = Canvas(W, H, panel(W, H))
    folder(c, 12, 40, 62, 40)
    # An arrow pointing into the folder.
    c.line([(44, 10), (44, 34)], 7, hex_color('#2e9b4f'))
    c.polygon([(32, 28), (56, 28), (44, 42)], hex_color('#2e9b4f'))
    return c


def ready():
    c = Canvas(W, H, panel(W, H))
    folder(c, 8, 34, 56, 36)
    c.circle(62, 66, 17, SHADOW)
    c.circle(60, 64, 17, hex_color('#2e9b4f'))
    c.ring(60, 64, 17, 1.5, hex_color('#217a3c'))
    c.line([(51.5, 64.5), (57.5, 70.5), (69, 57)], 4.2, hex_color('#ffffff'))
    return c


def program_icon(size):
    s = size / 32.0
    c = Canvas(size, size)
    document(c, 4 * s, 2 * s, 18 * s, 24 * s, fold=6 * s)
    c.rect(19 * s, 16 * s, 31 * s, 30 * s, INK, 2 * s)
    c.rect(20 * s, 17 * s, 30 * s, 29 * s, hex_color('#3a78c2'), 1.5 * s)
    c.line([(25 * s, 19 * s), (25 * s, 24 * s)], 2.2 * s, hex_color('#ffffff'))
    c.polygon([(21.5 * s, 22.5 * s), (28.5 * s, 22.5 * s), (25 * s, 27 * s)], hex_color('#ffffff'))
    return c


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    out = os.path.join(root, 'setup', 'res')
    os.makedirs(out, exist_ok=True)
    for name, canvas in (('Welcome.bmp', welcome()), ('Location.bmp', location()), ('Ready.bmp', ready())):
        with open(os.path.join(out, name), 'wb') as f:
            f.write(canvas.bmp())
    with open(os.path.join(out, 'Setup.ico'), 'wb') as f:
        f.write(ico([program_icon(32), program_icon(16)]))
    # The package's logos: the program icon at the sizes its manifest names.
    assets = os.path.join(root, 'package', 'Assets')
    os.makedirs(assets, exist_ok=True)
    for name, size in (('StoreLogo.png', 50), ('Square150x150Logo.png', 150), ('Square44x44Logo.png', 44)):
        with open(os.path.join(assets, name), 'wb') as f:
            f.write(program_icon(size).png())


if __name__ == '__main__':
    main()
