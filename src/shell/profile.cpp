#include "shell/profile.h"
#include "shell/splash.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "mainwin/report.h"
#include "resources/resource.h"
#include <stdio.h>
#include <string.h>
#include <shellapi.h>

ProgramProfile editorProfile;
ProgramProfile viewerProfile;
ProgramProfile loadBalProfile;

/* The identity strings, in the order they are looked up and reported. */
enum { ID_SYSTEM, ID_PRODUCT, ID_ABBREVIATED, ID_VERSION, ID_COMPANY, ID_STRING_COUNT };

static const struct {
    const char *key;
    const char *missing;     /* the reason given when the key is not in the file */
    int         hasFlag;
} k_IdentityKeys[ID_STRING_COUNT] = {
    { "SYSTEM_NAME", "Could not extract the system name from the file \"", HAS_SYSTEM_NAME },
    { "PRODUCT_NAME", "Could not extract the product name from the file \"", HAS_PRODUCT_NAME },
    { "ABBREVIATED_SYSTEM_NAME", "Could not extract the application's abbreviated name from the file \"",
      HAS_ABBREVIATED_NAME },
    { "VERSION_NUMBER", "Could not extract the version string from the file \"", HAS_VERSION_NUMBER },
    { "COMPANY_NAME", "Could not extract the company name from the file \"", HAS_COMPANY_NAME },
};

/* What the last Load_Customisation found; Get_ProfileResources takes it over. */
static struct {
    HBITMAP splash;
    HICON   icon;
    char    strings[ID_STRING_COUNT][TEXT_LEN];
    BOOL    found[ID_STRING_COUNT];
    char    folder[PATH_LEN];
    char    errorText[PROFILE_ERROR_LEN];
} s_Custom;

/* FALSE while Load_ProfileNames loads: the splash picture and icon files are looked for, so that
   the operator hears of a missing one as in the interactive mode, but never loaded. */
static BOOL s_Pictures = TRUE;

/* The profile field that holds identity string id. */
static char *Profile_String(ProgramProfile *p, int id)
{
    switch (id) {
    case ID_SYSTEM:      return p->systemName;
    case ID_PRODUCT:     return p->productName;
    case ID_ABBREVIATED: return p->abbreviatedName;
    case ID_VERSION:     return p->versionNumber;
    default:             return p->companyName;
    }
}

/* The first file (not a folder) in folder whose name matches pattern, as a full path in out.
   FALSE when there is none; out then holds the searched pattern. */
static BOOL Find_ProfileFile(const char *folder, const char *pattern, char *out, size_t cap)
{
    Format_Text(out, cap, "%s\\%s", folder, pattern);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(out, &fd);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    BOOL found = FALSE;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found = Format_Text(out, cap, "%s\\%s", folder, fd.cFileName);
        if (!found) Format_Text(out, cap, "%s\\%s", folder, pattern);
        break;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return found;
}

/* The first icon of a file, or NULL (also for a file that holds no icon). */
static HICON Extract_FirstIcon(HINSTANCE instance, const char *path)
{
    HICON icon = ExtractIconA(instance, path, 0);
    return (icon == (HICON)1) ? NULL : icon;        /* 1: "not a file with icons" */
}

/* An icon of the program's resources that belongs to the caller (destroyed on release, which a
   shared icon from LoadIcon must never be). */
static HICON Load_ResourceIcon(HINSTANCE instance, int id)
{
    return (HICON)LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
}

static void Append_Reason(const char *what, const char *reason, const char *file)
{
    Append_Field(s_Custom.errorText, what);
    Append_Field(s_Custom.errorText, reason);
    if (file != NULL) {
        Append_Field(s_Custom.errorText, file);
        Append_Field(s_Custom.errorText, "\" :");
    }
}

static BOOL Load_SplashFile(const char *folder)
{
    static const char k_What[] = "\r\n\r\nthe splash screen:\r\n\r\n\nError: ";
    char path[PATH_LEN];
    if (!Find_ProfileFile(folder, "*Splash.bmp", path, sizeof path)) {
        Append_Reason(k_What, "Could not find bitmap file \"", path);
        return FALSE;
    }
    if (!s_Pictures) {
        Trace("Load_Customisation: splash %s found, not loaded\n", path);
        return TRUE;
    }
    char why[PATH_LEN + 64];
    s_Custom.splash = Load_BitmapFile(path, why, sizeof why);
    if (s_Custom.splash == NULL) {
        Append_Reason(k_What, why, NULL);
        return FALSE;
    }
    Trace("Load_Customisation: splash %s\n", path);
    return TRUE;
}

static BOOL Load_IconFile(HINSTANCE instance, const char *folder)
{
    static const char k_What[] = "\r\n\r\nthe application icon:\r\n\r\n\nError: ";
    char path[PATH_LEN];
    if (!Find_ProfileFile(folder, "*.ico", path, sizeof path)) {
        Append_Reason(k_What, "Could not find icon file \"", path);
        return FALSE;
    }
    if (!s_Pictures) {
        Trace("Load_Customisation: icon %s found, not loaded\n", path);
        return TRUE;
    }
    s_Custom.icon = Extract_FirstIcon(instance, path);
    if (s_Custom.icon == NULL) {
        Append_Reason(k_What, "Could not extract the icon (0) from the file \"", path);
        return FALSE;
    }
    Trace("Load_Customisation: icon %s\n", path);
    return TRUE;
}

/* Reads the five identity strings; every key found is kept, only the first missing one is named. */
static BOOL Load_IdentityStrings(const char *folder)
{
    static const char k_What[] = "\r\n\r\nthe identity strings:\r\n\r\nError: ";
    char path[PATH_LEN];
    if (!Find_ProfileFile(folder, "*Profile.cfg", path, sizeof path)) {
        Append_Reason(k_What, "Could not find identity strings file \"", path);
        return FALSE;
    }
    FILE *f = fopen(path, "r");
    if (f == NULL) {
        Append_Reason(k_What, "Could not open identity strings file \"", path);
        return FALSE;
    }
    int firstMissing = -1;
    for (int id = 0; id < ID_STRING_COUNT; id++) {
        char why[128];
        int len = Get_ConfigString(k_IdentityKeys[id].key, s_Custom.strings[id], TEXT_LEN, f, why, sizeof why);
        s_Custom.found[id] = (len >= 0);
        if (!s_Custom.found[id]) {
            s_Custom.strings[id][0] = '\0';
            Trace("Load_Customisation: %s: %s\n", path, why);
            if (firstMissing < 0) firstMissing = id;
        }
    }
    fclose(f);
    if (firstMissing < 0) return TRUE;
    Append_Reason(k_What, k_IdentityKeys[firstMissing].missing, path);
    return FALSE;
}

BOOL Load_Customisation(HINSTANCE instance, const char *folder, BOOL wantSplash, BOOL wantIcon)
{
    Trace("Load_Customisation ( %s )\n", folder != NULL ? folder : "(none)");
    memset(&s_Custom, 0, sizeof s_Custom);
    if (folder == NULL || folder[0] == '\0') {
        Copy_Field(s_Custom.errorText,
                   "No application root specified for the customisation module.  Cannot retrieve resources "
                   "without the home directory path for this application.");
        return FALSE;
    }
    /* A folder that does not exist at all passes this test: its attributes read as "all bits set".
       It then fails below with a reason for each missing file, which tells the operator more. */
    DWORD attr = GetFileAttributesA(folder);
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        Copy_Field(s_Custom.errorText,
                   "The application home directory path passed to the customisation module is invalid.  Cannot "
                   "retrieve resources without a valid home directory path for this application.");
        return FALSE;
    }
    Copy_Field(s_Custom.folder, folder);
    Copy_Field(s_Custom.errorText, "The customisation module could not load");
    BOOL ok = TRUE;
    if (wantSplash && !Load_SplashFile(s_Custom.folder)) ok = FALSE;
    if (wantIcon && !Load_IconFile(instance, s_Custom.folder)) ok = FALSE;
    if (!Load_IdentityStrings(s_Custom.folder)) ok = FALSE;
    if (ok) {
        s_Custom.errorText[0] = '\0';
        return TRUE;
    }
    Append_Field(s_Custom.errorText, "\r\n\r\nfor this program.\n");
    Trace("Load_Customisation: %s\n", s_Custom.errorText);
    return FALSE;
}

BOOL Get_ProfileResources(ProgramProfile *profile, HINSTANCE instance, const char *folder)
{
    Trace("Get_ProfileResources ( %s )\n", folder != NULL ? folder : "(none)");
    BOOL wantSplash = profile->splash != NO_SPLASH_WANTED;
    BOOL ok = Load_Customisation(instance, folder, wantSplash, TRUE);
    if (s_Custom.splash != NULL) {
        profile->splash = s_Custom.splash;
        profile->has[HAS_SPLASH] = TRUE;
    }
    if (s_Custom.icon != NULL) {
        profile->icon = s_Custom.icon;
        profile->has[HAS_ICON] = TRUE;
    }
    for (int id = 0; id < ID_STRING_COUNT; id++) {
        if (!s_Custom.found[id]) continue;
        Copy_Text(Profile_String(profile, id), TEXT_LEN, s_Custom.strings[id]);
        profile->has[k_IdentityKeys[id].hasFlag] = TRUE;
    }
    Copy_Field(profile->errorText, s_Custom.errorText);
    profile->has[HAS_PROFILE] = TRUE;
    /* The handles now belong to the profile. */
    s_Custom.splash = NULL;
    s_Custom.icon = NULL;
    return ok;
}

void Release_Profile(ProgramProfile *profile)
{
    if (profile->has[HAS_SPLASH] && profile->splash != NULL && profile->splash != NO_SPLASH_WANTED)
        DeleteObject(profile->splash);
    if (profile->has[HAS_ICON] && profile->icon != NULL) DestroyIcon(profile->icon);
    profile->splash = NULL;
    profile->icon = NULL;
    profile->has[HAS_SPLASH] = FALSE;
    profile->has[HAS_ICON] = FALSE;
}

void Release_Profiles(void)
{
    /* The splash thread may still be painting the editor's splash bitmap: it ends first. */
    Close_Splash();
    Release_Profile(&editorProfile);
    Release_Profile(&viewerProfile);
    Release_Profile(&loadBalProfile);
    loadBalancerIcon = NULL;
}

/* Sets a profile back to its defaults: only the product name and, for the editor, the system
   names are preset. */
static void Set_ProfileDefaults(ProgramProfile *p, const char *productName, BOOL wantSplash)
{
    memset(p, 0, sizeof *p);
    p->splash = wantSplash ? NULL : NO_SPLASH_WANTED;
    Copy_Field(p->productName, productName);
}

/* Gives a profile without an icon the first icon that the fallbacks yield: resource icons by id
   (> 0) and the first icon of a program in the System folder (by name). */
static void Give_FallbackIcon(ProgramProfile *p, HINSTANCE instance, int firstId, const char *program, int thenId)
{
    if (p->has[HAS_ICON] || !s_Pictures) return;
    HICON icon = (firstId > 0) ? Load_ResourceIcon(instance, firstId) : NULL;
    if (icon == NULL && program != NULL) {
        char path[PATH_LEN];
        if (Format_Text(path, sizeof path, "%s\\%s\\%s", homeDir != NULL ? homeDir : "", "System", program))
            icon = Extract_FirstIcon(instance, path);
    }
    if (icon == NULL && thenId > 0) icon = Load_ResourceIcon(instance, thenId);
    if (icon != NULL) {
        p->icon = icon;
        p->has[HAS_ICON] = TRUE;
    }
}

/* Loads one profile folder under the home directory; FALSE when it is incomplete. */
static BOOL Load_OneProfile(ProgramProfile *p, HINSTANCE instance, const char *relFolder)
{
    char folder[PATH_LEN] = "";
    if (homeDir != NULL && homeDir[0] != '\0' && !Home_Path(folder, sizeof folder, homeDir, relFolder))
        folder[0] = '\0';
    return Get_ProfileResources(p, instance, folder);
}

void Load_Profiles(void)
{
    Trace("Load_Profiles()\n");
    HINSTANCE instance = (hInstance != NULL) ? hInstance : GetModuleHandleA(NULL);
    Release_Profiles();

    Set_ProfileDefaults(&editorProfile, "Editor", TRUE);
    Copy_Field(editorProfile.systemName, "Ostra Output Controller");
    Copy_Field(editorProfile.abbreviatedName, "Spooler");
    Set_ProfileDefaults(&viewerProfile, "Editor", FALSE);
    Set_ProfileDefaults(&loadBalProfile, "Load Balancer", FALSE);

    BOOL editorOk = Load_OneProfile(&editorProfile, instance, "Profile\\Editor");
    /* The editor's names are published at once, so that even the profile messages below carry
       the title the profile gives. */
    Copy_Field(programTitle, editorProfile.productName);
    Copy_Field(systemName, editorProfile.systemName);
    Copy_Field(reportVersion, editorProfile.versionNumber);
    if (!editorOk)
        Info_Box(programTitle, "Could not get the application profile resources.\r\n\r\n%s", editorProfile.errorText);
    Give_FallbackIcon(&editorProfile, instance, IDI_EDITOR, "Editor.exe", 0);

    if (!Load_OneProfile(&viewerProfile, instance, "Profile\\Viewer"))
        Info_Box(programTitle, "Could not get the viewer profile resources.\r\n\r\n%s", viewerProfile.errorText);
    Give_FallbackIcon(&viewerProfile, instance, IDI_VIEWER, "Controller.exe", 0);

    Load_OneProfile(&loadBalProfile, instance, "Profile\\LoadBal");
    Give_FallbackIcon(&loadBalProfile, instance, 0, "LoadBalancer.exe", IDI_LOADBAL);

    Copy_Field(loadBalancerName, loadBalProfile.productName);
    loadBalancerIcon = loadBalProfile.icon;
    Trace("Load_Profiles: title \"%s\", system \"%s\", load balancer \"%s\"\n", programTitle, systemName,
          loadBalancerName);
}

void Load_ProfileNames(void)
{
    s_Pictures = FALSE;
    Load_Profiles();
    s_Pictures = TRUE;
}

HICON Editor_Icon(void)
{
    return editorProfile.has[HAS_ICON] ? editorProfile.icon : NULL;
}

HBITMAP Editor_Splash(void)
{
    return (editorProfile.has[HAS_SPLASH] && editorProfile.splash != NO_SPLASH_WANTED) ? editorProfile.splash : NULL;
}
