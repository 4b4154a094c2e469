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
    """w x h units of drawing; with scale, each unit is scale pixels (an icon drawn on a 32-unit
    grid comes out at 48 or 64 pixels, every edge smoothed at that size, not stretched)."""
    def __init__(self, w, h, bg=(0, 0, 0, 0), scale=1):
        self.s = scale
        self.w, self.h = int(round(w * scale)), int(round(h * scale))
        self.px = [list(bg) for _ in range(self.w * self.h)]

    # coverage-based painting ------------------------------------------------------------
    def _paint(self, x0, y0, x1, y1, inside, colour):
        """Paints the pixels of the box (x0, y0)-(x1, y1), in units, by how much of each the shape
        covers; inside tells for a point in units."""
        s = self.s
        x0 = max(0, int(math.floor(x0 * s))); y0 = max(0, int(math.floor(y0 * s)))
        x1 = min(self.w, int(math.ceil(x1 * s))); y1 = min(self.h, int(math.ceil(y1 * s)))
        r, g, b, a = colour
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside((x + (sx + 0.5) / SS) / s, (y + (sy + 0.5) / SS) / s):
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

    def vgradient(self, x, y, w, h, top, bottom):
        """A vertical gradient filling a whole-pixel rectangle (no edges to smooth; pixels, not
        units)."""
        for yy in range(max(0, y), min(self.h, y + h)):
            k = (yy - y) / max(1, h - 1)
            col = [int(round(top[i] + (bottom[i] - top[i]) * k)) for i in range(4)]
            for xx in range(max(0, x), min(self.w, x + w)):
                self.px[yy * self.w + xx] = list(col)

    def polyline(self, pts, width, colour):
        """Joined strokes; each joint is rounded by the strokes' round ends."""
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)

    def text(self, x, y, s, size, width, colour, spacing=1.5):
        """Upper-case text in the stroke font below; size is the cap height in pixels.
        Returns the x after the last letter."""
        k = size / 6.0
        for ch in s.upper():
            for stroke in GLYPHS.get(ch, []):
                self.polyline([(x + px * k, y + py * k) for px, py in stroke], width, colour)
            x += (GLYPH_WIDTH.get(ch, 4) + spacing) * k
        return x


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


def text_width(s, size, spacing=1.5):
    k = size / 6.0
    return sum((GLYPH_WIDTH.get(ch, 4) + spacing) * k for ch in s.upper()) - spacing * k


def arc(cx, cy, rx, ry, t0, t1, n=14):
    """Points on an ellipse from angle t0 to t1 in degrees (y grows downwards, 90 is the bottom)."""
    return [(cx + rx * math.cos(math.radians(t0 + (t1 - t0) * i / n)),
             cy + ry * math.sin(math.radians(t0 + (t1 - t0) * i / n))) for i in range(n + 1)]


# A small stroke font on a grid 4 wide and 6 high (y downwards): enough letters for the
# pictures' captions.
GLYPHS = {
    'A': [[(0, 6), (2, 0), (4, 6)], [(0.7, 4), (3.3, 4)]],
    'B': [[(0, 3), (0, 0), (2.4, 0)] + arc(2.4, 1.5, 1.4, 1.5, -90, 90) + [(0, 3), (2.6, 3)]
          + arc(2.6, 4.5, 1.4, 1.5, -90, 90) + [(0, 6), (0, 3)]],
    'C': [arc(2.2, 3, 2.2, 3, -40, -320)],
    'D': [[(0, 0), (0, 6), (1.6, 6)] + arc(1.6, 3, 2.4, 3, 90, -90) + [(0, 0)]],
    'E': [[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]],
    'F': [[(4, 0), (0, 0), (0, 6)], [(0, 3), (3, 3)]],
    'G': [arc(2.2, 3, 2.2, 3, -40, -330), [(2.4, 3.4), (4.3, 3.4), (4.3, 4.6)]],
    'H': [[(0, 0), (0, 6)], [(4, 0), (4, 6)], [(0, 3), (4, 3)]],
    'I': [[(1, 0), (1, 6)]],
    'J': [[(4, 0), (4, 4)] + arc(2, 4, 2, 2, 0, 160)],
    'K': [[(0, 0), (0, 6)], [(4, 0), (0, 3.6)], [(1.3, 2.6), (4, 6)]],
    'L': [[(0, 0), (0, 6), (3.6, 6)]],
    'M': [[(0, 6), (0, 0), (2.5, 4), (5, 0), (5, 6)]],
    'N': [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    'O': [arc(2.3, 3, 2.3, 3, 0, 360, 24)],
    'P': [[(0, 6), (0, 0), (2.4, 0)] + arc(2.4, 1.6, 1.6, 1.6, -90, 90) + [(0, 3.2)]],
    'Q': [arc(2.3, 3, 2.3, 3, 0, 360, 24), [(2.8, 4.4), (4.6, 6.4)]],
    'R': [[(0, 6), (0, 0), (2.4, 0)] + arc(2.4, 1.6, 1.6, 1.6, -90, 90) + [(0, 3.2)], [(2.2, 3.2), (4, 6)]],
    'S': [arc(2, 1.5, 1.9, 1.5, -20, -270) + arc(2, 4.5, 2, 1.5, -90, 160)],
    'T': [[(0, 0), (4, 0)], [(2, 0), (2, 6)]],
    'U': [[(0, 0), (0, 4)] + arc(2, 4, 2, 2, 180, 0) + [(4, 0)]],
    'V': [[(0, 0), (2, 6), (4, 0)]],
    'W': [[(0, 0), (1.3, 6), (2.5, 2), (3.7, 6), (5, 0)]],
    'X': [[(0, 0), (4, 6)], [(4, 0), (0, 6)]],
    'Y': [[(0, 0), (2, 3), (4, 0)], [(2, 3), (2, 6)]],
    'Z': [[(0, 0), (4, 0), (0, 6), (4, 6)]],
    '-': [[(0.5, 3.4), (3, 3.4)]],
    '.': [[(0.5, 5.8), (0.55, 5.8)]],
}
GLYPH_WIDTH = {'I': 2, 'M': 5, 'W': 5, ' ': 2.5, '.': 1, 'O': 4.6, 'Q': 4.6, 'D': 4, 'G': 4.4}


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


def save_ico(path, canvases):
    """An icon file of the canvases (32 pixels first, then the larger ones), with a 16-pixel
    image box-filtered from the 32-pixel one after the first."""
    images = [canvases[0], canvases[0].scaled(16, 16)] + list(canvases[1:])
    blobs = [_dib(c) for c in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32, len(blob), offset)
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


def _flatten(canvas, bg):
    out = []
    for r, g, b, a in canvas.px:
        k = a / 255.0
        out.append((int(r * k + bg[0] * (1 - k)), int(g * k + bg[1] * (1 - k)), int(b * k + bg[2] * (1 - k))))
    return out


def _median_cut(colours, n):
    """A palette of at most n colours for the given pixels: the box of pixels with the widest
    channel range is split at its median until there are n boxes; each gives its mean."""
    boxes = [list(colours)]
    while len(boxes) < n:
        best, bi, ch = -1, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for c in range(3):
                lo = min(p[c] for p in box); hi = max(p[c] for p in box)
                if hi - lo > best:
                    best, bi, ch = hi - lo, i, c
        if best <= 0:
            break
        box = sorted(boxes.pop(bi), key=lambda p: p[ch])
        mid = len(box) // 2
        boxes += [box[:mid], box[mid:]]
    return [tuple(sum(p[c] for p in box) // len(box) for c in range(3)) for box in boxes if box]


def save_bmp8(path, canvas, bg=(255, 255, 255)):
    """8-bit palettised BMP with a palette fitted to the picture (256 entries, so the splash
    screen can build its display palette from the colour table)."""
    flat = _flatten(canvas, bg)
    # cut on the distinct colours weighted by how often they occur (coarse steps keep it quick)
    counts = {}
    for c in flat:
        q = (c[0] & ~3, c[1] & ~3, c[2] & ~3)
        counts[q] = counts.get(q, 0) + 1
    sample = []
    for c, k in counts.items():
        sample += [c] * min(k, 64)
    pal = _median_cut(sample, 256)
    pal += [(0, 0, 0)] * (256 - len(pal))
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(256), key=lambda i: (pal[i][0] - c[0]) ** 2 + (pal[i][1] - c[1]) ** 2
                           + (pal[i][2] - c[2]) ** 2)
        return cache[c]
    stride = (canvas.w + 3) & ~3
    data = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray(nearest(flat[y * canvas.w + x]) for x in range(canvas.w))
        data += row + b'\0' * (stride - len(row))
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in pal)
    off = 54 + len(table)
    hdr = struct.pack('<2sIHHI', b'BM', off + len(data), 0, 0, off)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, 'wb') as f:
        f.write(hdr + info + table + bytes(data))


def save_png(path, canvas, scale=1, bg=(255, 255, 255)):
    """A PNG for looking at a drawing (not used by the build)."""
    import zlib
    flat = _flatten(canvas, bg)
    raw = bytearray()
    for y in range(canvas.h * scale):
        raw.append(0)
        for x in range(canvas.w * scale):
            raw += bytes(flat[(y // scale) * canvas.w + x // scale])

    def chunk(tag, body):
        return struct.pack('>I', len(body)) + tag + body + struct.pack('>I', zlib.crc32(tag + body) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', canvas.w * scale, canvas.h * scale, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


def sheet_of(canvases, cols, pad=8, bg=(236, 236, 236, 255)):
    """Canvases side by side on one canvas (a contact sheet for previews)."""
    w = max(c.w for c in canvases); h = max(c.h for c in canvases)
    rows = (len(canvases) + cols - 1) // cols
    out = Canvas(cols * (w + pad) + pad, rows * (h + pad) + pad, bg)
    for i, c in enumerate(canvases):
        ox = pad + (i % cols) * (w + pad); oy = pad + (i // cols) * (h + pad)
        for y in range(c.h):
            for x in range(c.w):
                p = c.px[y * c.w + x]
                if p[3] == 0:
                    continue
                q = out.px[(oy + y) * out.w + ox + x]
                k = p[3] / 255.0
                out.px[(oy + y) * out.w + ox + x] = [int(p[j] * k + q[j] * (1 - k)) for j in range(3)] + [255]
    return out
