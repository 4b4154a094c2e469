/* A dialog template built in memory, for the dialog test kit (dk::Form, dk::Build_Template) and
   for the helper programs that show a dialog of their own (tests/helpers): header-only, so that a
   helper needs nothing but the system. */
#pragma once
#include <windows.h>
#include <vector>

namespace dk {

struct Ctl {
    const char *cls;          /* "EDIT", "BUTTON", "COMBOBOX", "msctls_trackbar32", ... */
    int id;
    const char *text;
    DWORD style;              /* added to WS_CHILD | WS_VISIBLE */
    short x, y, w, h;         /* dialog units */
};

/* The template of a dialog with this style ("MS Shell Dlg" 8 is added), place, size and
   controls, for DialogBoxIndirectParamA / CreateDialogIndirectParamA(inst, (LPCDLGTEMPLATEA)t.data(), ...). */
inline std::vector<WORD> Dialog_Template(const char *caption, DWORD style, short x, short y, short w, short h,
                                         const Ctl *ctls, size_t count)
{
    std::vector<WORD> t;
    auto word = [&t](WORD v) { t.push_back(v); };
    auto dword = [&t](DWORD v) { t.push_back(LOWORD(v)); t.push_back(HIWORD(v)); };
    auto text = [&t](const char *s) {
        for (; s != nullptr && *s; s++) t.push_back((WORD)(unsigned char)*s);
        t.push_back(0);
    };
    dword(style | DS_SETFONT);
    dword(0);
    word((WORD)count);
    word((WORD)x); word((WORD)y); word((WORD)w); word((WORD)h);
    word(0);                                /* no menu */
    word(0);                                /* the standard dialog class */
    text(caption);
    word(8);
    text("MS Shell Dlg");
    for (size_t i = 0; i < count; i++) {
        const Ctl &c = ctls[i];
        if (t.size() % 2) t.push_back(0);   /* every item starts on a DWORD */
        dword(WS_CHILD | WS_VISIBLE | c.style);
        dword(0);
        word((WORD)c.x); word((WORD)c.y); word((WORD)c.w); word((WORD)c.h);
        word((WORD)c.id);
        text(c.cls);
        text(c.text);
        word(0);                            /* no creation data */
    }
    return t;
}

} // namespace dk
