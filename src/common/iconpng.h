/* Icons as PNG pictures, for pages that carry their pictures inside them (the configuration
   report). Everything here reads the icon's bytes itself, from an icon file or from the icon
   resources of a program, and draws nothing: no device context, no display. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>
#include "common/text.h"

#define ICON_PNG_SIDE 32     /* the size picked from an icon that holds several */

/* Appends a PNG of the w x h picture rgba (rows top down, 4 bytes a pixel: red, green, blue,
   alpha) to out: 8-bit RGBA, no interlace, the picture data in stored (uncompressed) deflate
   blocks. FALSE when out failed. */
BOOL Encode_Png(const uint8_t *rgba, int w, int h, OUTBUF *out);

/* One picture of an icon (the bytes of an RT_ICON resource or of one entry of an icon file: a
   DIB with its mask, or a PNG) made into a PNG appended to out. A PNG entry is taken as it is.
   FALSE for bytes that are no picture this reads (out as it was). */
BOOL Icon_ImageToPng(const uint8_t *image, size_t len, OUTBUF *out);

/* The picture nearest to 32 x 32 pixels (the deepest colour among equals) of the icon group id
   of module, as a PNG appended to out. FALSE when the module has no such icon. */
BOOL Module_IconPng(HMODULE module, LPCSTR id, OUTBUF *out);

/* The first icon of a file, as a PNG appended to out: an icon file (".ico") read as it is, or
   the first icon group of a program or library. FALSE when the file is missing or holds none. */
BOOL File_IconPng(const char *path, OUTBUF *out);

/* Appends the base64 form of data (RFC 4648, with padding) to out. */
BOOL Append_Base64(OUTBUF *out, const uint8_t *data, size_t len);
