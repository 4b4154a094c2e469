/* The pages of the queue editor, named where the configuration needs them: a field of an output
   queue is edited on one of them, and a command that points at a field (a finding, a difference,
   a reference to a queue) opens the editor on that page. */
#pragma once

typedef enum {
    QPAGE_NONE = 0,          /* no page: the overview alone */
    QPAGE_OVERVIEW,          /* the overview itself: the name and the icon */
    QPAGE_INPUTS,
    QPAGE_THUMBDIR,
    QPAGE_JOBSETTINGS,
    QPAGE_MULTIJOB,          /* opened through Job Settings */
    QPAGE_PROCESSES,
    QPAGE_INSTRUCTIONS,
    QPAGE_CLEANUP,
    QPAGE_IDENTITY,
    /* the other editors, one page each, for the fields of the other records */
    QPAGE_INPUTQUEUE,        /* the input queue editor */
    QPAGE_PREFERENCES,       /* General Preferences */
    QPAGE_FILENAMING,        /* the job-name masks, opened through General Preferences */
    QPAGE_ADMINISTRATION,    /* the users and the log-in switch */
} QUEUE_PAGE;
