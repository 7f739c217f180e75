/*
 * The programs' own entry point: WinMain's four arguments, worked out as the
 * platform's start-up code for GUI programs gives them, then ExitProcess with
 * WinMain's result. MinGW-w64's start-up code is not linked at all: it split
 * the command line on signed bytes and lost text after a quoted program name,
 * and most of the programs' size was its own.
 *
 * What this rules out in the programs (the build checks the first four in
 * each program's link map: startup/check_program_start.cmake):
 * - static constructors and destructors: nothing runs the .ctors list, so a
 *   global needs a constant initialiser;
 * - atexit, _onexit, and function-local statics with destructors (which
 *   register through atexit or __cxa_atexit): nothing runs them at exit;
 * - thread-local variables: there is no TLS directory;
 * - data imported from a DLL without dllimport: nothing applies the runtime
 *   pseudo-relocations that such a reference needs (linked with
 *   --disable-runtime-pseudo-reloc, so the link fails instead);
 * - main, __argc/__argv and MinGW-w64's own stdio: the programs use
 *   msvcrt.dll's C functions, which that DLL sets up when it is loaded;
 * - streams left open at exit: no exit() runs, so every file is closed by
 *   the operation that opened it;
 * - floating point that relies on MinGW-w64's x87 set-up: the programs use
 *   none.
 */
#include "program_start.h"

char *Program_Arguments(char *command_line, Lead_Byte_Test is_lead_byte)
{
    unsigned char *at = (unsigned char *)command_line;
    if (*at == '"')
    {
        /* A quoted name ends after the next quote; a double-byte character
         * is stepped over whole, but never past the terminator. */
        ++at;
        while (*at && *at != '"')
        {
            if (is_lead_byte(*at) && at[1])
                ++at;
            ++at;
        }
        if (*at == '"')
            ++at;
    }
    else
    {
        /* Compared unsigned: bytes 0x80 and above belong to the name. */
        while (*at > ' ')
            ++at;
    }
    while (*at && *at <= ' ')
        ++at;
    return (char *)at;
}

/* Windows enters a 32-bit program with the stack aligned to 4 bytes only.
 * The shipped build assumes no more (-mpreferred-stack-boundary=2), so this
 * costs nothing there; code built with GCC's default of 16 gets it. */
#if defined(__GNUC__) && defined(__i386__)
#define REALIGNS_STACK __attribute__((force_align_arg_pointer))
#else
#define REALIGNS_STACK
#endif

extern "C" REALIGNS_STACK void Program_Start(void)
{
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    int show_state =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    char *arguments = Program_Arguments(GetCommandLineA(), IsDBCSLeadByte);
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, arguments, show_state));
}
