/* The queues file "Queues.cfg" (older name "Spooler.lkp"): input queues first, then output queues. */
#pragma once
#include <windows.h>

/* TRUE when a file was read (even an empty one); sets targetCount and lbqCount. */
BOOL Get_TargetData(void);
/* Writes the queues file; failures are reported to the operator. */
void Store_TargetData(void);
