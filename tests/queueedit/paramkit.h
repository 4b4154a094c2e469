/* What the tests of the command-line parameter file and of the Processes page share: a file's
   last-write time moved on, the program registered for text files for the length of a test, and
   the program that the shell started on the parameter file. */
#pragma once
#include "support/testkit.h"
#include <stdlib.h>
#include <string>
#include <vector>

namespace pf {

/* Moves a file's last-write time on by a second: a rewrite within one clock tick must not depend
   on the file system's time resolution. */
inline void Touch_Later(const std::string &path)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    FILETIME ft;
    GetFileTime(h, NULL, NULL, &ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart += 10000000;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    SetFileTime(h, NULL, NULL, &ft);
    CloseHandle(h);
}

/* Keys a test writes under the classes root (under Wine they land in the machine's classes) and
   removes afterwards: ".txt" starts without an association, and one that was there before is put
   back. */
class ClassesRoot {
public:
    ClassesRoot()
    {
        HKEY k;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, KEY_READ, &k) == ERROR_SUCCESS) {
            char buf[512];
            DWORD size = sizeof buf - 1, type = 0;
            if (RegQueryValueExA(k, "", NULL, &type, (BYTE *)buf, &size) == ERROR_SUCCESS) {
                buf[size] = '\0';
                oldTxt_ = buf;
            }
            hadTxt_ = true;
            RegCloseKey(k);
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".txt");
    }
    ~ClassesRoot()
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".txt");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, k_Type);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, k_Scratch);
        if (hadTxt_) Set(".txt", "", oldTxt_);
    }
    static void Set(const std::string &key, const char *name, const std::string &data, DWORD type = REG_SZ,
                    bool terminated = true)
    {
        HKEY k;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &k,
                                                 NULL));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(k, name, 0, type, (const BYTE *)data.c_str(),
                                                (DWORD)data.size() + (terminated ? 1 : 0)));
        RegCloseKey(k);
    }
    /* ".txt" = the test's type, and the type's open command */
    static void Associate(const std::string &command)
    {
        Set(".txt", "", k_Type);
        Set(std::string(k_Type) + "\\shell\\open\\command", "", command);
    }
    static constexpr const char *k_Type = "EdtTestTxtFile";
    static constexpr const char *k_Scratch = "EdtRegTest";    /* free for a test's own keys */
private:
    bool hadTxt_ = false;
    std::string oldTxt_;
};

/* The program the shell started (the argrecord helper): what it recorded in seenFile (its process
   id, its command line, then one argument a line), and its end, here or when this goes. */
struct Started {
    std::string seenFile;
    std::string record;
    bool wait(DWORD ms)
    {
        for (DWORD t = 0; t < ms; t += 50) {
            bool ok = false;
            record = tk::Read_File(seenFile, &ok);
            if (ok && !record.empty()) return true;
            Sleep(50);
        }
        return false;
    }
    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        size_t p = 0, e;
        while ((e = record.find('\n', p)) != std::string::npos) {
            out.push_back(record.substr(p, e - p));
            p = e + 1;
        }
        return out;
    }
    /* Ends the program, as the operator would close it; false when no process had the id it
       recorded. */
    bool end()
    {
        std::vector<std::string> l = lines();
        if (l.empty()) return false;
        record.clear();
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, (DWORD)strtoul(l[0].c_str(), NULL, 10));
        if (h == NULL) return false;
        TerminateProcess(h, 77);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
        return true;
    }
    ~Started() { end(); }
};

} // namespace pf
