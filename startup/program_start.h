/*
 * The programs' own entry point, in place of MinGW-w64's start-up code: it
 * works out WinMain's four arguments as the platform's start-up code for GUI
 * programs gives them, calls WinMain and ends the process with its result.
 */
#ifndef VELMIRE_STARTUP_PROGRAM_START_H
#define VELMIRE_STARTUP_PROGRAM_START_H

#include <windows.h>

/* Answers whether a byte begins a double-byte character (IsDBCSLeadByte). */
typedef BOOL(WINAPI *Lead_Byte_Test)(BYTE byte);

/* The process's command line without the program name and the blanks after
 * it: a pointer into COMMAND_LINE, at its terminator when nothing follows. */
char *Program_Arguments(char *command_line, Lead_Byte_Test is_lead_byte);

/* The entry point of gfxsetup, cdlaunch and launch (linked with -nostartfiles
 * and -e: velmire_program's OWN_START in cmake/Win32Program.cmake). Calls
 * ExitProcess with WinMain's result; never returns. */
extern "C" void Program_Start(void);

#endif
