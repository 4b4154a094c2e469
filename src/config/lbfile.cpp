#include "config/lbfile.h"

BOOL Get_LBConfig(void) { return FALSE; }     /* not built yet */
BOOL Store_LBConfig(void) { return TRUE; }
void Init_LBConfig(LBQ *) {}
int  Count_LBQOutputs(const int32_t *outputs)
{
    int n = 0;
    for (int i = 0; i < MAX_LBQ_OUTPUTS; i++) n += (outputs[i] == 1);
    return n;
}
