/* The program's outer life: command line, modes, start-up, loading, storing and shut-down. */
#pragma once
#include <windows.h>

#define EDITOR_CLASS      "ConfigDlgClass{ECB00F06-6A37-4bce-AA7B-9120BB152E4F}"
#define EDITOR_OLD_CLASS  "ConfigDlgClass"
#define EDIT_PARENT_CLASS "EditParentClass{7C9438B6-3FB3-4aa9-ADB8-773ADD4D6D42}"
/* Taken first thing by an interactive or silent start, so that two editors started at the same
   moment cannot both miss each other's window. */
#define EDITOR_MUTEX      "EditorRunning{ECB00F06-6A37-4bce-AA7B-9120BB152E4F}"

/* The whole program: what WinMain runs. Returns the exit code. */
int  Editor_Main(HINSTANCE instance, const char *cmdLine);
/* 1 to go on, 0 to stop (the operator has been told). */
int  Parse_CommandLine(const char *cmdLine);
/* The main window, or NULL when the program is to stop (also after a completed silent run). */
HWND InitApp(HINSTANCE instance);
void CloseApp(void);
int  Register_Classes(HINSTANCE instance);
/* Brings an already running editor to the front; 1 when there was one. */
int  Find_RunningEditor(void);
/* The save sequence of the silent mode (Save_Sequence); 1 when stored, 0 when a check refused
   or a file could not be stored. */
int  Silent_Save(int silent);
