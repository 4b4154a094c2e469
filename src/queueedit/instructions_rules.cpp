#include "queueedit/instructions_rules.h"
#include "common/text.h"
#include <string.h>

BOOL Get_AssociationKey(const Target *t, char *key, size_t cap)
{
    if (cap > 0) key[0] = '\0';
    int ref = t->processRef;
    if (t->noProcesses || ref == NO_PROCESSES || ref < 0) return FALSE;
    int app = ref;
    if (t->usesGroup) {
        if (ref >= MAX_APPGROUPS || appGroups[ref].free || appGroups[ref].count < 1) return FALSE;
        app = appGroups[ref].members[0];
    }
    if (app < 0 || app >= MAX_APPS || apps[app].free || apps[app].path[0] == '\0') return FALSE;
    return Copy_Text(key, cap, apps[app].path);
}

/* text, in double quotes when it holds a blank and no double quote */
static BOOL Append_Quoted(char *out, size_t cap, const char *text)
{
    BOOL quote = strchr(text, ' ') != NULL && strchr(text, '"') == NULL;
    BOOL ok = TRUE;
    if (quote) ok = Append_Text(out, cap, "\"") && ok;
    ok = Append_Text(out, cap, text) && ok;
    if (quote) ok = Append_Text(out, cap, "\"") && ok;
    return ok;
}

BOOL Build_UtilityCommand(const char *utility, const char *params, char *out, size_t cap)
{
    if (cap == 0) return FALSE;
    out[0] = '\0';
    BOOL ok = Append_Quoted(out, cap, utility);
    ok = Append_Text(out, cap, " ") && ok;
    ok = Append_Quoted(out, cap, params) && ok;
    return ok;
}
