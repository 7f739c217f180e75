/*
 * Our own windows at their monitor's scale, where the system can (Windows 10
 * 1703 and later): the thread's DPI awareness and a window's DPI, looked up at
 * run time since older systems have neither entry. Where an entry is missing
 * or refuses, nothing changes: the windows stay as they always were.
 */
#include "gfxsetup.h"

typedef DPI_AWARENESS_CONTEXT(WINAPI *Scale_Set_Context_Entry)(DPI_AWARENESS_CONTEXT context);
typedef UINT(WINAPI *Scale_Window_Dpi_Entry)(HWND window);

/* One look-up for both entries: shorter than one at each. */
static __declspec(noinline) FARPROC Scale_User_Entry(const char *name)
{
    return GetProcAddress(GetModuleHandleA("user32"), name);
}

DPI_AWARENESS_CONTEXT Scale_Set_Thread_Context(DPI_AWARENESS_CONTEXT context)
{
    Scale_Set_Context_Entry set_context =
        (Scale_Set_Context_Entry)(void (*)(void))Scale_User_Entry("SetThreadDpiAwarenessContext");
    return set_context ? set_context(context) : NULL;
}

UINT Scale_Window_Dpi(HWND window)
{
    Scale_Window_Dpi_Entry window_dpi =
        (Scale_Window_Dpi_Entry)(void (*)(void))Scale_User_Entry("GetDpiForWindow");
    return window_dpi ? window_dpi(window) : (UINT)SCALE_DEFAULT_DPI;
}
