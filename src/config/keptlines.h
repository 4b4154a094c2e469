/* Lines of a configuration file that its reader could not take (a damaged line, or one past the
   arrays' capacity), kept from there to the end of the file and written back unchanged after the
   lines the writer produces, so that nothing the operator cannot see is lost at the next save.
   Numbers inside them that name application entries follow the numbering of the applications
   file being written, which the writer hands in. Shared by the queues file and the applications
   file. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "common/text.h"
#include "config/appnumbers.h"

/* An entry number inside the kept text: where its digits stand and the entry it named at load. */
typedef struct {
    size_t  offset;
    size_t  len;
    int32_t entry;
} KEPT_NUMBER;

typedef struct {
    char        *text;        /* line feeds only (the writer turns them back into CR LF); NULL: none */
    size_t       len;
    int          lines;
    KEPT_NUMBER *numbers;
    int          count;
} KEPT_LINES;

/* What the last load kept: the queues file's lines, whose numbers are the application entries the
   kept queues run, and the applications file's lines, whose numbers are the members of kept
   group lines. The readers fill them; the renumbering and the writers read them. */
extern KEPT_LINES keptQueueLines;
extern KEPT_LINES keptAppLines;

void Kept_Clear(KEPT_LINES *k);
/* Keeps text[0..len), from line lineNo of the file to its end, and tells the operator once (not in
   the update mode) that reading of fileWords ("queue data", "application data") path stopped there
   for why; loadedWhat says what was loaded before it. A rest of blank lines is nothing to keep.
   TRUE when something was kept. */
BOOL Kept_Keep(KEPT_LINES *k, const char *text, size_t len, const char *fileWords, const char *loadedWhat,
               const char *path, int lineNo, const char *why);
/* Notes an entry number whose digits stand at at[0..len) inside k->text. FALSE without memory
   (the number then stays as it was). */
BOOL Kept_AddNumber(KEPT_LINES *k, const char *at, size_t len, int32_t entry);
/* Appends the kept text with each noted number replaced by the entry's number in the
   applications file being written (numbers). */
void Kept_Write(OUTBUF *b, const KEPT_LINES *k, const APP_NUMBERING *numbers);

/* A file of one record a line, read until a damaged line: what Read_KeptRecords needs to know. */
typedef struct {
    int         maxRecords;     /* records the arrays hold: the line after the last is not read */
    const char *fullWhy;        /* why reading stops there ("the editor holds no more than %d ..."), with maxRecords */
    const char *emptyWhy;       /* why an empty line stops reading ("an empty line ends the list of ...") */
    size_t      maxLineLen;     /* a longer line is damaged ("the line is too long"); 0: any length */
    const char *fileWords;      /* for Kept_Keep: "queue data", "application data" */
    const char *loadedWhat;     /* for Kept_Keep: what was loaded before the line that stopped reading */
    const char *recordWords;    /* for the finding of a stop: "queues", "applications" */
    /* Takes one line (its own text, without its line end) as record number index. FALSE, with
       why set, when the line is damaged or its record does not fit: nothing is taken then. */
    BOOL (*read)(const char *line, int index, char *why, size_t whyCap, void *context);
    void       *context;
} RECORD_FILE;

/* Reads text[0..len) of path one line a record, from the first line on, until a line that is
   empty, holds a zero byte, is too long, lies past the records the arrays hold or that read
   refuses; from that line to the end the text is kept in *kept (Kept_Keep, which tells the
   operator). Each line is the reader's line for the findings (Set_ReadLine), and a stop before
   anything but blank lines is a finding of its own. Returns the number of records read. */
int Read_KeptRecords(const char *text, size_t len, const char *path, const RECORD_FILE *f, KEPT_LINES *kept);

/* The printable beginning of a line (up to its line end) for a message. */
void Line_Snippet(char *out, size_t cap, const char *line, size_t len);
