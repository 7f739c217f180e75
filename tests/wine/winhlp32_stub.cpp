/*
 * A stand-in for the winhlp32.exe that Windows Vista and later keep in the
 * Windows folder: it carries the stub's mark in its version resource and, if
 * anything starts it, leaves a file in its working folder to say so.
 */
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HANDLE file = CreateFileA("winhlp32-stub-started", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return 0;
}
