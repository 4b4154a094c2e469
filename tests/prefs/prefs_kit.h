/* What the preferences and administration tests share: a temporary home the dialogs work in,
   the process-wide state put back as a fresh process has it, and the file texts compared. */
#pragma once
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "common/appstate.h"
#include "common/text.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include "prefs/prefrules.h"
#include "shell/app.h"
#include <string>

namespace pk {

/* The preferences file every field of which differs from its default (LF line ends). */
inline std::string Every_Preference() { return tk::Read_File(tk::Fixture("prefs/every_preference.cfg")); }

/* text with the line that begins with key replaced by line ("" removes it with the empty line and
   the comment lines after it, as the store leaves out a preference it does not write). */
inline std::string With_Line(const std::string &text, const std::string &key, const std::string &line)
{
    size_t at = ("\n" + text).find("\n" + key + " ");
    if (at == std::string::npos) {
        ADD_FAILURE() << "no line " << key;
        return text;
    }
    size_t end = text.find('\n', at);
    if (!line.empty()) return text.substr(0, at) + line + text.substr(end);
    /* the key line, its empty line, its comment lines and the empty lines after them */
    size_t next = end + 1;
    while (next < text.size()) {
        size_t stop = text.find('\n', next);
        std::string l = text.substr(next, stop - next);
        if (!l.empty() && l[0] != '#') break;
        next = stop + 1;
    }
    return text.substr(0, at) + text.substr(next);
}

/* A temporary home the dialogs read and write; the store's globals, the users and the message
   state as in a fresh process. */
class Home : public tk::HomeTest {
protected:
    std::string prefs, usersFile;

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        Fail_StrayBoxes();
        memset(&SpoolerGlobals, 0, sizeof SpoolerGlobals);
        PLATE_SEARCH_APP[0] = '\0';
        REQUIRE_LOGIN = FALSE;
        Forget_LoginSwitch();
        Register_Classes(hInstance);
        dk::Init_CommonControls();
        prefs = home / "Preferences.cfg";
        usersFile = home / "Users.cfg";
    }

    /* Writes the preferences file (CR LF on disk) and reads it, as the start-up does. */
    void Have_Prefs(const std::string &lfText)
    {
        tk::Write_File(prefs, tk::Crlf(lfText));
        ASSERT_TRUE(Get_SpoolerGlobals());
    }
    std::string Prefs_On_Disk() { return tk::Read_File(prefs); }
};

/* dk::Screenshot once the window has reached the screen: Wine puts what a window painted on the
   display only while its thread waits for messages. */
inline void Shot(HWND hwnd, const std::string &name)
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (int i = 0; i < 4; i++) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, 0);
    dk::Screenshot(hwnd, name);
}

/* The process-wide preferences, to compare before and after. */
struct Snapshot {
    SPOOLER_GLOBALS g;
    std::string plateApp;
    BOOL login;
    static Snapshot Take() { return Snapshot{ SpoolerGlobals, PLATE_SEARCH_APP, REQUIRE_LOGIN }; }
    bool operator==(const Snapshot &o) const
    {
        return memcmp(&g, &o.g, sizeof g) == 0 && plateApp == o.plateApp && login == o.login;
    }
};

} // namespace pk
