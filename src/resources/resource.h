/* Resource identifiers. Plain numbers: windres and the compiler both read this file.
   The numbers are fixed by the dialogs and icons the program has always used; never reuse one. */
#ifndef EDITOR_RESOURCE_H
#define EDITOR_RESOURCE_H

/* Icons */
#define IDI_EDITOR            101   /* the editor's own icon (profile fallback) */
#define IDI_PROGRAM           110   /* the program icon, also the default application icon */
#define IDI_VIEWER            115   /* the viewer's icon (profile fallback) */
#define IDI_LOADBAL           142   /* the load balancer's icon (profile fallback), shown for input queues */
#define IDI_MOVE_JOBS         150   /* completed jobs are moved to a directory; the default queue icon */
#define IDI_DELETE_JOBS       151   /* completed jobs are deleted */
#define IDI_RECYCLE_JOBS      153   /* completed jobs go to the recycle bin */
#define IDI_PARAM_FILE        157   /* the queue's process instructions are a parameter file */
#define IDI_PROCESSES         160   /* processes of a queue whose process list is still empty */
#define IDI_PARAMETERS        161   /* the queue's process instructions are parameters */
#define IDI_IDENTITY          162   /* resource management: the queue's identity */
#define IDI_SERIES            163   /* processes run in series */
#define IDI_PARALLEL          164   /* processes run in parallel */
#define IDI_JOB_SETTINGS      170   /* job settings of a queue */
#define IDI_TIMEOUT           175   /* a multi-job time-out */
#define IDI_PROCESS_ANYWAY    176   /* waiting jobs are processed anyway */
#define IDI_NO_PROCESSES      179   /* the queue runs no processes */

/* Bitmaps: banners of 240 x 40 pixels */
#define IDB_QUEUE_BANNER      119   /* banner of the input-queue editor (also loaded by the clean-up page) */
#define IDB_CLEANUP_BANNER    120   /* loaded by the clean-up page */
#define IDB_BALANCE_BANNER    143   /* banner of the input-queue editor */

/* Dialogs. Each dialog has a section of its own below: its template number, then its controls,
   named with the dialog's tag (IDC_MAIN_..., IDC_OV_...). The control numbers are the ones the
   dialogs have always had, so they repeat across dialogs but never within one. */
#define IDD_MAIN              173   /* "Queue Configuration" */
#define IDD_GLOBALS           135   /* "General Preferences" */
#define IDD_JOBNAMES          171   /* "File Naming Convention" */
#define IDD_ADMIN             182   /* user administration */
#define IDD_USER              183   /* one user */
#define IDD_OVERVIEW          201   /* the queue editor: "Overview" */
#define IDD_INPUTS            202   /* "Inputs" */
#define IDD_IDENTITY          203   /* "Identity" */
#define IDD_CHOICES           204   /* "Queue / App Choices" */
#define IDD_PARAMFILE         205   /* "Parameter File" */
#define IDD_JOBSETTINGS       206   /* "Job Settings" */
#define IDD_THUMBDIR          207   /* "Thumbnail Image Directory" */
#define IDD_MULTIJOB          208   /* "Multi-Job Settings" */
#define IDD_PROCESSES         209   /* "Processes" */
#define IDD_CLEANUP           210   /* "Clean-Up" */
#define IDD_RTI               211   /* "Process Instructions" */
#define IDD_LBQEDIT           212   /* the input queue editor */
#define IDD_ROWLIST           220   /* a list of rows: findings, changes, where a queue is used */
#define IDD_IMPORT            221   /* "Import Queues": what an import will do, before it does it */
#define IDD_RESTORE           222   /* the backups and the difference of one; restore it */
#define   IDC_RESTORE_LABEL      3300
#define   IDC_RESTORE_LIST       3301
#define   IDC_RESTORE_DIFF_LABEL 3302
#define   IDC_RESTORE_DIFF       3303
#define   IDC_RESTORE_DO         3304  /* "&Restore" */
#define IDD_USEDBY_APP        229   /* "Used By": the application path whose queues are listed */

/* ---- main dialog (MAIN) ---- */
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
#define   IDC_MAIN_LBQ_LABEL   1127  /* the labels carry the lists' mnemonics */
#define   IDC_MAIN_TARGET_LABEL 1128
#define   IDC_MAIN_GRIP        1129  /* the size grip */
#define   IDC_MAIN_FIND_LABEL  1130  /* "&Find:" */
#define   IDC_MAIN_FIND        1131  /* the find field (Ctrl+F; Esc empties it) */
#define   IDC_MAIN_FIND_STATUS 1132  /* what the find field found */
#define   IDC_MAIN_USEDBY      1133  /* "Used &by..." */
#define   IDC_MAIN_UNDO        1134  /* "Undo" (Ctrl+Z) */
#define   IDC_MAIN_REDO        1135  /* "Redo" (Ctrl+Y) */
#define   IDC_MAIN_CHECK       1136  /* "C&heck..." */
#define   IDC_MAIN_CHANGES     1137  /* "Chan&ges..." */
#define   IDC_MAIN_RESTORE     1138  /* "Re&store..." */
#define   IDC_MAIN_REPORT      1139  /* "&Report..." */
#define   IDC_MAIN_EXPORT      1140  /* "E&xport..." */
#define   IDC_MAIN_IMPORT      1141  /* "Import..." (Ctrl+I) */
/* ---- end of main dialog ---- */

/* ---- queue editor frame (OV), Inputs (IN), Identity (ID), queue chooser (CH), parameter file (PF) ---- */
/* The overview: the name, then per section its "Change..." button, its summary and the hidden
   placeholder where its icon is drawn. */
#define   IDC_OV_OK            1014
#define   IDC_OV_NAME          1016
#define   IDC_OV_INPUTS        1172
#define   IDC_OV_INPUTS_TEXT   1177
#define   IDC_OV_INPUTS_ICON   1182
#define   IDC_OV_THUMBS        1188
#define   IDC_OV_THUMBS_TEXT   1190
#define   IDC_OV_THUMBS_ICON   1189
#define   IDC_OV_JOBS          1173
#define   IDC_OV_JOBS_TEXT     1178
#define   IDC_OV_JOBS_ICON     1183
#define   IDC_OV_PROCS         1174
#define   IDC_OV_PROCS_TEXT    1179
#define   IDC_OV_PROCS_ICON    1018
#define   IDC_OV_RTI           1175
#define   IDC_OV_RTI_TEXT      1180
#define   IDC_OV_RTI_ICON      1184
#define   IDC_OV_CLEANUP       1122
#define   IDC_OV_CLEANUP_TEXT  1166
#define   IDC_OV_CLEANUP_ICON  1020
#define   IDC_OV_IDENTITY      1176
#define   IDC_OV_IDENTITY_TEXT 1181
#define   IDC_OV_IDENTITY_ICON 1185
/* Inputs */
#define   IDC_IN_BROWSE        1017
#define   IDC_IN_CHANGE_ICON   1022
#define   IDC_IN_CLEAR_ICON    1023
#define   IDC_IN_SUBDIRS       1101
#define   IDC_IN_PATH          1132
#define   IDC_IN_ICON          1182  /* placeholder: where the queue icon is drawn */
/* Identity */
#define   IDC_ID_SWITCH        1123
#define   IDC_ID_MUTEX         1134
#define   IDC_ID_IDENTITY      1135
#define   IDC_ID_PICTURE       1185
/* the queue chooser */
#define   IDC_CH_LIST          1055  /* placeholder of the queue list, which takes its number */
#define   IDC_CH_LABEL         1056
#define   IDC_CH_NEW           1058
/* the parameter file */
#define   IDC_PF_TEXT          1140
/* ---- end of queue editor frame ---- */

/* ---- Job Settings (JS), Thumbnail Image Directory (TD), Multi-Job Settings (MJ) ---- */
/* Job Settings */
#define   IDC_JS_BROWSE        8     /* "Browse..." for the excluded-files directory */
#define   IDC_JS_COPIES        1026
#define   IDC_JS_GROUPING      1123
#define   IDC_JS_THUMBS_ALL    1124  /* thumbnails for all jobs as they arrive */
#define   IDC_JS_PRIORITY      1134
#define   IDC_JS_STATE         1135
#define   IDC_JS_COPIES_SPIN   1145
#define   IDC_JS_HIDDEN        1150
#define   IDC_JS_DELETE        1151
#define   IDC_JS_EXTENSIONS    1152
#define   IDC_JS_COUNTDOWN     1187
#define   IDC_JS_COUNTDOWN_SPIN 1188
#define   IDC_JS_MULTI_TEXT    1189  /* the multi-job summary */
#define   IDC_JS_MULTI         1190  /* "Change..." the multi-job settings */
#define   IDC_JS_OPEN_ALWAYS   1209
#define   IDC_JS_OPEN_WRITE    1210
#define   IDC_JS_OPEN_READ     1211
#define   IDC_JS_THUMBS_ACTIVE 1212  /* a thumbnail only while the job is active */
#define   IDC_JS_INCLUDE       1213
#define   IDC_JS_EXCLUDE       1214
#define   IDC_JS_EXCLUDE_DIR   1217
/* Thumbnail Image Directory */
#define   IDC_TD_PATH          1124
#define   IDC_TD_BROWSE        1125
/* Multi-Job Settings */
#define   IDC_MJ_JOBS          1189
#define   IDC_MJ_JOBS_SPIN     1190
#define   IDC_MJ_TIMEOUT       1193  /* "Time-out when there are not enough jobs..." */
#define   IDC_MJ_ANYWAY        1195
#define   IDC_MJ_MOVE          1196
#define   IDC_MJ_PASS          1197
#define   IDC_MJ_RECYCLE       1198
#define   IDC_MJ_DELETE        1199
#define   IDC_MJ_BROWSE        1200
#define   IDC_MJ_ACTION_ICON   1201  /* placeholder: where the action's picture is drawn */
#define   IDC_MJ_NEVER         1202
#define   IDC_MJ_MINUTES       1203
#define   IDC_MJ_MINUTES_SPIN  1204
#define   IDC_MJ_SECONDS       1205
#define   IDC_MJ_SECONDS_SPIN  1206
#define   IDC_MJ_FORCE         1207
#define   IDC_MJ_TARGET        1208  /* a directory or a queue's name */
#define   IDC_MJ_TIMEOUT_ICON  1209  /* placeholder: where the time-out picture is drawn */
/* ---- end of Job Settings ---- */

/* ---- Processes (PR) ---- */
#define   IDC_PR_POSITION      1001  /* "Process 2 of 3": which process the page shows */
#define   IDC_PR_ICON          1018  /* placeholder: where the process icon is drawn */
#define   IDC_PR_BROWSE        1019  /* "Browse": the program of the shown process */
#define   IDC_PR_LIST_ICON     1020  /* placeholder: where the icon of the whole list is drawn */
#define   IDC_PR_ALONE         1021  /* "When processing jobs in this queue make other queues stop" */
#define   IDC_PR_NEXT          1045
#define   IDC_PR_PREVIOUS      1046
#define   IDC_PR_ADD           1088
#define   IDC_PR_REMOVE        1089
#define   IDC_PR_INSERT        1090
#define   IDC_PR_LAUNCH_BROWSE 1122
#define   IDC_PR_MONITOR       1123  /* "This queue runs monitor processes" */
#define   IDC_PR_COMPAT        1124  /* "This process is compatible with Ostra v3.0 " */
#define   IDC_PR_RESIDENT      1125  /* "This process is a Resident Process" */
#define   IDC_PR_NON_NATIVE    1126  /* "This process is not written for Ostra" */
#define   IDC_PR_HOLD_ALL      1127  /* "Hold All Jobs" */
#define   IDC_PR_PRIORITY      1135  /* "Runtime priority:" */
#define   IDC_PR_SHOW_MODE     1136  /* "Run this process as" */
#define   IDC_PR_PARAMS        1149  /* the parameters of the parameter file */
#define   IDC_PR_NO_PROCESSES  1150  /* "This queue runs no processes" */
#define   IDC_PR_LAUNCH_PATH   1152  /* "Launch Application Path" */
#define   IDC_PR_COMMAND       1186  /* "Path:": the command text of the shown process */
#define   IDC_PR_PARALLEL      1192  /* "in parallel" */
#define   IDC_PR_SERIES        1193  /* "in series" */
#define   IDC_PR_EDIT_PARAMS   1236  /* "Edit Command Line Parameter File" */
/* ---- end of Processes ---- */

/* ---- Clean-Up (CU), Process Instructions (RTI) ---- */
/* Clean-Up */
#define   IDC_CU_OK            1014  /* its OK button (not IDOK) */
#define   IDC_CU_ICON          1020  /* placeholder: where the action's icon is drawn */
#define   IDC_CU_MINUTES       1027
#define   IDC_CU_DAYS          1028
#define   IDC_CU_RECYCLE       1029  /* "Send the job to the recycle bin" */
#define   IDC_CU_MOVE          1030  /* "Send the job to another directory (specified below)" */
#define   IDC_CU_NOTHING       1031  /* "Don't do anything further with this job" */
#define   IDC_CU_PASS          1032  /* "Pass job to another queue (specified below)" */
#define   IDC_CU_BROWSE        1033
#define   IDC_CU_DELETE        1034  /* "Delete the job" */
#define   IDC_CU_LIMIT_COUNT   1035
#define   IDC_CU_ALERT         1099
#define   IDC_CU_SUSPEND       1100
#define   IDC_CU_BEEP          1123
#define   IDC_CU_TARGET        1136  /* the done directory or the next queue's name */
#define   IDC_CU_MINUTES_SPIN  1146
#define   IDC_CU_DAYS_SPIN     1147
#define   IDC_CU_LIMIT_SPIN    1148
#define   IDC_CU_SECONDS_SPIN  1149
#define   IDC_CU_OVERWRITE     1150
#define   IDC_CU_HOURS_SPIN    1151
#define   IDC_CU_LIMIT         1152
#define   IDC_CU_TARGET_GROUP  1162  /* its caption names what IDC_CU_TARGET holds */
#define   IDC_CU_BANNER        1260  /* the banner picture (the page loads and frees it) */
#define   IDC_CU_STAY_LABEL    1261  /* labels that grey out with their fields */
#define   IDC_CU_DAYS_LABEL    1262
#define   IDC_CU_HOURS_LABEL   1263
#define   IDC_CU_MINUTES_LABEL 1264
#define   IDC_CU_SECONDS_LABEL 1265
#define   IDC_CU_LIMIT_LABEL   1266
#define   IDC_CU_SECONDS       1165
#define   IDC_CU_HOURS         1166
/* Process Instructions */
#define   IDC_RTI_BROWSE       1038
#define   IDC_RTI_IS_FILE      1060
#define   IDC_RTI_SELECT       1061
#define   IDC_RTI_EDIT         1062
#define   IDC_RTI_UTILITY      1124  /* the configuration utility */
#define   IDC_RTI_PARAMS       1130
#define   IDC_RTI_NOT_FILE     1160
#define   IDC_RTI_PICTURE      1184
#define   IDC_RTI_EDITOR_GROUP 1233  /* "Parameter File Editor" */
#define   IDC_RTI_UTILITY_LABEL 1267
#define   IDT_RTI_UTILITY      101   /* the timer that watches a running utility */
/* ---- end of Clean-Up ---- */

/* ---- input queue editor (LB) ---- */
#define   IDC_LB_BANNER_QUEUE  1012  /* hidden: where the queue banner is drawn */
#define   IDC_LB_BANNER_LB     1013  /* hidden: where the balancing banner is drawn */
#define   IDC_LB_OK            1014
#define   IDC_LB_NAME          1016  /* "Queue Name:" */
#define   IDC_LB_BROWSE        1017  /* "Browse..." for the hot directory */
#define   IDC_LB_COPIES        1026  /* "Copies:" */
#define   IDC_LB_SPLIT         1028  /* "Copy split size:" */
#define   IDC_LB_OUTPUTS       1055  /* placeholder of the outputs list */
#define   IDC_LB_SUBDIRS       1101  /* "Include subdirectories" */
#define   IDC_LB_GROUP_ID      1103  /* "Job group identification rule:" */
#define   IDC_LB_GROUP_RULE    1104  /* "Try to output groups:" */
#define   IDC_LB_REASSIGN      1105  /* "Job reassignment rule:" */
#define   IDC_LB_TIME_PRIORITY 1106  /* slider "Job waiting time" ... "Job priority" */
#define   IDC_LB_ENABLED       1107  /* "Balancing enabled" */
#define   IDC_LB_ADD           1110  /* "Add..." an output queue */
#define   IDC_LB_REMOVE        1111  /* "Remove" the selected output queues */
#define   IDC_LB_ICON          1121  /* hidden: where the input queue icon is drawn */
#define   IDC_LB_PURGE_HOURS   1124  /* "Ignore jobs older than" ... "Hours" */
#define   IDC_LB_PATH          1132  /* "Path:" of the hot directory */
#define   IDC_LB_PRIORITY      1134  /* "Priority:" */
#define   IDC_LB_COPIES_SPIN   1145
#define   IDC_LB_SPLIT_SPIN    1147
#define   IDC_LB_PURGE_MINUTES 1152  /* ... "Minutes when identifying job groups" */
/* ---- end of input queue editor ---- */

/* ---- General Preferences (GP), File Naming Convention (JN), administration (AD), user (US) ---- */
#define IDI_GP_FILE_NAMES     186   /* separations of one job: how file names are interpreted */
#define   IDC_GP_MAXLOG        1029  /* "Truncate whenever file gets to:" */
#define   IDC_GP_MINLOG        1028  /* "When truncating, cut log file back to:" */
#define   IDC_GP_MASKS_CHANGE  1122  /* "Change..." the job-name masks */
#define   IDC_GP_HONOUR        1123  /* "Honour subdirectories when moving jobs, ..." */
#define   IDC_GP_PLATE_APP     1124  /* identifier search application "Path:" */
#define   IDC_GP_BROWSE        1125  /* "Browse" for it */
#define   IDC_GP_MAILTO        1126  /* "Mail to:" */
#define   IDC_GP_MINLOG_SPIN   1147
#define   IDC_GP_MAXLOG_SPIN   1148
#define   IDC_GP_PORT          1152  /* "Port number of comms server:" */
#define   IDC_GP_SETTLE        1163  /* settle time, seconds */
#define   IDC_GP_SETTLE_SPIN   1164
#define   IDC_GP_MASKS_TEXT    1190  /* what the masks in force are */
#define   IDC_GP_MASKS_ICON    1191
#define   IDC_JN_HELP          3
#define   IDC_JN_GROUPMASK     1124  /* mask for the job's name */
#define   IDC_JN_SEPIDMASK     1125  /* mask for the colour letter */
#define   IDC_JN_PRESETS       1134  /* the RIP presets */
#define   IDC_JN_AUTOMATIC     1151  /* "My separation files are named automatically by:" */
#define   IDC_JN_MANUAL        1189  /* "I want to specify the naming convention my RIP uses:" */
#define   IDC_AD_ADD           1122
#define   IDC_AD_EDIT          1123
#define   IDC_AD_DELETE        1124
#define   IDC_AD_USERS         1149  /* the user names */
#define   IDC_AD_LOGIN         1150  /* "Require Ostra user login" */
#define   IDC_US_NAME          1124
#define   IDC_US_PASSWORD      1125
#define   IDC_US_CONFIRM       1126
/* ---- end of General Preferences ---- */

/* ---- the list of rows (RL) ---- */
#define   IDC_RL_LABEL         1001  /* the rows' own label, with its mnemonic */
#define   IDC_RL_LIST          1002
#define   IDC_RL_SORT_LABEL    1003  /* "Sort &by:" */
#define   IDC_RL_SORT          1004
#define   IDC_RL_COPY          1005  /* "&Copy" */
#define   IDC_RL_GRIP          1006  /* the size grip; "&Open" is IDOK, "Close" IDCANCEL */

/* ---- the import preview (IMPORT) ---- */
#define   IDC_IMPORT_FILE        3500  /* the file being imported */
#define   IDC_IMPORT_QUEUES_LABEL 3501 /* "&Queues:" */
#define   IDC_IMPORT_QUEUES      3502
#define   IDC_IMPORT_NAME_LABEL  3503  /* "&New name:" */
#define   IDC_IMPORT_NAME        3504
#define   IDC_IMPORT_APPS_LABEL  3505  /* "&Applications:" */
#define   IDC_IMPORT_APPS        3506
#define   IDC_IMPORT_NOTES_LABEL 3507  /* "&Warnings:" */
#define   IDC_IMPORT_NOTES       3508
#define   IDC_IMPORT_FROM_LABEL  3509  /* "Replace the path &root:" */
#define   IDC_IMPORT_FROM        3510
#define   IDC_IMPORT_TO_LABEL    3511  /* "&by:" */
#define   IDC_IMPORT_TO          3512

/* ---- where an application is used (UA) ---- */
#define   IDC_UA_PATH_LABEL    3400  /* "&Application path:" */
#define   IDC_UA_PATH          3401  /* typed, or chosen from the paths the queues run */

/* The file and folder choosers: the classic open-file dialog with our own templates. The
   control numbers are the ones that dialog looks for, so both templates share them. */
#define IDD_CHOOSE_DIR        104   /* "Choose A Directory" */
#define IDD_OPEN_FILE         107   /* "Open" */
#define   IDC_FD_NETWORK       1037  /* "Net&work..." */
#define   IDC_FD_PATH          1088  /* the folder being shown */
#define   IDC_FD_TYPES_LABEL   1089
#define   IDC_FD_NAME_LABEL    1090
#define   IDC_FD_DRIVES_LABEL  1091
#define   IDC_FD_FILES         1120  /* file list */
#define   IDC_FD_FOLDERS       1121  /* folder list */
#define   IDC_FD_TYPES         1136  /* "List files of type:" */
#define   IDC_FD_DRIVES        1137  /* "Drives:" */
#define   IDC_FD_NAME          1152  /* "File name:" / "New Sub-directories:" */

#define IDC_STATIC            -1

#endif
