/* The entry of every test program. A crash must fail the run: under Wine a crashing process
   can end with exit code 0, so an unhandled exception is reported and the process ended with 99. */
#include <windows.h>
#include <stdio.h>
#include <gtest/gtest.h>
#include "support/testkit.h"

static LONG WINAPI On_Crash(EXCEPTION_POINTERS *info)
{
    fprintf(stderr, "UNHANDLED EXCEPTION 0x%08lx at %p\n", (unsigned long)info->ExceptionRecord->ExceptionCode,
            info->ExceptionRecord->ExceptionAddress);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 99);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char **argv)
{
    SetUnhandledExceptionFilter(On_Crash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    tk::Guard_MessageBoxes();
    return RUN_ALL_TESTS();
}
