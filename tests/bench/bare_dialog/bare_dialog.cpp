/*
 * A bare dialog program, built the way gfxsetup is: the yardstick for
 * gfxsetup.exe's size and start-up time in tests/bench/gfxsetup-figures.sh.
 */
#include <windows.h>

#include "bare_dialog.h"

static INT_PTR CALLBACK Bare_Dialog_Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (msg)
    {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
        {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show_state)
{
    (void)instance;
    (void)previous;
    (void)command_line;
    (void)show_state;
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_BARE), NULL, Bare_Dialog_Proc, 0);
    return 0;
}
