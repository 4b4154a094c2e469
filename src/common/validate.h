/* Checking a number or a short text typed into an edit field when the operator presses OK. */
#pragma once
#include <windows.h>

/* The kinds of field Validate_Field reads. */
#define VF_INT    0     /* signed integer into an int */
#define VF_FLOAT  1     /* decimal number into a float */
#define VF_UINT   2     /* unsigned integer into an int (the range is compared signed) */
#define VF_TEXT   3     /* text into a char buffer of maximum bytes */

/* Reads the edit field, checks it against the kind and the range minimum..maximum (for VF_TEXT,
   maximum is the size of the target buffer, terminator included) and stores the value into
   target. A number is written back in its plain form ("0015" shows as "15"). TRUE when stored.
   A text that is no number or lies out of range is not stored: the operator is asked (box titled
   title) whether to give up the change; yes puts the former value back into the field, no
   leaves the text, and either way the field's whole text is selected and FALSE is returned, so
   the caller keeps its dialog open. */
BOOL Validate_Field(HWND field, int kind, void *target, int minimum, int maximum, const char *title);
