/* The spooler's run-time files ("queue\engine.q", "state\queues.sta") and the directories
   that the configuration names. */
#pragma once
#include <windows.h>

int  Snapshot_Queues(void);
void Free_Snapshot(void);
void Update_QueueFiles(void);
void Create_QueueDirs(int silent);
