/* Identity resources: names, icons and the splash picture of the editor, the viewer and the load
   balancer, taken from the profile folders under the home directory. Built-in defaults stay in
   force where a folder is missing or incomplete. */
#pragma once
#include <windows.h>
#include "common/text.h"

#define PROFILE_ERROR_LEN  2048    /* the error text of one profile: three reasons, each naming a file */

/* The splash field of a profile that wants no splash picture. */
#define NO_SPLASH_WANTED   ((HBITMAP)(INT_PTR)-1)

/* Positions in ProgramProfile.has */
enum {
    HAS_SPLASH, HAS_ICON, HAS_COMPANY_NAME, HAS_SYSTEM_NAME, HAS_ABBREVIATED_NAME, HAS_PRODUCT_NAME,
    HAS_VERSION_NUMBER, HAS_PROFILE, PROFILE_HAS_COUNT
};

typedef struct {
    HBITMAP splash;                          /* NO_SPLASH_WANTED before loading when none is wanted */
    HICON   icon;
    char    companyName[TEXT_LEN];   /* "COMPANY_NAME" */
    char    systemName[TEXT_LEN];    /* "SYSTEM_NAME" */
    char    abbreviatedName[TEXT_LEN]; /* "ABBREVIATED_SYSTEM_NAME" */
    char    productName[TEXT_LEN];   /* "PRODUCT_NAME" */
    char    versionNumber[TEXT_LEN]; /* "VERSION_NUMBER" */
    char    errorText[PROFILE_ERROR_LEN];    /* what went wrong while loading */
    BOOL    has[PROFILE_HAS_COUNT];
} ProgramProfile;

extern ProgramProfile editorProfile;
extern ProgramProfile viewerProfile;
extern ProgramProfile loadBalProfile;

/* Sets the defaults, loads the three profiles from homeDir ("Profile\Editor", "Profile\Viewer",
   "Profile\LoadBal"), gives each profile without an icon its fallback icon and publishes
   programTitle, systemName and loadBalancerName. Tells the operator (one information box each)
   when the editor's or the viewer's profile is incomplete. Releases what an earlier call loaded. */
void Load_Profiles(void);
/* Load_Profiles without the pictures, for the modes that show no window: the names and strings,
   no splash picture and no icons (loading them would bring up the display). The splash picture
   and icon files are still looked for, so a missing one is told as Load_Profiles tells it; one
   that is there counts as found without being read. */
void Load_ProfileNames(void);
/* Loads one profile from folder through Load_Customisation (a splash only when profile->splash is
   not NO_SPLASH_WANTED). Strings that were found replace the profile's defaults; the others stay.
   TRUE when everything wanted was found; otherwise FALSE and profile->errorText says why. */
BOOL Get_ProfileResources(ProgramProfile *profile, HINSTANCE instance, const char *folder);
/* The customisation loader: looks in folder for "*Splash.bmp" (when wantSplash), "*.ico" (when
   wantIcon) and "*Profile.cfg", and keeps what it found in one module-wide set of results.
   TRUE on full success; FALSE with the reasons in the module's error text otherwise. Shows nothing. */
BOOL Load_Customisation(HINSTANCE instance, const char *folder, BOOL wantSplash, BOOL wantIcon);
/* Deletes the profile's splash bitmap and destroys its icon where they were loaded. */
void Release_Profile(ProgramProfile *profile);
/* Release_Profile for the editor, viewer and load balancer profiles, after the splash screen,
   which paints the editor's splash bitmap, has been closed and its thread has ended. */
void Release_Profiles(void);

/* The editor's icon (NULL when none could be had). */
HICON Editor_Icon(void);
/* The editor's splash bitmap, or NULL. */
HBITMAP Editor_Splash(void);
