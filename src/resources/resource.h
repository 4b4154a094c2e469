/* Resource identifiers. Plain numbers: windres and the compiler both read this file.
   The numbers are fixed by the dialogs and icons the program has always used; never reuse one. */
#ifndef EDITOR_RESOURCE_H
#define EDITOR_RESOURCE_H

/* Icons */
#define IDI_EDITOR            101   /* the editor's own icon (profile fallback) */
#define IDI_PROGRAM           110   /* the program icon, also the default application icon */
#define IDI_VIEWER            115   /* the viewer's icon (profile fallback) */
#define IDI_LOADBAL           142   /* the load balancer's icon (profile fallback) */
#define IDI_MOVE_JOBS         150   /* completed jobs are moved to a directory */
#define IDI_DELETE_JOBS       151   /* completed jobs are deleted */
#define IDI_RECYCLE_JOBS      153   /* completed jobs go to the recycle bin */
#define IDI_SERIES            163   /* processes run in series */
#define IDI_PARALLEL          164   /* processes run in parallel */
#define IDI_NO_PROCESSES      179   /* the queue runs no processes */

/* Dialogs */
#define IDD_MAIN              173   /* "Queue Configuration" */
#define   IDC_MAIN_TARGETS     1055
#define   IDC_MAIN_LBQS        1057
#define   IDC_MAIN_EDIT        1111
#define   IDC_MAIN_ADD         1112
#define   IDC_MAIN_DELETE      1113
#define   IDC_MAIN_LBQ_EDIT    1114
#define   IDC_MAIN_LBQ_ADD     1115
#define   IDC_MAIN_LBQ_DELETE  1116
#define   IDC_MAIN_COPY        1117
#define   IDC_MAIN_PREFS       1122
#define   IDC_MAIN_ADMIN       1123
#define   IDC_MAIN_UP          1125
#define   IDC_MAIN_DOWN        1126
#define   IDC_MAIN_OK          1014

#define IDC_STATIC            -1

#endif
