#include "mainwin/reportcmd.h"
#include "mainwin/report.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/image.h"
#include "config/users.h"
#include <shellapi.h>
#include <stdlib.h>

#define REPORT_NAME "Configuration Report.html"

static CONFIG_IMAGE *s_Baseline;
static REPORT_OPENER s_Opener;

void Set_ReportOpener(REPORT_OPENER opener) { s_Opener = opener; }

void Note_ReportBaseline(void)
{
    Free_ConfigImage(s_Baseline);
    s_Baseline = Take_ConfigImage();
    Trace("Note_ReportBaseline: %s\n", s_Baseline != NULL ? "kept" : "no memory");
}

BOOL Report_Unsaved(void)
{
    if (s_Baseline == NULL) return FALSE;
    CONFIG_IMAGE *now = Take_ConfigImage();
    if (now == NULL) return FALSE;
    /* the users are compared by neither: they are stored when their own dialog closes */
    User *kept = s_Baseline->users;
    int keptCount = s_Baseline->userCount;
    s_Baseline->users = NULL;
    s_Baseline->userCount = 0;
    User *nowUsers = now->users;
    int nowCount = now->userCount;
    now->users = NULL;
    now->userCount = 0;
    BOOL same = Equal_ConfigImages(s_Baseline, now);
    s_Baseline->users = kept;
    s_Baseline->userCount = keptCount;
    now->users = nowUsers;
    now->userCount = nowCount;
    Free_ConfigImage(now);
    return !same;
}

/* Opens the page with the program the system has for it; FALSE when none could be started. */
static BOOL Open_WithShell(HWND owner, const char *path)
{
    INT_PTR result = (INT_PTR)ShellExecuteA(owner, "open", path, NULL, NULL, SW_SHOWNORMAL);
    Trace("Open_WithShell: %s -> %d\n", path, (int)result);
    return result > 32;
}

void On_Report(HWND hDlg)
{
    Trace("On_Report ()\n");
    char path[MAX_PATH + 1] = "";
    if (homeDir != NULL) Home_Path(path, sizeof path, homeDir, REPORT_NAME);
    if (path[0] == '\0') Copy_Field(path, REPORT_NAME);
    static const char k_Types[] = "Web pages (*.html)|*.html;*.htm|All files (*.*)|*.*|";
    if (!Choose_TypedFile(hDlg, "Save the Configuration Report", path, sizeof path, k_Types, "html", TRUE)) return;

    /* the users as their file holds them (their dialog stores them when it closes) */
    Load_Users();
    REPORT_INFO info = { homeDir != NULL ? homeDir : "", NULL, Report_Unsaved() };
    if (!Write_Report(path, &info)) {
        SysError_Box(programTitle, "The report could not be written to\n\n%s", path);
        return;
    }
    BOOL opened = (s_Opener != NULL) ? s_Opener(hDlg, path) : Open_WithShell(hDlg, path);
    if (!opened)
        Info_Box(programTitle, "The report was written to\n\n%s\n\nbut no program is set up to open it.", path);
}
