/* The range of every number the configuration holds. The file readers hold what they read to
   these ranges, the dialogs refuse a typed number outside them (and set their spin controls from
   them), and the bad-input tests check every loaded value against them: one table, so the three
   can never disagree. */
#pragma once
#include "common/range.h"

/* ---- output queues ---- */
inline constexpr FIELD_RANGE LIMIT_PRIORITY        = { 1, 7 };        /* initial job priority */
inline constexpr FIELD_RANGE LIMIT_COPIES          = { 1, 10000 };    /* copies per job */
inline constexpr FIELD_RANGE LIMIT_KEEP_SECONDS    = { 0, 2678400 };  /* a finished job stays, up to 31 days */
inline constexpr FIELD_RANGE LIMIT_COUNT_DOWN      = { 1, 10000 };    /* the "Count jobs down" step */
inline constexpr FIELD_RANGE LIMIT_JOBS_AT_A_TIME  = { 1, 16 };       /* jobs processed together */
inline constexpr FIELD_RANGE LIMIT_TIMEOUT_SECONDS = { 0, 86400 };    /* multi-job time-out, up to a day */
inline constexpr FIELD_RANGE LIMIT_DONE_FILE_LIMIT = { 1, 30000 };    /* files kept in the done directory */
inline constexpr FIELD_RANGE LIMIT_OPEN_FILE_POLICY = { 0, 2 };
inline constexpr FIELD_RANGE LIMIT_LEGACY_COMPAT   = { 0, 2 };

/* ---- input queues: the load balancer's settings ---- */
inline constexpr FIELD_RANGE LIMIT_TIME_PRIORITY   = { 1, 100 };      /* TIME_PRIORITY_VALUE */
inline constexpr FIELD_RANGE LIMIT_PURGE_MINUTES   = { 1, 1439 };     /* FILE_GROUP_PURGE_MINUTES */
inline constexpr FIELD_RANGE LIMIT_SPLIT_SIZE      = { 0, 1000 };     /* MINIMUM_COPIES/PAGES_SPLIT_SIZE */

/* ---- spooler preferences ---- */
inline constexpr FIELD_RANGE LIMIT_SETTLE_TIME     = { 0, 1200 };     /* SPOOLER_FILE_SETTLE_TIME, seconds */
inline constexpr FIELD_RANGE LIMIT_MAX_LOGSIZE     = { 10, 1000000 }; /* SPOOLER_MAX_LOGSIZE, lines */
inline constexpr FIELD_RANGE LIMIT_MIN_LOGSIZE     = { 1, 999999 };   /* SPOOLER_MIN_LOGSIZE: below the maximum */
inline constexpr FIELD_RANGE LIMIT_HIST_RECORDS    = { 1, 1000000 };  /* SPOOLER_MAX_HIST_RECORDS */
inline constexpr FIELD_RANGE LIMIT_SETTLE_TIME_TYPED = { 1, 1200 };   /* what General Preferences accepts: at least a second */
inline constexpr FIELD_RANGE LIMIT_COMMS_PORT      = { 0, 65535 };    /* COMMS_SERVER_PORT typed in General Preferences */
