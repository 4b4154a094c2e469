#include "common/dlgutil.h"
#include "common/text.h"

HBITMAP Load_BitmapFile(const char *path, char *err, size_t errCap)
{
    HBITMAP bmp = (HBITMAP)LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (err != NULL && errCap > 0) {
        if (bmp != NULL) err[0] = '\0';
        else Format_Text(err, errCap, "%s does not contain a valid DIB", path);
    }
    return bmp;
}
