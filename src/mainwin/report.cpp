#include "mainwin/report.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/iconpng.h"
#include "common/rowset.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/fields.h"
#include "config/findings.h"
#include "config/layoutchecks.h"
#include "config/lbfile.h"
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include "queueedit/queuetext.h"
#include "resources/resource.h"
#include <stdlib.h>
#include <string.h>

char reportVersion[REPORT_TEXT_LEN];

#define VALUE_LEN       4096     /* one field's value as text (a group of four applications with arguments) */
#define CHANGE_ENTRIES  10       /* entries of the change log shown */
#define CHANGE_LOG_NAME "logs\\Editor Changes.log"

/* ---- text for the page ---- */

/* How a text goes into the page: line breaks as <br>, a chance to wrap after each backslash of
   a path (a long path then wraps at its folders rather than inside a name). */
#define HTML_BREAKS 1
#define HTML_PATH   2

static void Html_Ascii(OUTBUF *out, const char *p, size_t n, int how)
{
    BOOL lineBreaks = (how & HTML_BREAKS) != 0;
    size_t run = 0;       /* plain characters waiting to be appended in one piece */
    for (size_t i = 0; i < n; i++) {
        const char *entity = NULL;
        char c = p[i];
        switch (c) {
        case '<':  entity = "&lt;"; break;
        case '>':  entity = "&gt;"; break;
        case '&':  entity = "&amp;"; break;
        case '"':  entity = "&quot;"; break;
        case '\'': entity = "&#39;"; break;
        case '\r': entity = ""; break;
        case '\\': entity = (how & HTML_PATH) ? "\\<wbr>" : NULL; break;
        case '\n': entity = lineBreaks ? "<br>" : " "; break;
        default:
            if ((unsigned char)c < 32 && c != '\t') entity = " ";
            break;
        }
        if (entity == NULL) {
            run++;
            continue;
        }
        if (run > 0) OutBuf_Append(out, p + i - run, run);
        run = 0;
        OutBuf_Puts(out, entity);
    }
    if (run > 0) OutBuf_Append(out, p + n - run, run);
}

static void Html_Put(OUTBUF *out, const char *text, int how)
{
    if (text == NULL) return;
    size_t n = strlen(text);
    BOOL ascii = TRUE;
    for (size_t i = 0; i < n && ascii; i++)
        if ((unsigned char)text[i] > 127) ascii = FALSE;
    if (ascii || n > 0x7FFFFFF) {
        Html_Ascii(out, text, n, how);
        return;
    }
    /* The installation's texts are in the Windows code page; the page is UTF-8. */
    int wide = MultiByteToWideChar(CP_ACP, 0, text, (int)n, NULL, 0);
    WCHAR *w = (WCHAR *)malloc(((size_t)wide + 1) * sizeof(WCHAR));
    char *u = NULL;
    int ulen = 0;
    if (w != NULL) {
        MultiByteToWideChar(CP_ACP, 0, text, (int)n, w, wide);
        ulen = WideCharToMultiByte(CP_UTF8, 0, w, wide, NULL, 0, NULL, NULL);
        u = (char *)malloc((size_t)ulen + 1);
        if (u != NULL) WideCharToMultiByte(CP_UTF8, 0, w, wide, u, ulen, NULL, NULL);
    }
    if (u != NULL) {
        Html_Ascii(out, u, (size_t)ulen, how);    /* UTF-8 bytes above 127 pass as they are */
    } else {
        out->failed = TRUE;
    }
    free(u);
    free(w);
}

void Html_Text(OUTBUF *out, const char *text, BOOL lineBreaks) { Html_Put(out, text, lineBreaks ? HTML_BREAKS : 0); }

static void Put_Text(OUTBUF *out, const char *text) { Html_Put(out, text, 0); }
static void Put_Path(OUTBUF *out, const char *text) { Html_Put(out, text, HTML_PATH); }

/* <a href="#anchor">text</a> */
static void Put_Link(OUTBUF *out, const char *anchor, const char *text)
{
    OutBuf_Printf(out, "<a href=\"#%s\">", anchor);
    Put_Text(out, text);
    OutBuf_Puts(out, "</a>");
}

static void Queue_Anchor(int pos, char *out, size_t cap) { Format_Text(out, cap, "q%d", pos + 1); }
static void Lbq_Anchor(int pos, char *out, size_t cap) { Format_Text(out, cap, "in%d", pos + 1); }
static void App_Anchor(int slot, char *out, size_t cap) { Format_Text(out, cap, "app%d", slot); }
static void Group_Anchor(int slot, char *out, size_t cap) { Format_Text(out, cap, "group%d", slot); }

static void Put_QueueLink(OUTBUF *out, int pos)
{
    char anchor[32];
    Queue_Anchor(pos, anchor, sizeof anchor);
    Put_Link(out, anchor, targets[pos].name[0] != '\0' ? targets[pos].name : "(no name)");
}

static void Put_LbqLink(OUTBUF *out, int pos)
{
    char anchor[32];
    Lbq_Anchor(pos, anchor, sizeof anchor);
    Put_Link(out, anchor, lbqs[pos].name[0] != '\0' ? lbqs[pos].name : "(no name)");
}

static BOOL Used_App(int slot) { return slot >= 0 && slot < MAX_APPS && !apps[slot].free; }
static BOOL Used_Group(int slot) { return slot >= 0 && slot < MAX_APPGROUPS && !appGroups[slot].free; }

static void Put_AppLink(OUTBUF *out, int slot)
{
    if (!Used_App(slot)) {
        OutBuf_Printf(out, "application entry %d (none)", slot);
        return;
    }
    char anchor[32];
    App_Anchor(slot, anchor, sizeof anchor);
    Put_Link(out, anchor, apps[slot].path[0] != '\0' ? apps[slot].path : "(no path)");
    if (apps[slot].args[0] != '\0') {
        OutBuf_Putc(out, ' ');
        Put_Text(out, apps[slot].args);
    }
}

/* ---- icons ---- */

/* Each picture is made once, and written once: in the style sheet, as a class that every place
   showing it names (many queues and applications share a picture). */
#define ICON_CACHE 512
typedef struct {
    char key[TEXT_LEN + 8];      /* where the picture comes from: "res:179", "file:<path>" */
    int  picture;                /* index in pictures, or -1 when there is none */
} ICON_ENTRY;

typedef struct {
    ICON_ENTRY entries[ICON_CACHE];
    int        count;
    char      *pictures[ICON_CACHE];   /* the PNGs in base64, each different from the others */
    int        pictureCount;
} ICON_CACHE_T;

static int Icon_Picture(ICON_CACHE_T *cache, const char *key, HMODULE module, int resource, const char *file)
{
    for (int i = 0; i < cache->count; i++)
        if (strcmp(cache->entries[i].key, key) == 0) return cache->entries[i].picture;
    OUTBUF png;
    OutBuf_Init(&png);
    BOOL ok = file != NULL ? File_IconPng(file, &png) : Module_IconPng(module, MAKEINTRESOURCEA(resource), &png);
    int picture = -1;
    if (ok && !png.failed) {
        OUTBUF b64;
        OutBuf_Init(&b64);
        Append_Base64(&b64, (const uint8_t *)png.data, png.len);
        OutBuf_Putc(&b64, '\0');
        if (!b64.failed) {
            for (int i = 0; i < cache->pictureCount && picture < 0; i++)
                if (strcmp(cache->pictures[i], b64.data) == 0) picture = i;
            if (picture < 0 && cache->pictureCount < ICON_CACHE) {
                picture = cache->pictureCount++;
                cache->pictures[picture] = b64.data;
                b64.data = NULL;
            }
        }
        free(b64.data);
    }
    OutBuf_Free(&png);
    if (cache->count < ICON_CACHE) {
        ICON_ENTRY *e = &cache->entries[cache->count++];
        Copy_Field(e->key, key);
        e->picture = picture;
    }
    return picture;
}

static HMODULE Own_Module(void) { return hInstance != NULL ? hInstance : GetModuleHandleA(NULL); }

static int Resource_Icon(ICON_CACHE_T *cache, int id)
{
    char key[32];
    Format_Text(key, sizeof key, "res:%d", id);
    int picture = Icon_Picture(cache, key, Own_Module(), id, NULL);
    if (picture < 0 && id != IDI_PROGRAM) picture = Icon_Picture(cache, "res:110", Own_Module(), IDI_PROGRAM, NULL);
    return picture;
}

static int File_Icon(ICON_CACHE_T *cache, const char *path)
{
    char key[TEXT_LEN + 8];
    Format_Text(key, sizeof key, "file:%s", path);
    return Icon_Picture(cache, key, NULL, 0, path);
}

static BOOL Has_IconPath(const char *path) { return path[0] != '\0' && strcmp(path, " ") != 0; }

/* The icon of an application: its icon file when it names one, else its program's own icon,
   else the program icon. */
static int App_IconPicture(ICON_CACHE_T *cache, int slot)
{
    int picture = -1;
    if (Used_App(slot)) {
        const App *a = &apps[slot];
        picture = File_Icon(cache, Has_IconPath(a->iconPath) ? a->iconPath : a->path);
    }
    return picture >= 0 ? picture : Resource_Icon(cache, IDI_PROGRAM);
}

/* The icon a queue shows in the main window's list: its own, else the one of what it runs. */
static int Queue_IconPicture(ICON_CACHE_T *cache, const Target *t)
{
    if (Has_IconPath(t->iconPath)) {
        int own = File_Icon(cache, t->iconPath);
        if (own >= 0) return own;
    }
    if (t->noProcesses || t->processRef == NO_PROCESSES) return Resource_Icon(cache, IDI_NO_PROCESSES);
    if (t->usesGroup) {
        BOOL parallel = Used_Group(t->processRef) && appGroups[t->processRef].parallel;
        return Resource_Icon(cache, parallel ? IDI_PARALLEL : IDI_SERIES);
    }
    return App_IconPicture(cache, t->processRef);
}

static void Put_Icon(OUTBUF *out, int picture)
{
    if (picture < 0) return;
    OutBuf_Printf(out, "<span class=\"icon p%d\" role=\"img\"></span>", picture);
}

/* The pictures' classes for the style sheet. */
static void Put_IconStyles(OUTBUF *out, const ICON_CACHE_T *cache)
{
    for (int i = 0; i < cache->pictureCount; i++)
        OutBuf_Printf(out, ".p%d{background-image:url(data:image/png;base64,%s)}\n", i, cache->pictures[i]);
}

static void Free_IconCache(ICON_CACHE_T *cache)
{
    for (int i = 0; i < cache->pictureCount; i++) free(cache->pictures[i]);
    cache->pictureCount = 0;
    cache->count = 0;
}

/* ---- the problems ---- */

int Report_Problems(REPORT_PROBLEM *rows, int cap)
{
    Trace("Report_Problems ()\n");
    static FINDINGS list;            /* ~0.5 MB: kept off the stack */
    Check_All(&list);
    int n = 0;
    for (int i = 0; i < list.count; i++, n++) {
        if (n >= cap) continue;
        const FINDING *f = &list.items[i];
        Format_Finding(f, rows[n].text, sizeof rows[n].text);
        rows[n].queue = (f->aboutKind == ROWREF_TARGET && f->aboutPos < targetCount) ? f->aboutPos : -1;
        rows[n].lbq = (f->aboutKind == ROWREF_LBQ && f->aboutPos < lbqCount) ? f->aboutPos : -1;
    }
    n += list.dropped;
    Trace("Report_Problems: %d\n", n);
    return n;
}

/* ---- the sections ---- */

static const char k_Style[] =
    "body{font:10pt/1.35 \"DejaVu Sans\",\"Segoe UI\",Arial,sans-serif;color:#111;margin:1.5em auto;"
    "max-width:62em;padding:0 1em}\n"
    "h1{font-size:17pt;margin:0 0 .3em}h2{font-size:13pt;border-bottom:2px solid #345;margin:1.4em 0 .5em;"
    "padding-bottom:2px}h3{font-size:11pt;margin:0 0 .4em}h4{font-size:9.5pt;margin:.6em 0 .2em;color:#345}\n"
    "table{border-collapse:collapse;width:100%;table-layout:fixed;margin:.2em 0}\n"
    "th,td{border:1px solid #bbb;padding:2px 5px;text-align:left;vertical-align:top;overflow-wrap:anywhere}\n"
    "th{background:#eef1f5;font-weight:600}th.l{width:24%}\n"
    "table.fields{font-size:8.5pt;line-height:1.25}table.fields td{width:32%}"
    "table.fields td.l{width:18%;color:#333;background:#f7f8fa}"
    "tr.page th{background:#dde3ea}\n"
    ".card{border:1px solid #889;border-radius:4px;padding:6px 10px 8px;margin:0 0 10px;break-inside:avoid}\n"
    ".icon{display:inline-block;width:32px;height:32px;vertical-align:middle;margin-right:8px;"
    "background:no-repeat center/32px 32px}\n"
    ".unsaved{background:#fff3c4;border:1px solid #c90;padding:4px 8px;font-weight:600}\n"
    ".key{display:block;color:#667;font-size:7pt;overflow-wrap:anywhere}\n"
    ".ok{color:#264}.problems li{margin:2px 0}.muted{color:#666}\n"
    "pre{white-space:pre-wrap;overflow-wrap:anywhere;font:8.5pt/1.3 \"DejaVu Sans Mono\",Consolas,monospace;"
    "border:1px solid #ccc;padding:4px 6px;margin:0 0 6px;break-inside:avoid}\n"
    "nav ul{columns:2;margin:.3em 0}a{color:#035}\n"
    "@page{size:auto;margin:14mm 12mm}\n"
    "@media print{body{margin:0;max-width:none;padding:0}nav{display:none}a{color:inherit;text-decoration:none}"
    "h2,h3,h4{break-after:avoid}tr{break-inside:avoid}.card.queue{break-inside:auto}"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}\n";

/* The page up to its body: the style sheet with the pictures' classes. */
static void Put_Start(OUTBUF *out, const ICON_CACHE_T *icons)
{
    OutBuf_Puts(out, "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>");
    OutBuf_Puts(out, "Configuration of ");
    Put_Text(out, systemName[0] != '\0' ? systemName : "the spooler");
    OutBuf_Puts(out, "</title>\n<style>\n");
    OutBuf_Puts(out, k_Style);
    Put_IconStyles(out, icons);
    OutBuf_Puts(out, "</style>\n</head>\n<body>\n");
}

static void Put_Head(OUTBUF *out, const REPORT_INFO *info)
{
    OutBuf_Puts(out, "<h1>Configuration of ");
    Put_Text(out, systemName[0] != '\0' ? systemName : "the spooler");
    OutBuf_Puts(out, "</h1>\n");
    if (info->unsaved)
        OutBuf_Puts(out, "<p class=\"unsaved\" id=\"unsaved\">Not yet saved: this is the configuration as it is in "
                         "the editor, with changes that are not in the files yet.</p>\n");

    char when[64];
    if (info->when != NULL) {
        Copy_Field(when, info->when);
    } else {
        SYSTEMTIME st;
        GetLocalTime(&st);
        Format_Text(when, sizeof when, "%04d-%02d-%02d %02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    }
    int appCount = 0, groupCount = 0;
    for (int i = 0; i < MAX_APPS; i++) appCount += Used_App(i) ? 1 : 0;
    for (int i = 0; i < MAX_APPGROUPS; i++) groupCount += Used_Group(i) ? 1 : 0;

    OutBuf_Puts(out, "<table class=\"head\" id=\"header\">\n<tr><th class=\"l\">System</th><td>");
    Put_Text(out, systemName);
    OutBuf_Puts(out, "</td></tr>\n<tr><th class=\"l\">Editor version</th><td>");
    Put_Text(out, reportVersion);
    OutBuf_Puts(out, "</td></tr>\n<tr><th class=\"l\">Home directory</th><td>");
    Put_Path(out, info->home);
    OutBuf_Puts(out, "</td></tr>\n<tr><th class=\"l\">Written</th><td>");
    Put_Text(out, when);
    OutBuf_Printf(out, "</td></tr>\n<tr><th class=\"l\">Output queues</th><td id=\"count-output\">%d</td></tr>\n",
                  targetCount);
    OutBuf_Printf(out, "<tr><th class=\"l\">Input queues</th><td id=\"count-input\">%d</td></tr>\n", lbqCount);
    OutBuf_Printf(out, "<tr><th class=\"l\">Applications</th><td id=\"count-apps\">%d (and %d group%s)</td></tr>\n",
                  appCount, groupCount, groupCount == 1 ? "" : "s");
    OutBuf_Printf(out, "<tr><th class=\"l\">Users</th><td id=\"count-users\">%d</td></tr>\n</table>\n", userCount);

    OutBuf_Puts(out, "<nav><ul><li><a href=\"#problems\">Problems</a></li><li><a href=\"#output-queues\">Output "
                     "queues</a></li><li><a href=\"#input-queues\">Input queues</a></li><li><a "
                     "href=\"#applications\">Applications and groups</a></li><li><a href=\"#folders\">Folders</a></li>"
                     "<li><a href=\"#preferences\">Preferences</a></li><li><a href=\"#users\">Users</a></li><li><a "
                     "href=\"#changes\">Recent changes</a></li></ul></nav>\n");
}

static void Put_Problems(OUTBUF *out)
{
    enum { SHOWN = 400 };
    REPORT_PROBLEM *rows = (REPORT_PROBLEM *)malloc(SHOWN * sizeof(REPORT_PROBLEM));
    int n = rows != NULL ? Report_Problems(rows, SHOWN) : 0;
    OutBuf_Puts(out, "<h2 id=\"problems\">Problems</h2>\n");
    if (n == 0) {
        OutBuf_Puts(out, "<p class=\"ok\">No problems found.</p>\n");
    } else {
        OutBuf_Puts(out, "<ul class=\"problems\">\n");
        for (int i = 0; i < n && i < SHOWN; i++) {
            OutBuf_Puts(out, "<li>");
            Put_Text(out, rows[i].text);
            if (rows[i].queue >= 0) {
                OutBuf_Puts(out, " (");
                Put_QueueLink(out, rows[i].queue);
                OutBuf_Puts(out, ")");
            } else if (rows[i].lbq >= 0) {
                OutBuf_Puts(out, " (");
                Put_LbqLink(out, rows[i].lbq);
                OutBuf_Puts(out, ")");
            }
            OutBuf_Puts(out, "</li>\n");
        }
        if (n > SHOWN) OutBuf_Printf(out, "<li>... and %d more</li>\n", n - SHOWN);
        OutBuf_Puts(out, "</ul>\n");
    }
    free(rows);
}

/* The names the pages go by, as the overview and the dialogs title them. */
static const char *Page_Name(QUEUE_PAGE page)
{
    switch (page) {
    case QPAGE_NONE:           return "Kept in the file (no page shows it)";
    case QPAGE_OVERVIEW:       return "Overview";
    case QPAGE_INPUTS:         return "Inputs";
    case QPAGE_THUMBDIR:       return "Thumbnail Images";
    case QPAGE_JOBSETTINGS:    return "Job Settings";
    case QPAGE_MULTIJOB:       return "Multi-Job Settings";
    case QPAGE_PROCESSES:      return "Processes";
    case QPAGE_INSTRUCTIONS:   return "Process Instructions";
    case QPAGE_CLEANUP:        return "Clean-Up";
    case QPAGE_IDENTITY:       return "Resource Management";
    case QPAGE_INPUTQUEUE:     return "Input Queue";
    case QPAGE_PREFERENCES:    return "General Preferences";
    case QPAGE_FILENAMING:     return "Job Names";
    case QPAGE_ADMINISTRATION: return "Administration";
    }
    return "";
}

/* The fields a card shows: all but icon handles, passwords, the slots' own state and the
   bookkeeping no page shows. */
static BOOL Shown_Field(const FIELD_DEF *f)
{
    if (f->kind == FK_HANDLE || f->kind == FK_PASSWORD || (f->flags & FF_SLOT)) return FALSE;
    if ((f->flags & FF_RUNTIME) && f->page == QPAGE_NONE) return FALSE;
    return TRUE;
}

/* The value of one field, with its references as links. */
static void Put_Value(OUTBUF *out, FIELD_TABLE table, const FIELD_DEF *f, const void *record, char *value)
{
    if (f->kind == FK_ACTION) {
        int32_t n = Get_FieldNumber(f, record);
        if (n >= 0 && n < targetCount) {
            char anchor[32];
            Queue_Anchor(n, anchor, sizeof anchor);
            Format_FieldValue(f, record, NULL, value, VALUE_LEN);
            Put_Link(out, anchor, value);
            return;
        }
    }
    if (f->kind == FK_QUEUE_SET) {
        const int32_t *flags = (const int32_t *)((const char *)record + f->offset);
        int shown = 0;
        for (int i = 0; i < targetCount; i++) {
            if (flags[i] != 1) continue;
            if (shown++ > 0) OutBuf_Puts(out, ", ");
            Put_QueueLink(out, i);
        }
        if (shown == 0) OutBuf_Puts(out, "none");
        return;
    }
    if (f->kind == FK_MEMBERS) {
        const AppGroup *g = (const AppGroup *)record;
        int count = (g->count < MAX_GROUP_MEMBERS) ? g->count : MAX_GROUP_MEMBERS;
        for (int m = 0; m < count; m++) {
            if (m > 0) OutBuf_Puts(out, "<br>");
            Put_AppLink(out, g->members[m]);
        }
        return;
    }
    if (f->kind == FK_PROCESSES && table == FT_TARGET) {
        const Target *t = (const Target *)record;
        char anchor[32] = "";
        if (!t->noProcesses && t->processRef != NO_PROCESSES) {
            if (t->usesGroup && Used_Group(t->processRef)) Group_Anchor(t->processRef, anchor, sizeof anchor);
            if (!t->usesGroup && Used_App(t->processRef)) App_Anchor(t->processRef, anchor, sizeof anchor);
        }
        Format_FieldValue(f, record, NULL, value, VALUE_LEN);
        if (anchor[0] != '\0') Put_Link(out, anchor, value);
        else Put_Text(out, value);
        return;
    }
    Format_FieldValue(f, record, NULL, value, VALUE_LEN);
    if (f->kind == FK_PATH) Put_Path(out, value);
    else Put_Text(out, value);
}

/* Every shown field of a record, two to a row (label, value, label, value), grouped under the
   pages that edit them in the order of the pages (with pages: one sub-heading each). */
static void Put_Fields(OUTBUF *out, FIELD_TABLE table, const void *record, BOOL withPages, char *value)
{
    static const QUEUE_PAGE k_Order[] = {
        QPAGE_OVERVIEW, QPAGE_INPUTS, QPAGE_THUMBDIR, QPAGE_JOBSETTINGS, QPAGE_MULTIJOB, QPAGE_PROCESSES,
        QPAGE_INSTRUCTIONS, QPAGE_CLEANUP, QPAGE_IDENTITY, QPAGE_INPUTQUEUE, QPAGE_PREFERENCES, QPAGE_FILENAMING,
        QPAGE_ADMINISTRATION, QPAGE_NONE,
    };
    int count = Field_Count(table);
    BOOL open = FALSE;
    int inRow = 0;          /* fields in the row being written */
    for (size_t p = 0; p < ARRAY_LEN(k_Order); p++) {
        BOOL headed = FALSE;
        for (int i = 0; i < count; i++) {
            const FIELD_DEF *f = Field_At(table, i);
            if (f == NULL || f->page != k_Order[p] || !Shown_Field(f)) continue;
            if (!open) {
                OutBuf_Puts(out, "<table class=\"fields\">\n");
                open = TRUE;
            }
            if (withPages && !headed) {
                if (inRow == 1) OutBuf_Puts(out, "<td class=\"l\"></td><td></td></tr>\n");
                inRow = 0;
                OutBuf_Puts(out, "<tr class=\"page\"><th colspan=\"4\">");
                Put_Text(out, Page_Name(k_Order[p]));
                OutBuf_Puts(out, "</th></tr>\n");
                headed = TRUE;
            }
            if (inRow == 0) OutBuf_Puts(out, "<tr>");
            OutBuf_Printf(out, "<td class=\"l\" data-key=\"%s\">", f->key);
            Put_Text(out, f->label);
            /* a preference also by the key its file knows it by */
            const char *fileKey = (table == FT_PREFS) ? Prefs_FileKey(f) : NULL;
            if (fileKey != NULL) {
                OutBuf_Puts(out, "<span class=\"key\">");
                Put_Text(out, fileKey);
                OutBuf_Puts(out, "</span>");
            }
            OutBuf_Puts(out, "</td><td>");
            Put_Value(out, table, f, record, value);
            OutBuf_Puts(out, "</td>");
            if (++inRow == 2) {
                OutBuf_Puts(out, "</tr>\n");
                inRow = 0;
            }
        }
    }
    if (inRow == 1) OutBuf_Puts(out, "<td class=\"l\"></td><td></td></tr>\n");
    if (open) OutBuf_Puts(out, "</table>\n");
}

static void Put_OutputQueues(OUTBUF *out, ICON_CACHE_T *icons, char *value)
{
    static const struct {
        const char *section;
        SUMMARY_FN  fn;
    } k_Sections[] = {
        { "Inputs", Summary_Inputs },
        { "Thumbnail Images", Summary_Thumbnails },
        { "Job Settings", Summary_JobSettings },
        { "Processes to run", Summary_Processes },
        { "Process instructions", Summary_Instructions },
        { "Clean-Up", Summary_CleanUp },
        { "Resource Management", Summary_Identity },
    };
    OutBuf_Printf(out, "<h2 id=\"output-queues\">Output queues (%d)</h2>\n", targetCount);
    if (targetCount == 0) OutBuf_Puts(out, "<p class=\"muted\">None.</p>\n");
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        char anchor[32];
        Queue_Anchor(i, anchor, sizeof anchor);
        OutBuf_Printf(out, "<section class=\"card queue\" id=\"%s\">\n<h3>", anchor);
        Put_Icon(out, Queue_IconPicture(icons, t));
        OutBuf_Printf(out, "%d. ", i + 1);
        Put_Text(out, t->name);
        OutBuf_Puts(out, "</h3>\n<table class=\"overview\">\n");
        for (size_t s = 0; s < ARRAY_LEN(k_Sections); s++) {
            SUMMARY sum;
            k_Sections[s].fn(t, NULL, &sum);
            OutBuf_Printf(out, "<tr><th class=\"l\">%s</th><td>", k_Sections[s].section);
            Html_Put(out, sum.text, HTML_BREAKS | HTML_PATH);
            OutBuf_Puts(out, "</td></tr>\n");
        }
        OutBuf_Puts(out, "</table>\n");
        Put_Fields(out, FT_TARGET, t, TRUE, value);
        OutBuf_Puts(out, "</section>\n");
    }
}

static void Put_InputQueues(OUTBUF *out, ICON_CACHE_T *icons, char *value)
{
    OutBuf_Printf(out, "<h2 id=\"input-queues\">Input queues (%d)</h2>\n", lbqCount);
    if (lbqCount == 0) OutBuf_Puts(out, "<p class=\"muted\">None.</p>\n");
    for (int i = 0; i < lbqCount; i++) {
        char anchor[32];
        Lbq_Anchor(i, anchor, sizeof anchor);
        OutBuf_Printf(out, "<section class=\"card input\" id=\"%s\">\n<h3>", anchor);
        Put_Icon(out, Resource_Icon(icons, IDI_LOADBAL));
        OutBuf_Printf(out, "%d. ", i + 1);
        Put_Text(out, lbqs[i].name);
        OutBuf_Puts(out, "</h3>\n");
        Put_Fields(out, FT_LBQ, &lbqs[i], FALSE, value);
        OutBuf_Puts(out, "</section>\n");
    }
}

/* The output queues that run application slot (alone, or as a member of a group) or group slot. */
static void Put_Users(OUTBUF *out, BOOL group, int slot)
{
    int shown = 0;
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        if (t->noProcesses || t->processRef == NO_PROCESSES) continue;
        BOOL uses = FALSE;
        if (group) {
            uses = t->usesGroup && t->processRef == slot;
        } else if (!t->usesGroup) {
            uses = t->processRef == slot;
        } else if (Used_Group(t->processRef)) {
            const AppGroup *g = &appGroups[t->processRef];
            for (int m = 0; m < g->count && m < MAX_GROUP_MEMBERS; m++) uses = uses || g->members[m] == slot;
        }
        if (!uses) continue;
        if (shown++ > 0) OutBuf_Puts(out, ", ");
        Put_QueueLink(out, i);
    }
    if (shown == 0) OutBuf_Puts(out, "<span class=\"muted\">no output queue</span>");
}

static void Put_Applications(OUTBUF *out, ICON_CACHE_T *icons, char *value)
{
    OutBuf_Puts(out, "<h2 id=\"applications\">Applications and groups</h2>\n");
    int shown = 0;
    for (int i = 0; i < MAX_APPS; i++) {
        if (!Used_App(i)) continue;
        char anchor[32];
        App_Anchor(i, anchor, sizeof anchor);
        OutBuf_Printf(out, "<section class=\"card app\" id=\"%s\">\n<h3>", anchor);
        Put_Icon(out, App_IconPicture(icons, i));
        OutBuf_Printf(out, "Application %d: ", i);
        Put_Text(out, apps[i].path);
        OutBuf_Puts(out, "</h3>\n");
        Put_Fields(out, FT_APP, &apps[i], FALSE, value);
        OutBuf_Puts(out, "<table><tr><th class=\"l\">Used by</th><td>");
        Put_Users(out, FALSE, i);
        OutBuf_Puts(out, "</td></tr></table>\n</section>\n");
        shown++;
    }
    for (int i = 0; i < MAX_APPGROUPS; i++) {
        if (!Used_Group(i)) continue;
        char anchor[32];
        Group_Anchor(i, anchor, sizeof anchor);
        OutBuf_Printf(out, "<section class=\"card group\" id=\"%s\">\n<h3>", anchor);
        Put_Icon(out, Resource_Icon(icons, appGroups[i].parallel ? IDI_PARALLEL : IDI_SERIES));
        OutBuf_Printf(out, "Group %d: %d processes in %s</h3>\n", i, appGroups[i].count,
                      appGroups[i].parallel ? "parallel" : "series");
        Put_Fields(out, FT_APPGROUP, &appGroups[i], FALSE, value);
        OutBuf_Puts(out, "<table><tr><th class=\"l\">Used by</th><td>");
        Put_Users(out, TRUE, i);
        OutBuf_Puts(out, "</td></tr></table>\n</section>\n");
        shown++;
    }
    if (shown == 0) OutBuf_Puts(out, "<p class=\"muted\">None.</p>\n");
}

/* ---- the folder map ---- */

typedef struct {
    const char *dir;
    const char *role;
    int         queue;      /* output queue position, or -1 */
    int         lbq;        /* input queue position, or -1 */
} FOLDER_ROW;

static int Compare_Folders(const void *a, const void *b)
{
    const FOLDER_ROW *x = (const FOLDER_ROW *)a, *y = (const FOLDER_ROW *)b;
    int c = Compare_NoCase(x->dir, y->dir);
    if (c != 0) return c;
    c = strcmp(x->dir, y->dir);
    if (c != 0) return c;
    int qx = x->queue >= 0 ? x->queue : MAX_TARGETS + x->lbq, qy = y->queue >= 0 ? y->queue : MAX_TARGETS + y->lbq;
    return qx != qy ? qx - qy : strcmp(x->role, y->role);
}

static int Add_Folder(FOLDER_ROW *rows, int n, const char *dir, const char *role, int queue, int lbq)
{
    if (dir[0] == '\0' || strcmp(dir, " ") == 0) return n;
    rows[n].dir = dir;
    rows[n].role = role;
    rows[n].queue = queue;
    rows[n].lbq = lbq;
    return n + 1;
}

static void Put_Folders(OUTBUF *out)
{
    OutBuf_Puts(out, "<h2 id=\"folders\">Folders</h2>\n");
    FOLDER_ROW *rows = (FOLDER_ROW *)malloc((size_t)(MAX_TARGETS * 6 + MAX_LBQS) * sizeof(FOLDER_ROW));
    if (rows == NULL) {
        out->failed = TRUE;
        return;
    }
    int n = 0;
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        n = Add_Folder(rows, n, t->hotDir, t->includeSubdirs ? "hot (with sub-directories)" : "hot", i, -1);
        n = Add_Folder(rows, n, t->doneDir, t->afterAction == AFTER_MOVE_DONE ? "done" : "done (not in use)", i, -1);
        n = Add_Folder(rows, n, t->timeoutDir, t->timeoutAction == TIMEOUT_MOVE ? "time-out" : "time-out (not in use)",
                       i, -1);
        n = Add_Folder(rows, n, t->excludeFilterDir, "excluded", i, -1);
        n = Add_Folder(rows, n, t->includeFilterDir, "included", i, -1);
        n = Add_Folder(rows, n, t->thumbnailDir, "thumbnails", i, -1);
    }
    for (int i = 0; i < lbqCount; i++)
        n = Add_Folder(rows, n, lbqs[i].hotDir, lbqs[i].includeSubdirs ? "hot (with sub-directories)" : "hot", -1, i);
    qsort(rows, (size_t)n, sizeof rows[0], Compare_Folders);
    if (n == 0) {
        OutBuf_Puts(out, "<p class=\"muted\">The configuration names no folders.</p>\n");
    } else {
        OutBuf_Puts(out, "<table class=\"folders\">\n<tr><th style=\"width:48%\">Folder</th><th>Role</th>"
                         "<th>Queue</th></tr>\n");
        for (int i = 0; i < n; i++) {
            OutBuf_Puts(out, "<tr><td>");
            /* the folder once for the rows that follow it */
            if (i == 0 || Compare_NoCase(rows[i].dir, rows[i - 1].dir) != 0) Put_Path(out, rows[i].dir);
            OutBuf_Puts(out, "</td><td>");
            Put_Text(out, rows[i].role);
            OutBuf_Puts(out, "</td><td>");
            if (rows[i].queue >= 0) Put_QueueLink(out, rows[i].queue);
            else Put_LbqLink(out, rows[i].lbq);
            OutBuf_Puts(out, "</td></tr>\n");
        }
        OutBuf_Puts(out, "</table>\n");
    }
    free(rows);
}

static void Put_Preferences(OUTBUF *out, char *value)
{
    OutBuf_Puts(out, "<h2 id=\"preferences\">Preferences</h2>\n");
    PREFS_VALUES *prefs = (PREFS_VALUES *)malloc(sizeof(PREFS_VALUES));
    if (prefs == NULL) {
        out->failed = TRUE;
        return;
    }
    Take_LivePrefs(prefs);
    Put_Fields(out, FT_PREFS, prefs, TRUE, value);
    free(prefs);

    OutBuf_Printf(out, "<h2 id=\"users\">Users (%d)</h2>\n", userCount);
    if (userCount == 0) {
        OutBuf_Puts(out, "<p class=\"muted\">No users.</p>\n");
    } else {
        OutBuf_Puts(out, "<ul class=\"users\">\n");
        for (int i = 0; i < userCount; i++) {
            OutBuf_Puts(out, "<li>");
            Put_Text(out, users[i].name);
            OutBuf_Puts(out, "</li>\n");
        }
        OutBuf_Puts(out, "</ul>\n");
    }
}

/* The last entries of the change log (entries are separated by an empty line), oldest first. */
static void Put_Changes(OUTBUF *out)
{
    OutBuf_Puts(out, "<h2 id=\"changes\">Recent changes</h2>\n");
    char path[MAX_PATH + 1];
    size_t len = 0;
    char *text = (homeDir != NULL && Home_Path(path, sizeof path, homeDir, CHANGE_LOG_NAME))
                     ? Read_WholeFile(path, &len)
                     : NULL;
    if (text == NULL) {
        OutBuf_Puts(out, "<p class=\"muted\">No change log.</p>\n");
        return;
    }
    /* where each entry starts and ends */
    size_t starts[CHANGE_ENTRIES], ends[CHANGE_ENTRIES];
    int count = 0, total = 0;
    size_t pos = 0, entryStart = 0;
    BOOL inEntry = FALSE;
    TEXT_LINE line;
    while (Next_TextLine(text, len, &pos, &line)) {
        BOOL blank = TRUE;
        for (size_t i = 0; i < line.len && blank; i++)
            if (line.text[i] != ' ' && line.text[i] != '\t' && line.text[i] != '\r') blank = FALSE;
        size_t lineStart = (size_t)(line.text - text);
        if (!blank && !inEntry) {
            entryStart = lineStart;
            inEntry = TRUE;
        } else if (blank && inEntry) {
            starts[total % CHANGE_ENTRIES] = entryStart;
            ends[total % CHANGE_ENTRIES] = lineStart;
            total++;
            inEntry = FALSE;
        }
    }
    if (inEntry) {
        starts[total % CHANGE_ENTRIES] = entryStart;
        ends[total % CHANGE_ENTRIES] = len;
        total++;
    }
    count = total < CHANGE_ENTRIES ? total : CHANGE_ENTRIES;
    if (count == 0) OutBuf_Puts(out, "<p class=\"muted\">The change log is empty.</p>\n");
    for (int k = total - count; k < total; k++) {
        int slot = k % CHANGE_ENTRIES;
        size_t n = ends[slot] - starts[slot];
        while (n > 0 && (text[starts[slot] + n - 1] == '\n' || text[starts[slot] + n - 1] == '\r')) n--;
        char save = text[starts[slot] + n];
        text[starts[slot] + n] = '\0';
        OutBuf_Puts(out, "<pre>");
        Html_Text(out, text + starts[slot], TRUE);
        OutBuf_Puts(out, "</pre>\n");
        text[starts[slot] + n] = save;
    }
    free(text);
}

BOOL Build_Report(const REPORT_INFO *info, OUTBUF *out)
{
    Trace("Build_Report ( %s )\n", info->home ? info->home : "");
    char *value = (char *)malloc(VALUE_LEN);
    ICON_CACHE_T *icons = (ICON_CACHE_T *)calloc(1, sizeof(ICON_CACHE_T));
    if (value == NULL || icons == NULL) {
        free(value);
        free(icons);
        out->failed = TRUE;
        return FALSE;
    }
    /* the body first: the style sheet before it names the pictures the body shows */
    OUTBUF body;
    OutBuf_Init(&body);
    Put_Head(&body, info);
    Put_Problems(&body);
    Put_OutputQueues(&body, icons, value);
    Put_InputQueues(&body, icons, value);
    Put_Applications(&body, icons, value);
    Put_Folders(&body);
    Put_Preferences(&body, value);
    Put_Changes(&body);
    OutBuf_Puts(&body, "</body>\n</html>\n");
    Put_Start(out, icons);
    if (body.failed) out->failed = TRUE;
    else OutBuf_Append(out, body.data, body.len);
    OutBuf_Free(&body);
    Free_IconCache(icons);
    free(icons);
    free(value);
    Trace("Build_Report: %lu bytes%s\n", (unsigned long)out->len, out->failed ? ", out of memory" : "");
    return !out->failed;
}

BOOL Write_Report(const char *path, const REPORT_INFO *info)
{
    Trace("Write_Report ( %s )\n", path);
    OUTBUF buf;
    OutBuf_Init(&buf);
    if (!Build_Report(info, &buf)) {
        OutBuf_Free(&buf);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    BOOL ok = Write_WholeFile(path, buf.data, buf.len, FALSE);
    DWORD err = GetLastError();
    OutBuf_Free(&buf);
    Trace("Write_Report: %s\n", ok ? "written" : "not written");
    SetLastError(err);
    return ok;
}
