/* The command-line parameter file "CommandLine.cfg" in the home directory: parameters that the
   operator picks into a process's command text on the Processes page. The file is read in tokens
   (a token ends at "::" or at the end of a line; a single ":" belongs to the token); a token that
   begins with "-" holds parameters separated by commas.

   The file is kept as a table only: the page that shows the parameters fills its list from
   paramTable after each Read (line i of the list shows slot i of the table). */
#pragma once
#include <windows.h>
#include "common/text.h"

#define PARAM_FILE  "CommandLine.cfg"
#define PARAM_SLOTS 10

/* The parameters of the last Read, in slot order; unused slots are empty. */
extern char paramTable[PARAM_SLOTS][TEXT_LEN];
extern int  paramCount;

/* Forgets the watched file and empties the table (a page that opens starts from here). */
void Reset_ParamFile(void);

/* Reads the home directory's parameter file (TRUE), or, when it is missing, tells the operator
   how to fill it (stop box), creates it empty and watches it, leaving the table as it was
   (FALSE). */
BOOL Prepare_ParamFile(void);

/* Makes path the watched file, empties the table, then fills it from the file: each
   parameter token is cut at its commas from the end ("-a,-b,-c" gives -c, -b, -a). Slots fill
   across tokens in reading order; parameters past the tenth slot, and parameters longer than
   260 characters, are left out (traced). FALSE when the file could not be read. */
BOOL Read_ParamFile(const char *path);

/* Re-reads the watched file when its last-write time differs from that of the last Read (also
   when it has appeared or disappeared since). TRUE when it re-read the file (the table may have
   changed). */
BOOL Watch_ParamFile(void);

/* Opens path (created empty when missing) in the program registered for ".txt" files in the
   registry's classes root. The program is not waited for. TRUE when it was started; otherwise
   the operator is told why and FALSE. */
BOOL Open_ParamFile(const char *path);

/* The data of a registry value found by a path below root: the components before the last are
   subkeys, the last names the value (compared ignoring case; empty = the key's default value).
   Only text values; FALSE when a key or the value is missing, or the text does not fit in out. */
BOOL Get_RegistryValue(HKEY root, const char *path, char *out, size_t cap);

/* Splits a registered open command into the program (its first word, or the text in its leading
   double quotes, with environment strings expanded) and the arguments for file: unless they hold
   "%1" in double quotes they are put in double quotes as a whole, then every %1 becomes file.
   Arguments without any %1 get the quoted file after them, so the file always reaches the
   program. FALSE when there is no program or a result does not fit. */
BOOL Build_TextCommand(const char *command, const char *file, char *program, size_t progCap, char *args,
                       size_t argsCap);
