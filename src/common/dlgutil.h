/* Helpers shared by the dialogs: windows, bitmaps, text fitting and the file and folder choosers. */
#pragma once
#include <windows.h>

/* Loads a bitmap file as a device-independent section. On success err is emptied; on failure it
   reads "<path> does not contain a valid DIB" and NULL is returned. */
HBITMAP Load_BitmapFile(const char *path, char *err, size_t errCap);
