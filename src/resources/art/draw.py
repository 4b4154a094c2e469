"""A very small vector rasteriser for the program's icons and bitmaps (no third-party modules).

Shapes are drawn with 4x4 supersampling into an RGBA canvas; the results are written as
Windows .ico (32-bit with alpha and an AND mask) or .bmp files."""
import math
import struct

SS = 4  # supersampling per axis


def rgb(h):
    h = h.lstrip('#')
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16), 255 if len(h) == 6 else int(h[6:8], 16))


class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(bg) for _ in range(w * h)]

    # coverage-based painting ------------------------------------------------------------
    def _paint(self, x0, y0, x1, y1, inside, colour):
        x0 = max(0, int(math.floor(x0))); y0 = max(0, int(math.floor(y0)))
        x1 = min(self.w, int(math.ceil(x1))); y1 = min(self.h, int(math.ceil(y1)))
        r, g, b, a = colour
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if not hits:
                    continue
                cov = hits / (SS * SS) * a / 255.0
                p = self.px[y * self.w + x]
                da = p[3] / 255.0
                oa = cov + da * (1 - cov)
                if oa <= 0:
                    continue
                for i, c in enumerate((r, g, b)):
                    p[i] = int(round((c * cov + p[i] * da * (1 - cov)) / oa))
                p[3] = int(round(oa * 255))

    def rect(self, x, y, w, h, colour):
        self._paint(x, y, x + w, y + h, lambda px, py: x <= px < x + w and y <= py < y + h, colour)

    def round_rect(self, x, y, w, h, r, colour):
        def inside(px, py):
            if not (x <= px < x + w and y <= py < y + h):
                return False
            cx = min(max(px, x + r), x + w - r)
            cy = min(max(py, y + r), y + h - r)
            return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
        self._paint(x, y, x + w, y + h, inside, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self._paint(cx - rx, cy - ry, cx + rx, cy + ry,
                    lambda px, py: ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1, colour)

    def ring(self, cx, cy, r, width, colour):
        ri = r - width
        self._paint(cx - r, cy - r, cx + r, cy + r,
                    lambda px, py: ri * ri <= (px - cx) ** 2 + (py - cy) ** 2 <= r * r, colour)

    def polygon(self, pts, colour):
        xs = [p[0] for p in pts]; ys = [p[1] for p in pts]

        def inside(px, py):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]; xj, yj = pts[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self._paint(min(xs), min(ys), max(xs), max(ys), inside, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        hw = width / 2.0
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy or 1e-9

        def inside(px, py):
            t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / ll))
            qx, qy = x0 + t * dx, y0 + t * dy
            return (px - qx) ** 2 + (py - qy) ** 2 <= hw * hw
        self._paint(min(x0, x1) - hw, min(y0, y1) - hw, max(x0, x1) + hw, max(y0, y1) + hw, inside, colour)

    def arrow(self, x0, y0, x1, y1, width, head, colour):
        ang = math.atan2(y1 - y0, x1 - x0)
        bx, by = x1 - head * math.cos(ang), y1 - head * math.sin(ang)
        self.line(x0, y0, bx, by, width, colour)
        px, py = -math.sin(ang), math.cos(ang)
        self.polygon([(x1, y1), (bx + px * head * 0.7, by + py * head * 0.7),
                      (bx - px * head * 0.7, by - py * head * 0.7)], colour)

    def scaled(self, w, h):
        """Box-filtered copy at another size (for the 16x16 image of an icon)."""
        out = Canvas(w, h)
        fx, fy = self.w / w, self.h / h
        for y in range(h):
            for x in range(w):
                acc = [0.0] * 4; n = 0
                for sy in range(int(y * fy), int((y + 1) * fy)):
                    for sx in range(int(x * fx), int((x + 1) * fx)):
                        p = self.px[sy * self.w + sx]
                        a = p[3] / 255.0
                        for i in range(3):
                            acc[i] += p[i] * a
                        acc[3] += a; n += 1
                if acc[3] > 0:
                    out.px[y * w + x] = [int(acc[i] / acc[3]) for i in range(3)] + [int(acc[3] / n * 255)]
        return out


def _dib(c):
    """BITMAPINFOHEADER + bottom-up BGRA rows + AND mask, as an icon image."""
    hdr = struct.pack('<IiiHHIIiiII', 40, c.w, c.h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for y in range(c.h - 1, -1, -1):
        for x in range(c.w):
            r, g, b, a = c.px[y * c.w + x]
            rows += bytes((b, g, r, a))
    mask_stride = ((c.w + 31) // 32) * 4
    mask = b''
    for y in range(c.h - 1, -1, -1):
        bits = 0; row = bytearray(mask_stride)
        for x in range(c.w):
            if c.px[y * c.w + x][3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return hdr + rows + mask


def save_ico(path, canvas):
    images = [canvas, canvas.scaled(16, 16)]
    blobs = [_dib(c) for c in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', c.w, c.h, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    out += b''.join(blobs)
    with open(path, 'wb') as f:
        f.write(out)


def save_bmp(path, canvas, bg=(255, 255, 255)):
    """24-bit bottom-up BMP; transparent pixels are blended over bg."""
    stride = (canvas.w * 3 + 3) & ~3
    data = b''
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.w):
            r, g, b, a = canvas.px[y * canvas.w + x]
            k = a / 255.0
            row += bytes((int(b * k + bg[2] * (1 - k)), int(g * k + bg[1] * (1 - k)), int(r * k + bg[0] * (1 - k))))
        row += b'\0' * (stride - len(row))
        data += bytes(row)
    hdr = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(hdr + info + data)


def save_bmp8(path, canvas, bg=(255, 255, 255)):
    """8-bit palettised BMP (a colour table the splash screen can build a palette from)."""
    flat = []
    for r, g, b, a in canvas.px:
        k = a / 255.0
        flat.append((int(r * k + bg[0] * (1 - k)), int(g * k + bg[1] * (1 - k)), int(b * k + bg[2] * (1 - k))))
    # 6x6x6 colour cube plus 40 greys
    pal = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    pal += [(int(i * 255 / 39),) * 3 for i in range(40)]

    def nearest(c):
        best, bi = 1 << 30, 0
        for i, p in enumerate(pal):
            d = (p[0] - c[0]) ** 2 + (p[1] - c[1]) ** 2 + (p[2] - c[2]) ** 2
            if d < best:
                best, bi = d, i
        return bi
    cache = {}
    stride = (canvas.w + 3) & ~3
    data = b''
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.w):
            c = flat[y * canvas.w + x]
            if c not in cache:
                cache[c] = nearest(c)
            row.append(cache[c])
        row += b'\0' * (stride - len(row))
        data += bytes(row)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in pal)
    off = 54 + len(table)
    hdr = struct.pack('<2sIHHI', b'BM', off + len(data), 0, 0, off)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, 'wb') as f:
        f.write(hdr + info + table + data)
