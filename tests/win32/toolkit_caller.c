/* toolkit_caller.exe DLLPATH SMALLDRIVE: calls STKIT432.DLL as the 32-bit setup.exe does, by
 * LoadLibrary and GetProcAddress of the four plain names, through a thunk that measures the
 * stack pointer around each call (a function that is not __stdcall moves it), and checks the
 * effects. Prints PASS/FAIL lines; the exit code is the number of failures. (The library's
 * name rules are tested in depth on its 64-bit twin: tests/unit/win/toolkit_test.cpp.) */
#include <windows.h>
#include <shlobj.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static int failures;

static int Check(int ok, const char* format, ...) {
    va_list args;
    va_start(args, format);
    printf("%s  ", ok ? "PASS" : "FAIL");
    vprintf(format, args);
    printf("\n");
    va_end(args);
    failures += !ok;
    return ok;
}

/* Pushes `count` pointer arguments (last first), calls `fn`, and reports how far the stack
 * pointer moved across the call: 0 for a __stdcall function, which removes its arguments. */
static LONG CallStdcall(FARPROC fn, const char* const* args, int count, int* stackShift) {
    LONG result;
    int shift;
    /* esi keeps the stack pointer across the call (the callee preserves it); the inputs sit
     * in registers, since an address relative to esp is wrong once the pushes begin. */
    __asm__ volatile("movl %%esp, %%esi\n"
                     "1:\n\t"
                     "testl %%ecx, %%ecx\n\t"
                     "jz 2f\n\t"
                     "pushl -4(%[args],%%ecx,4)\n\t"
                     "decl %%ecx\n\t"
                     "jmp 1b\n"
                     "2:\n\t"
                     "call *%[fn]\n\t"
                     "movl %%esp, %%edx\n\t"
                     "subl %%esi, %%edx\n\t"
                     "movl %%esi, %%esp\n\t"
                     : "=&a"(result), "=&d"(shift), "+c"(count)
                     : [fn] "r"(fn), [args] "r"(args)
                     : "esi", "memory", "cc");
    *stackShift = shift;
    return result;
}

static FARPROC Export(HMODULE dll, const char* name) {
    FARPROC fn = GetProcAddress(dll, name);
    Check(fn != NULL, "STKIT432.DLL exports %s under its plain name", name);
    return fn;
}

static LONG Call(FARPROC fn, const char* name, const char* const* args, int count) {
    int shift = 0;
    LONG result = CallStdcall(fn, args, count, &shift);
    Check(shift == 0, "%s removes its %d argument bytes from the stack (__stdcall; moved by %d)", name,
          count * 4, shift);
    return result;
}

/* The free space of the current drive, as the toolkit is asked for it: made current first. */
static void CheckFreeSpace(FARPROC diskSpaceFree, const char* root) {
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    if (!Check(SetCurrentDirectoryA(root), "%s can be made the current drive", root)) return;
    ULARGE_INTEGER available, total, totalFree;
    BOOL known = GetDiskFreeSpaceExA(root, &available, &total, &totalFree);
    LONG reported = Call(diskSpaceFree, "DISKSPACEFREE", NULL, 0);
    SetCurrentDirectoryA(previous);
    LONGLONG expected = available.QuadPart > 2147483647ULL ? 2147483647LL : (LONGLONG)available.QuadPart;
    Check(known && reported == expected,
          "DISKSPACEFREE on %s is %ld, the free bytes capped at 2147483647 (%lld)", root, reported, expected);
}

int main(int argc, char** argv) {
    if (argc != 3)
        return printf("usage: toolkit_caller <path of STKIT432.DLL> <root of a small drive>\n"), 100;
    HMODULE dll = LoadLibraryA(argv[1]);
    Check(dll != NULL, "STKIT432.DLL loads into a 32-bit program");
    if (!dll) return failures;
    FARPROC diskSpaceFree = Export(dll, "DISKSPACEFREE");
    FARPROC createFolder = Export(dll, "fCreateShellFolder");
    FARPROC createLink = Export(dll, "fCreateShellLink");
    FARPROC removeLink = Export(dll, "fRemoveShellLink");
    if (!diskSpaceFree || !createFolder || !createLink || !removeLink) return failures;

    CheckFreeSpace(diskSpaceFree, "C:\\");
    CheckFreeSpace(diskSpaceFree, argv[2]);

    char programs[MAX_PATH] = "", folder[MAX_PATH], link[MAX_PATH];
    Check(SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_PROGRAMS, NULL, 0, programs)), "Programs: %s", programs);
    snprintf(folder, sizeof folder, "%s\\Kavex 32\\Tools", programs);
    snprintf(link, sizeof link, "%s\\Notes.lnk", folder);

    const char* folderArgs[] = {"Kavex 32\\Tools"};
    Call(createFolder, "fCreateShellFolder", folderArgs, 1);
    const DWORD made = GetFileAttributesA(folder);
    Check(made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_DIRECTORY),
          "fCreateShellFolder made Programs\\Kavex 32\\Tools");

    const char* linkArgs[] = {"Kavex 32\\Tools", "Notes", "C:\\windows\\notepad.exe", ""};
    Call(createLink, "fCreateShellLink", linkArgs, 4);
    Check(GetFileAttributesA(link) != INVALID_FILE_ATTRIBUTES,
          "fCreateShellLink made Kavex 32\\Tools\\Notes.lnk");

    const char* removeArgs[] = {"Kavex 32\\Tools", "Notes"};
    Call(removeLink, "fRemoveShellLink", removeArgs, 2);
    Check(GetFileAttributesA(link) == INVALID_FILE_ATTRIBUTES, "fRemoveShellLink removed Notes.lnk");

    printf("%d failed\n", failures);
    return failures;
}
