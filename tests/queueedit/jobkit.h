/* What the tests of the Job Settings, thumbnail directory and Multi-Job Settings pages share:
   the keyboard as the dialog's own message loop sees it, and a page opened on a working copy. */
#pragma once
#include "queueedit/editkit.h"
#include <vector>

namespace jk {

/* The keyboard as the dialog's own message loop hands keys on (the dialog kit's). */
using dk::Expect_Mnemonics_Lead;
using dk::Expect_Unique_Mnemonics;
using dk::Focus_Id;
using dk::Key;
using dk::Tab_Order;

/* The text of a Validate_Field question. */
inline std::string Out_Of_Range(int maximum, int minimum)
{
    return "A number entered is out of range.\r\nMaximum = " + std::to_string(maximum) + ", Minimum = " +
           std::to_string(minimum) + "\r\nContinue and ignore changes?";
}
const char k_Invalid[] = "A number entered is invalid.\r\nContinue and ignore changes?";

/* The pages' tests: the editor's small installation, and each page opened on a working copy. */
class PageTest : public ek::EditorTest {
protected:
    /* The working copy the overview would hand a page for queue pos (sharing the queue's icon). */
    Target Work(int pos) { return targets[pos]; }

    INT_PTR Open_JobSettings(dk::Script &s, Target *work)
    {
        return Open_Page(s, IDD_JOBSETTINGS, QueueJobSettings_Dlg, work);
    }
    INT_PTR Open_MultiJob(dk::Script &s, Target *work) { return Open_Page(s, IDD_MULTIJOB, QueueMultiJobSettings_Dlg, work); }
    INT_PTR Open_ThumbDir(dk::Script &s, Target *work) { return Open_Page(s, IDD_THUMBDIR, QueueLowResImageDir_Dlg, work); }
};

} // namespace jk
