#include "common/iconpng.h"
#include "common/fileutil.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

/* ---- PNG ---- */

static uint32_t Crc32(uint32_t crc, const uint8_t *p, size_t n)
{
    static uint32_t table[256];
    static BOOL made = FALSE;
    if (!made) {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        made = TRUE;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; i++) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void Put32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)(v >> 24);
    p[1] = (uint8_t)(v >> 16);
    p[2] = (uint8_t)(v >> 8);
    p[3] = (uint8_t)v;
}

/* One chunk: length, type, data, and the CRC of type and data. */
static BOOL Put_Chunk(OUTBUF *out, const char *type, const uint8_t *data, size_t len)
{
    uint8_t head[8];
    Put32(head, (uint32_t)len);
    memcpy(head + 4, type, 4);
    uint32_t crc = Crc32(0, head + 4, 4);
    crc = Crc32(crc, data, len);
    uint8_t tail[4];
    Put32(tail, crc);
    OutBuf_Append(out, (const char *)head, 8);
    if (len > 0) OutBuf_Append(out, (const char *)data, len);
    return OutBuf_Append(out, (const char *)tail, 4);
}

BOOL Encode_Png(const uint8_t *rgba, int w, int h, OUTBUF *out)
{
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096) return FALSE;
    static const uint8_t k_Signature[8] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    OutBuf_Append(out, (const char *)k_Signature, 8);

    uint8_t ihdr[13];
    Put32(ihdr, (uint32_t)w);
    Put32(ihdr + 4, (uint32_t)h);
    ihdr[8] = 8;       /* bits per sample */
    ihdr[9] = 6;       /* RGBA */
    ihdr[10] = 0;      /* deflate */
    ihdr[11] = 0;      /* adaptive filtering (each row's filter byte: none) */
    ihdr[12] = 0;      /* no interlace */
    Put_Chunk(out, "IHDR", ihdr, sizeof ihdr);

    /* The raw rows, each with its filter byte 0, in a zlib stream of stored blocks. */
    size_t rowLen = (size_t)w * 4 + 1;
    size_t raw = rowLen * (size_t)h;
    size_t blocks = (raw + 65534) / 65535;
    size_t zlen = 2 + raw + blocks * 5 + 4;
    uint8_t *z = (uint8_t *)malloc(zlen);
    if (z == NULL) {
        out->failed = TRUE;
        return FALSE;
    }
    uint8_t *p = z;
    *p++ = 0x78;       /* deflate, 32 KB window */
    *p++ = 0x01;       /* no dictionary, fastest; 0x7801 is a multiple of 31 */
    uint32_t a = 1, b = 0;
    size_t done = 0;
    size_t row = 0, inRow = 0;    /* where the next byte of the raw data comes from */
    while (done < raw) {
        size_t n = raw - done;
        if (n > 65535) n = 65535;
        *p++ = (uint8_t)(done + n == raw ? 1 : 0);
        *p++ = (uint8_t)(n & 0xFF);
        *p++ = (uint8_t)(n >> 8);
        *p++ = (uint8_t)(~n & 0xFF);
        *p++ = (uint8_t)((~n >> 8) & 0xFF);
        for (size_t i = 0; i < n; i++) {
            uint8_t c = (inRow == 0) ? 0 : rgba[row * (size_t)w * 4 + inRow - 1];
            if (++inRow == rowLen) {
                inRow = 0;
                row++;
            }
            *p++ = c;
            a = (a + c) % 65521;
            b = (b + a) % 65521;
        }
        done += n;
    }
    Put32(p, (b << 16) | a);
    p += 4;
    Put_Chunk(out, "IDAT", z, (size_t)(p - z));
    free(z);
    return Put_Chunk(out, "IEND", NULL, 0) && !out->failed;
}

/* ---- icon pictures ---- */

static uint32_t Get16(const uint8_t *p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8); }
static uint32_t Get32(const uint8_t *p) { return Get16(p) | (Get16(p + 2) << 16); }

BOOL Icon_ImageToPng(const uint8_t *image, size_t len, OUTBUF *out)
{
    if (image == NULL || len < 40) return FALSE;
    if (memcmp(image, "\x89PNG\r\n\x1a\n", 8) == 0) return OutBuf_Append(out, (const char *)image, len);

    uint32_t hdrSize = Get32(image);
    int32_t w = (int32_t)Get32(image + 4);
    int32_t h2 = (int32_t)Get32(image + 8);
    uint32_t bpp = Get16(image + 14);
    uint32_t compression = Get32(image + 16);
    uint32_t used = Get32(image + 32);
    int32_t h = h2 / 2;                        /* the colour rows and the mask rows */
    if (hdrSize < 40 || hdrSize > len || w <= 0 || w > 256 || h <= 0 || h > 256 || compression != 0) return FALSE;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return FALSE;
    uint32_t colours = (bpp <= 8) ? (used != 0 && used < (1u << bpp) ? used : (1u << bpp)) : 0;
    size_t palette = hdrSize;
    size_t bits = palette + (size_t)colours * 4;
    size_t stride = (((size_t)w * bpp + 31) / 32) * 4;
    size_t maskStride = (((size_t)w + 31) / 32) * 4;
    size_t mask = bits + stride * (size_t)h;
    BOOL hasMask = mask + maskStride * (size_t)h <= len;
    if (mask > len) return FALSE;

    uint8_t *rgba = (uint8_t *)malloc((size_t)w * (size_t)h * 4);
    if (rgba == NULL) return FALSE;
    BOOL anyAlpha = FALSE;
    for (int y = 0; y < h; y++) {
        const uint8_t *src = image + bits + stride * (size_t)(h - 1 - y);     /* rows bottom up */
        const uint8_t *m = image + mask + maskStride * (size_t)(h - 1 - y);
        for (int x = 0; x < w; x++) {
            uint8_t *d = rgba + ((size_t)y * (size_t)w + (size_t)x) * 4;
            uint32_t index = 0;
            switch (bpp) {
            case 32:
                d[0] = src[x * 4 + 2];
                d[1] = src[x * 4 + 1];
                d[2] = src[x * 4 + 0];
                d[3] = src[x * 4 + 3];
                if (d[3] != 0) anyAlpha = TRUE;
                break;
            case 24:
                d[0] = src[x * 3 + 2];
                d[1] = src[x * 3 + 1];
                d[2] = src[x * 3 + 0];
                break;
            default:
                if (bpp == 8) index = src[x];
                else if (bpp == 4) index = (src[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
                else index = (src[x / 8] >> (7 - (x & 7))) & 1;
                if (index < colours) {
                    const uint8_t *c = image + palette + index * 4;
                    d[0] = c[2];
                    d[1] = c[1];
                    d[2] = c[0];
                } else {
                    d[0] = d[1] = d[2] = 0;
                }
                break;
            }
            if (bpp != 32) {
                BOOL transparent = hasMask && ((m[x / 8] >> (7 - (x & 7))) & 1);
                d[3] = transparent ? 0 : 255;
            }
        }
    }
    /* A 32-bit picture without any alpha is drawn through its mask, as the system draws it. */
    if (bpp == 32 && !anyAlpha) {
        for (int y = 0; y < h; y++) {
            const uint8_t *m = image + mask + maskStride * (size_t)(h - 1 - y);
            for (int x = 0; x < w; x++) {
                BOOL transparent = hasMask && ((m[x / 8] >> (7 - (x & 7))) & 1);
                rgba[((size_t)y * (size_t)w + (size_t)x) * 4 + 3] = transparent ? 0 : 255;
            }
        }
    }
    BOOL ok = Encode_Png(rgba, w, h, out);
    free(rgba);
    return ok;
}

/* The entry of an icon directory (a file's 16-byte entries or a group resource's 14-byte ones)
   nearest to 32 x 32, the deepest colour among equals; -1 when there is none. */
static int Best_Entry(const uint8_t *dir, size_t len, size_t entrySize)
{
    if (len < 6 || Get16(dir + 2) != 1) return -1;
    int count = (int)Get16(dir + 4);
    int best = -1;
    int bestDistance = 0, bestDepth = 0;
    for (int i = 0; i < count; i++) {
        const uint8_t *e = dir + 6 + (size_t)i * entrySize;
        if ((size_t)(e - dir) + entrySize > len) break;
        int side = e[0] == 0 ? 256 : e[0];
        int depth = (int)Get16(e + 6);
        if (depth == 0) depth = 32;          /* an entry that does not say (often a PNG) */
        int distance = abs(side - ICON_PNG_SIDE);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && depth > bestDepth)) {
            best = i;
            bestDistance = distance;
            bestDepth = depth;
        }
    }
    return best;
}

BOOL Module_IconPng(HMODULE module, LPCSTR id, OUTBUF *out)
{
    HRSRC group = FindResourceA(module, id, MAKEINTRESOURCEA(14));       /* RT_GROUP_ICON */
    if (group == NULL) return FALSE;
    HGLOBAL groupData = LoadResource(module, group);
    const uint8_t *dir = groupData ? (const uint8_t *)LockResource(groupData) : NULL;
    size_t dirLen = SizeofResource(module, group);
    if (dir == NULL) return FALSE;
    int best = Best_Entry(dir, dirLen, 14);
    if (best < 0) return FALSE;
    WORD iconId = (WORD)Get16(dir + 6 + (size_t)best * 14 + 12);
    HRSRC icon = FindResourceA(module, MAKEINTRESOURCEA(iconId), MAKEINTRESOURCEA(3));   /* RT_ICON */
    if (icon == NULL) return FALSE;
    HGLOBAL iconData = LoadResource(module, icon);
    const uint8_t *bytes = iconData ? (const uint8_t *)LockResource(iconData) : NULL;
    return bytes != NULL && Icon_ImageToPng(bytes, SizeofResource(module, icon), out);
}

/* ---- icons of a program file, read from its resource section ---- */

/* Reads len bytes at offset of file h into buf; FALSE when they are not all there. */
static BOOL Read_At(HANDLE h, DWORD offset, void *buf, DWORD len)
{
    if (SetFilePointer(h, (LONG)offset, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return FALSE;
    DWORD got = 0;
    return ReadFile(h, buf, len, &got, NULL) && got == len;
}

/* A resource section in memory: the bytes of the section and the address it is loaded at. */
typedef struct {
    const uint8_t *data;
    size_t         len;
    uint32_t       va;        /* the section's relative virtual address */
    size_t         root;      /* where the resource directory starts in data */
} RSRC;

/* The entry of the resource directory at dir (an offset from the root) with that id, or with
   id 0 the first entry; its OffsetToData, or 0 when there is none. */
static uint32_t Rsrc_Entry(const RSRC *r, uint32_t dir, uint32_t id)
{
    size_t at = r->root + dir;
    if (at + 16 > r->len) return 0;
    uint32_t count = Get16(r->data + at + 12) + Get16(r->data + at + 14);
    for (uint32_t i = 0; i < count; i++) {
        size_t e = at + 16 + (size_t)i * 8;
        if (e + 8 > r->len) return 0;
        uint32_t name = Get32(r->data + e);
        if (id == 0 || (!(name & 0x80000000u) && name == id)) return Get32(r->data + e + 4);
    }
    return 0;
}

/* The bytes of resource type/id (id 0: the first) in its first language; NULL when there is none. */
static const uint8_t *Rsrc_Find(const RSRC *r, uint32_t type, uint32_t id, size_t *len)
{
    uint32_t names = Rsrc_Entry(r, 0, type);
    if (!(names & 0x80000000u)) return NULL;
    uint32_t langs = Rsrc_Entry(r, names & 0x7FFFFFFFu, id);
    if (!(langs & 0x80000000u)) return NULL;
    uint32_t leaf = Rsrc_Entry(r, langs & 0x7FFFFFFFu, 0);
    if (leaf == 0 || (leaf & 0x80000000u) || r->root + leaf + 8 > r->len) return NULL;
    uint32_t rva = Get32(r->data + r->root + leaf), size = Get32(r->data + r->root + leaf + 4);
    if (rva < r->va || rva - r->va > r->len || size > r->len - (rva - r->va)) return NULL;
    *len = size;
    return r->data + (rva - r->va);
}

/* The first icon of a program or library: its headers and its resource section are read (the
   program is never loaded, so any size and any machine will do). */
static BOOL Program_IconPng(const char *path, OUTBUF *out)
{
    HANDLE h = Open_ForReading(path);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    BOOL ok = FALSE;
    uint8_t head[4096];
    DWORD size = GetFileSize(h, NULL);
    DWORD headLen = size < sizeof head ? size : (DWORD)sizeof head;
    uint8_t *section = NULL;
    do {
        if (size == INVALID_FILE_SIZE || headLen < 64 || !Read_At(h, 0, head, headLen)) break;
        if (head[0] != 'M' || head[1] != 'Z') break;
        uint32_t pe = Get32(head + 0x3C);
        if (pe > headLen - 24 || memcmp(head + pe, "PE\0\0", 4) != 0) break;
        uint32_t sections = Get16(head + pe + 6), optLen = Get16(head + pe + 20);
        size_t opt = pe + 24;
        if (opt + optLen > headLen || optLen < 2) break;
        uint32_t magic = Get16(head + opt);
        size_t dirs = opt + (magic == 0x20B ? 112 : 96);
        if (dirs + 3 * 8 > opt + optLen) break;
        uint32_t rsrcVa = Get32(head + dirs + 16);
        if (rsrcVa == 0) break;
        size_t table = opt + optLen;
        for (uint32_t i = 0; i < sections && table + (size_t)(i + 1) * 40 <= headLen; i++) {
            const uint8_t *sec = head + table + (size_t)i * 40;
            uint32_t va = Get32(sec + 12), vsize = Get32(sec + 8), raw = Get32(sec + 16), ptr = Get32(sec + 20);
            uint32_t span = vsize > raw ? vsize : raw;
            if (rsrcVa < va || rsrcVa >= va + span) continue;
            if (raw == 0 || raw > 64u * 1024 * 1024 || ptr > size || raw > size - ptr) break;
            section = (uint8_t *)malloc(raw);
            if (section == NULL || !Read_At(h, ptr, section, raw)) break;
            RSRC r = { section, raw, va, (size_t)(rsrcVa - va) };
            size_t groupLen = 0, iconLen = 0;
            const uint8_t *group = Rsrc_Find(&r, 14, 0, &groupLen);          /* RT_GROUP_ICON, the first */
            int best = group ? Best_Entry(group, groupLen, 14) : -1;
            if (best < 0) break;
            uint32_t iconId = Get16(group + 6 + (size_t)best * 14 + 12);
            const uint8_t *icon = Rsrc_Find(&r, 3, iconId, &iconLen);        /* RT_ICON */
            ok = icon != NULL && Icon_ImageToPng(icon, iconLen, out);
            break;
        }
    } while (0);
    free(section);
    CloseHandle(h);
    return ok;
}

BOOL File_IconPng(const char *path, OUTBUF *out)
{
    if (path == NULL || path[0] == '\0' || !File_Exists(path)) return FALSE;
    size_t pathLen = strlen(path);
    BOOL ok = FALSE;
    if (pathLen > 4 && Compare_NoCase(path + pathLen - 4, ".ico") == 0) {
        /* an icon file: entries of 16 bytes, each naming where its picture lies */
        size_t len = 0;
        char *data = Read_WholeFile(path, &len);
        if (data == NULL) return FALSE;
        const uint8_t *bytes = (const uint8_t *)data;
        int best = Best_Entry(bytes, len, 16);
        if (best >= 0 && Get16(bytes) == 0) {
            const uint8_t *e = bytes + 6 + (size_t)best * 16;
            size_t size = Get32(e + 8), offset = Get32(e + 12);
            if (offset < len && size <= len - offset) ok = Icon_ImageToPng(bytes + offset, size, out);
        }
        free(data);
        return ok;
    }
    ok = Program_IconPng(path, out);
    if (!ok) Trace("File_IconPng: no icon in \"%s\"\n", path);
    return ok;
}

BOOL Append_Base64(OUTBUF *out, const uint8_t *data, size_t len)
{
    static const char k_Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    char chunk[4];
    for (size_t i = 0; i < len; i += 3) {
        uint32_t v = (uint32_t)data[i] << 16;
        if (i + 1 < len) v |= (uint32_t)data[i + 1] << 8;
        if (i + 2 < len) v |= data[i + 2];
        chunk[0] = k_Digits[(v >> 18) & 63];
        chunk[1] = k_Digits[(v >> 12) & 63];
        chunk[2] = (i + 1 < len) ? k_Digits[(v >> 6) & 63] : '=';
        chunk[3] = (i + 2 < len) ? k_Digits[v & 63] : '=';
        OutBuf_Append(out, chunk, 4);
    }
    return !out->failed;
}
