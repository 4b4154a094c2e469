/* Identity resources: the profile folders, their defaults, the error texts the operator reads,
   the icon fallbacks and the names every message box uses afterwards. */
#include "support/testkit.h"
#include "shell/profile.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/text.h"
#include "resources/resource.h"
#include <string.h>
#include <shellapi.h>

namespace {

struct Rgb { int r, g, b; };

/* The colour in the middle of an icon (the fixture icons are one colour each). */
Rgb Icon_Colour(HICON icon)
{
    Rgb out{ -1, -1, -1 };
    ICONINFO ii;
    if (icon == NULL || !GetIconInfo(icon, &ii)) return out;
    BITMAP bm;
    GetObjectA(ii.hbmColor, sizeof bm, &bm);
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<unsigned char> px((size_t)bm.bmWidth * bm.bmHeight * 4);
    HDC dc = GetDC(NULL);
    GetDIBits(dc, ii.hbmColor, 0, (UINT)bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    size_t at = ((size_t)(bm.bmHeight / 2) * bm.bmWidth + bm.bmWidth / 2) * 4;
    out = Rgb{ px[at + 2], px[at + 1], px[at] };
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return out;
}

/* All the colour pixels of an icon, to tell two icons apart when neither is one colour. */
std::string Icon_Pixels(HICON icon)
{
    ICONINFO ii;
    if (icon == NULL || !GetIconInfo(icon, &ii)) return "";
    BITMAP bm;
    GetObjectA(ii.hbmColor, sizeof bm, &bm);
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::string px((size_t)bm.bmWidth * bm.bmHeight * 4, '\0');
    HDC dc = GetDC(NULL);
    GetDIBits(dc, ii.hbmColor, 0, (UINT)bm.bmHeight, &px[0], &bi, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return px;
}

bool Is(Rgb c, int r, int g, int b) { return c.r == r && c.g == g && c.b == b; }

/* The three parts of the loader's error text and its frame. */
const char k_Start[] = "The customisation module could not load";
const char k_End[] = "\r\n\r\nfor this program.\n";
std::string Splash_Reason(const std::string &r) { return "\r\n\r\nthe splash screen:\r\n\r\n\nError: " + r; }
std::string Icon_Reason(const std::string &r) { return "\r\n\r\nthe application icon:\r\n\r\n\nError: " + r; }
std::string Strings_Reason(const std::string &r) { return "\r\n\r\nthe identity strings:\r\n\r\nError: " + r; }

} // namespace

class ProfileTest : public tk::HomeTest {
protected:
    void SetUp() override
    {
        tk::HomeTest::SetUp();
        Fail_StrayBoxes();
    }
    void TearDown() override
    {
        Release_Profiles();
        tk::HomeTest::TearDown();
    }

    std::string Folder(const char *which) const { return home / (std::string("Profile\\") + which); }

    /* Copies fixture files (profiles/<from>) into a profile folder under the given names. */
    void Lay(const char *which, std::vector<std::pair<std::string, std::string>> files)
    {
        tk::Make_Dirs(Folder(which));
        for (auto &f : files)
            ASSERT_TRUE(CopyFileA(tk::Fixture("profiles/" + f.first).c_str(), (Folder(which) + "\\" + f.second).c_str(),
                                  FALSE))
                << f.first;
    }
    void Lay_Complete()
    {
        Lay("Editor", { { "icons/splash.bmp", "PlateSplash.bmp" }, { "icons/red.ico", "Editor.ico" },
                        { "strings/complete.cfg", "EditorProfile.cfg" } });
        Lay("Viewer", { { "icons/green.ico", "Viewer.ico" }, { "strings/viewer.cfg", "ViewerProfile.cfg" } });
        Lay("LoadBal", { { "icons/blue.ico", "LoadBal.ico" }, { "strings/loadbal.cfg", "LoadBalProfile.cfg" } });
    }
};

TEST_F(ProfileTest, NoProfileFoldersKeepTheDefaultsAndSayWhatIsMissing)
{
    tk::MsgRecorder rec;
    Load_Profiles();

    EXPECT_STREQ("Editor", programTitle);
    EXPECT_STREQ("Ostra Output Controller", systemName);
    EXPECT_STREQ("Load Balancer", loadBalancerName);
    EXPECT_STREQ("Spooler", editorProfile.abbreviatedName);
    EXPECT_STREQ("", editorProfile.versionNumber);
    EXPECT_STREQ("Editor", viewerProfile.productName);
    EXPECT_STREQ("", viewerProfile.systemName);

    std::string ed = Folder("Editor"), vw = Folder("Viewer");
    ASSERT_EQ(2u, rec.count()) << "editor and viewer are reported, the load balancer is not";
    EXPECT_EQ("Could not get the application profile resources.\r\n\r\n" + std::string(k_Start) +
                  Splash_Reason("Could not find bitmap file \"" + ed + "\\*Splash.bmp\" :") +
                  Icon_Reason("Could not find icon file \"" + ed + "\\*.ico\" :") +
                  Strings_Reason("Could not find identity strings file \"" + ed + "\\*Profile.cfg\" :") + k_End,
              rec.boxes[0].text);
    EXPECT_EQ("Could not get the viewer profile resources.\r\n\r\n" + std::string(k_Start) +
                  Icon_Reason("Could not find icon file \"" + vw + "\\*.ico\" :") +
                  Strings_Reason("Could not find identity strings file \"" + vw + "\\*Profile.cfg\" :") + k_End,
              rec.boxes[1].text)
        << "the viewer wants no splash picture";
    for (const tk::Box &b : rec.boxes) {
        EXPECT_EQ("Editor", b.caption);
        EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(b.flags));
        EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(b.flags));
        EXPECT_EQ((UINT)MB_EDITOR, b.flags & MB_EDITOR);
    }

    /* The fallbacks give every program an icon; there is no splash picture. */
    EXPECT_NE(nullptr, Editor_Icon());
    EXPECT_TRUE(viewerProfile.has[HAS_ICON]);
    EXPECT_TRUE(loadBalProfile.has[HAS_ICON]);
    EXPECT_EQ(nullptr, Editor_Splash());
    EXPECT_TRUE(editorProfile.has[HAS_PROFILE]);
    EXPECT_FALSE(editorProfile.has[HAS_SYSTEM_NAME]);
}

TEST_F(ProfileTest, CompleteProfilesRebrandEverythingWithoutAMessage)
{
    Lay_Complete();
    tk::MsgRecorder rec;
    Load_Profiles();
    EXPECT_EQ(0u, rec.count());

    EXPECT_STREQ("Plate Room Editor", programTitle);
    EXPECT_STREQ("Plate Room Output System", systemName);
    EXPECT_STREQ("Plate Room Balancer", loadBalancerName);
    EXPECT_STREQ("PROS", editorProfile.abbreviatedName);
    EXPECT_STREQ("7.2 build 14", editorProfile.versionNumber);
    EXPECT_STREQ("Plate Room Ltd", editorProfile.companyName);
    EXPECT_STREQ("Plate Room Viewer", viewerProfile.productName);
    EXPECT_STREQ("", editorProfile.errorText);
    for (int f = 0; f < PROFILE_HAS_COUNT; f++) EXPECT_TRUE(editorProfile.has[f]) << "flag " << f;
    EXPECT_FALSE(viewerProfile.has[HAS_SPLASH]);

    ASSERT_NE(nullptr, Editor_Splash());
    BITMAP bm;
    ASSERT_NE(0, GetObjectA(Editor_Splash(), sizeof bm, &bm));
    EXPECT_EQ(4, bm.bmWidth);
    EXPECT_NE(nullptr, bm.bmBits) << "the splash must be a section, its colours are read when painting";

    EXPECT_TRUE(Is(Icon_Colour(Editor_Icon()), 255, 0, 0));
    EXPECT_TRUE(Is(Icon_Colour(viewerProfile.icon), 0, 255, 0));
    EXPECT_TRUE(Is(Icon_Colour(loadBalProfile.icon), 0, 0, 255));
}

TEST_F(ProfileTest, TwoIconFilesTakeWhicheverTheListingGivesFirst)
{
    for (int round = 0; round < 2; round++) {
        SCOPED_TRACE(round == 0 ? "red as A" : "red as B");
        tk::Remove_Tree(Folder("Editor"));
        Lay("Editor", { { "icons/splash.bmp", "ESplash.bmp" }, { "strings/complete.cfg", "EditorProfile.cfg" },
                        { "icons/red.ico", round == 0 ? "A.ico" : "B.ico" },
                        { "icons/blue.ico", round == 0 ? "B.ico" : "A.ico" } });
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((Folder("Editor") + "\\*.ico").c_str(), &fd);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        FindClose(h);
        bool redFirst = (round == 0) == (strcmp(fd.cFileName, "A.ico") == 0);

        tk::MsgRecorder rec;
        Load_Profiles();
        Rgb c = Icon_Colour(Editor_Icon());
        EXPECT_TRUE(redFirst ? Is(c, 255, 0, 0) : Is(c, 0, 0, 255)) << "listing gave " << fd.cFileName;
    }
}

/* One profile folder with an icon and an identity strings file: what the strings give. */
struct StringsCase {
    const char *title;
    const char *fixture;
    BOOL ok;
    const char *missingReason;           /* the one reason named, or nullptr */
    const char *system, *product, *abbreviated, *version, *company;
};
static const StringsCase k_Strings[] = {
    { "all five keys", "complete.cfg", TRUE, nullptr, "Plate Room Output System", "Plate Room Editor", "PROS",
      "7.2 build 14", "Plate Room Ltd" },
    { "SYSTEM_NAME missing: only it is named, the rest is used", "no_system_name.cfg", FALSE,
      "Could not extract the system name from the file \"", "Default System", "Plate Room Editor", "PROS", "7.2",
      "Plate Room Ltd" },
    { "keys in any order; the first missing in lookup order is named", "no_version_reordered.cfg", FALSE,
      "Could not extract the version string from the file \"", "Plate Room Output System", "Plate Room Editor", "PROS",
      "Default Version", "Plate Room Ltd" },
    { "blanks, tabs and '=' before a value; empty values count as found", "separators_and_empty.cfg", TRUE, nullptr,
      "Spaced System", "Tabbed Editor", "Equals", "", "" },
    { "keys are case-sensitive and must start the line; the first line wins", "case_and_first_line.cfg", FALSE,
      "Could not extract the system name from the file \"", "Default System", "First Product", "A", "1", "C" },
};

TEST_F(ProfileTest, IdentityStringsAreFoundByKeyAndMissingOnesKeepTheirDefaults)
{
    for (const StringsCase &c : k_Strings) {
        SCOPED_TRACE(c.title);
        tk::Remove_Tree(Folder("Editor"));
        Lay("Editor", { { "icons/red.ico", "Editor.ico" }, { std::string("strings/") + c.fixture, "EditorProfile.cfg" } });
        ProgramProfile p;
        memset(&p, 0, sizeof p);
        p.splash = NO_SPLASH_WANTED;
        Copy_Field(p.systemName, "Default System");
        Copy_Field(p.versionNumber, "Default Version");
        EXPECT_EQ(c.ok, Get_ProfileResources(&p, hInstance, Folder("Editor").c_str()));
        EXPECT_STREQ(c.system, p.systemName);
        EXPECT_STREQ(c.product, p.productName);
        EXPECT_STREQ(c.abbreviated, p.abbreviatedName);
        EXPECT_STREQ(c.version, p.versionNumber);
        EXPECT_STREQ(c.company, p.companyName);
        if (c.missingReason == nullptr) {
            EXPECT_STREQ("", p.errorText);
        } else {
            EXPECT_EQ(std::string(k_Start) +
                          Strings_Reason(c.missingReason + Folder("Editor") + "\\EditorProfile.cfg\" :") + k_End,
                      p.errorText);
        }
        EXPECT_TRUE(p.has[HAS_ICON]);
        EXPECT_TRUE(p.has[HAS_PROFILE]);
        Release_Profile(&p);
    }
}

TEST_F(ProfileTest, CrLfFileAndOverlongValue)
{
    tk::Make_Dirs(Folder("LoadBal"));
    std::string longName(300, 'n');
    tk::Write_File(Folder("LoadBal") + "\\LBProfile.cfg",
                   tk::Crlf("SYSTEM_NAME=S\nPRODUCT_NAME=" + longName + "\nABBREVIATED_SYSTEM_NAME=A\n"
                            "VERSION_NUMBER=V\nCOMPANY_NAME=Balancing Co\n"));
    tk::MsgRecorder rec;
    Load_Profiles();
    EXPECT_EQ(std::string(260, 'n'), loadBalancerName) << "260 characters are kept";
    EXPECT_STREQ("Balancing Co", loadBalProfile.companyName) << "no carriage return left on the value";
}

TEST_F(ProfileTest, MissingSystemNameInTheEditorProfileStillRebrandsTheTitle)
{
    Lay("Editor", { { "icons/splash.bmp", "ESplash.bmp" }, { "icons/red.ico", "E.ico" },
                    { "strings/no_system_name.cfg", "EditorProfile.cfg" } });
    Lay("Viewer", { { "icons/green.ico", "Viewer.ico" }, { "strings/viewer.cfg", "ViewerProfile.cfg" } });
    tk::MsgRecorder rec;
    Load_Profiles();
    EXPECT_STREQ("Plate Room Editor", programTitle);
    EXPECT_STREQ("Ostra Output Controller", systemName);
    ASSERT_EQ(1u, rec.count());
    EXPECT_EQ("Could not get the application profile resources.\r\n\r\n" + std::string(k_Start) +
                  Strings_Reason("Could not extract the system name from the file \"" + Folder("Editor") +
                                 "\\EditorProfile.cfg\" :") +
                  k_End,
              rec.last().text);
    EXPECT_EQ("Plate Room Editor", rec.last().caption);
    EXPECT_NE(nullptr, Editor_Splash());
}

TEST_F(ProfileTest, UnusableSplashAndIconFilesAreNamedAndTheIconFallsBack)
{
    Lay("Editor", { { "icons/broken_splash.bmp", "BadSplash.bmp" }, { "icons/not_an_icon.ico", "Bad.ico" },
                    { "strings/complete.cfg", "EditorProfile.cfg" } });
    tk::MsgRecorder rec;
    Load_Profiles();
    std::string ed = Folder("Editor");
    ASSERT_GE(rec.count(), 1u);
    EXPECT_EQ("Could not get the application profile resources.\r\n\r\n" + std::string(k_Start) +
                  Splash_Reason(ed + "\\BadSplash.bmp does not contain a valid DIB") +
                  Icon_Reason("Could not extract the icon (0) from the file \"" + ed + "\\Bad.ico\" :") + k_End,
              rec.boxes[0].text);
    EXPECT_STREQ("Plate Room Editor", programTitle) << "the strings still apply";
    EXPECT_EQ(nullptr, Editor_Splash());

    HICON resource = (HICON)LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_EDITOR), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
    ASSERT_NE(nullptr, Editor_Icon()) << "resource icon 101 stands in";
    EXPECT_EQ(Icon_Pixels(resource), Icon_Pixels(Editor_Icon()));
    DestroyIcon(resource);
}

TEST_F(ProfileTest, LoadBalancerIconComesFromItsProgramBeforeTheResource)
{
    HICON resource = (HICON)LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_LOADBAL), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
    tk::MsgRecorder rec;
    Load_Profiles();
    EXPECT_EQ(Icon_Pixels(resource), Icon_Pixels(loadBalProfile.icon)) << "no LoadBalancer.exe: resource 142";

    /* A program with an icon of its own, installed as the load balancer. */
    std::string demoApp = tk::Build_Path("DemoApp.exe");
    ASSERT_TRUE(tk::Exists(demoApp)) << "the build makes DemoApp.exe";
    ASSERT_TRUE(CopyFileA(demoApp.c_str(), (home / "System\\LoadBalancer.exe").c_str(), FALSE));
    HICON own = ExtractIconA(hInstance, (home / "System\\LoadBalancer.exe").c_str(), 0);
    ASSERT_NE(nullptr, own);
    ASSERT_NE(Icon_Pixels(resource), Icon_Pixels(own)) << "the two icons must differ for this test";
    Load_Profiles();
    EXPECT_EQ(Icon_Pixels(own), Icon_Pixels(loadBalProfile.icon));
    DestroyIcon(own);
    DestroyIcon(resource);
}

TEST_F(ProfileTest, CustomisationLoaderRefusesNoFolderAndAFile)
{
    ProgramProfile p;
    memset(&p, 0, sizeof p);
    EXPECT_FALSE(Get_ProfileResources(&p, hInstance, ""));
    EXPECT_STREQ("No application root specified for the customisation module.  Cannot retrieve resources without "
                 "the home directory path for this application.",
                 p.errorText);

    tk::Write_File(home / "NotAFolder", "x");
    memset(&p, 0, sizeof p);
    EXPECT_FALSE(Get_ProfileResources(&p, hInstance, (home / "NotAFolder").c_str()));
    EXPECT_STREQ("The application home directory path passed to the customisation module is invalid.  Cannot "
                 "retrieve resources without a valid home directory path for this application.",
                 p.errorText);
    EXPECT_FALSE(p.has[HAS_ICON]);

    EXPECT_FALSE(Load_Customisation(hInstance, NULL, TRUE, TRUE));
}

TEST_F(ProfileTest, ReleaseFreesWhatWasLoadedAndReloadingStartsAfresh)
{
    Lay_Complete();
    tk::MsgRecorder rec;
    Load_Profiles();
    HBITMAP splash = Editor_Splash();
    HICON icon = Editor_Icon();
    ASSERT_NE(nullptr, splash);
    ASSERT_NE(nullptr, icon);
    Release_Profiles();
    EXPECT_EQ(nullptr, Editor_Splash());
    EXPECT_EQ(nullptr, Editor_Icon());
    BITMAP bm;
    EXPECT_EQ(0, GetObjectA(splash, sizeof bm, &bm)) << "the splash bitmap was deleted";

    /* A second load after the profiles went away gives the defaults again, not the old names. */
    tk::Remove_Tree(home / "Profile");
    Load_Profiles();
    EXPECT_STREQ("Editor", programTitle);
    EXPECT_STREQ("Ostra Output Controller", systemName);
    EXPECT_STREQ("Load Balancer", loadBalancerName);
    EXPECT_EQ(nullptr, Editor_Splash());
}

TEST_F(ProfileTest, DemoProfilesGiveTheProgramItsOwnName)
{
    const char *folders[][2] = { { "Editor", "EditorProfile.cfg" }, { "Viewer", "ViewerProfile.cfg" },
                                 { "LoadBal", "LoadBalProfile.cfg" } };
    for (auto &f : folders) {
        tk::Make_Dirs(Folder(f[0]));
        bool ok = false;
        std::string text = tk::Read_File(tk::Source_Path(std::string("demo\\Profile\\") + f[0] + "\\" + f[1]), &ok);
        ASSERT_TRUE(ok) << f[1];
        tk::Write_File(Folder(f[0]) + "\\" + f[1], tk::Crlf(text));
    }
    tk::MsgRecorder rec;            /* the demo's pictures are not laid out here */
    Load_Profiles();
    EXPECT_STREQ("Ostra Queue Editor", programTitle);
    EXPECT_STREQ("Ostra Output Controller", systemName);
    EXPECT_STREQ("Ostra Load Balancer", loadBalancerName);
    for (const ProgramProfile *p : { &editorProfile, &viewerProfile, &loadBalProfile })
        for (int f : { HAS_SYSTEM_NAME, HAS_PRODUCT_NAME, HAS_ABBREVIATED_NAME, HAS_VERSION_NUMBER, HAS_COMPANY_NAME })
            EXPECT_TRUE(p->has[f]) << p->productName << " flag " << f;
}
