/*
 * Context help for both dialogs: the help file's pop-up topic where the system
 * can show it (kvconfig.hlp in the game folder and a real WinHelp viewer),
 * else a pop-up of our own with the same topic (help_texts.cpp).
 */
#include "gfxsetup.h"

#define HELP_FILE_NAME "kvconfig.hlp"
static const char HELP_FILE[] = HELP_FILE_NAME;
static const char HELP_VIEWER[] = "winhlp32.exe";
static const char HELP_POPUP_CLASS[] = "Velmire_Help_Popup";

enum
{
    /* Pixels at 96 DPI, scaled to the dialog's. */
    HELP_POPUP_WIDTH = 260, /* border included */
    HELP_POPUP_MARGIN = 6,
    HELP_POPUP_GAP = 2, /* between the control and the pop-up */
    /* WS_BORDER's two lines across and down, a pixel each at every DPI
     * (AdjustWindowRectEx would answer for the system's, not the dialog's). */
    HELP_POPUP_FRAME = 2,
    HELP_TEXT_SIZE = 512
};

static const DWORD HELP_POPUP_STYLE = WS_POPUP | WS_BORDER;

static HWND Help_Popup;
static HFONT Help_Popup_Font;
static UINT Help_Popup_Dpi; /* its dialog's */

/* Pixels at 96 DPI for the pop-up's dialog. */
static __declspec(noinline) int Help_Scale(int pixels)
{
    return pixels * (int)Help_Popup_Dpi / SCALE_DEFAULT_DPI;
}

/* WinHelpA starts the winhlp32.exe that a search by name finds (the Windows
 * folder's on Windows, the system folder's in a 64-bit Wine prefix): before
 * Windows Vista a real viewer; from Vista on a stub, unless a viewer was
 * installed over it. */
static int Help_System_Can_Show(void)
{
    if (!Setup_Is_File(L"" HELP_FILE_NAME))
        return 0;
    char viewer[MAX_PATH];
    DWORD length = SearchPathA(NULL, HELP_VIEWER, NULL, MAX_PATH, viewer, NULL);
    return length != 0 && length < MAX_PATH && !Version_Is_Help_Stub(viewer);
}

/* Draws the text, or with DT_CALCRECT measures it, in the dialog's font. */
static void Help_Draw_Text(HDC dc, const char *text, RECT *area, UINT format)
{
    /* No font (the dialog uses the system's) selects nothing, and keeps none. */
    HGDIOBJ old_font = SelectObject(dc, Help_Popup_Font);
    DrawTextA(dc, text, -1, area, format | DT_WORDBREAK | DT_NOPREFIX);
    if (old_font)
        SelectObject(dc, old_font);
}

static void Help_Popup_On_Paint(HWND window)
{
    char text[HELP_TEXT_SIZE];
    PAINTSTRUCT paint;
    RECT area;
    HDC dc = BeginPaint(window, &paint);
    GetWindowTextA(window, text, sizeof text);
    GetClientRect(window, &area);
    int margin = Help_Scale(HELP_POPUP_MARGIN);
    InflateRect(&area, -margin, -margin);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    Help_Draw_Text(dc, text, &area, 0);
    EndPaint(window, &paint);
}

static LRESULT CALLBACK Help_Popup_Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT:
        Help_Popup_On_Paint(window);
        return 0;
    /* Like a help pop-up: any click or key dismisses it. */
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        DestroyWindow(window);
        return 0;
    case WM_ACTIVATE:
        /* Posted: destroying a window while its activation changes is
         * asking for trouble. */
        if (LOWORD(wParam) == WA_INACTIVE)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        if (Help_Popup == window)
            Help_Popup = NULL;
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

/* Already registered after the first pop-up; either way the class is there,
 * and without it no pop-up is made. */
static void Help_Register_Popup_Class(HINSTANCE instance)
{
    WNDCLASSA popup_class = {};
    popup_class.style = CS_SAVEBITS;
    popup_class.lpfnWndProc = Help_Popup_Proc;
    popup_class.hInstance = instance;
    popup_class.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    popup_class.hbrBackground = (HBRUSH)(COLOR_INFOBK + 1);
    popup_class.lpszClassName = HELP_POPUP_CLASS;
    RegisterClassA(&popup_class);
}

/* The pop-up's place and size for the text: the text wrapped to a fixed
 * width at the dialog's DPI, below the control, kept inside the work area of
 * the control's monitor (just below it where neither can be had). 0 when the
 * control's place cannot be had. */
static int Help_Popup_Place(HWND dialog, HWND control, const char *text, POINT *at, SIZE *size)
{
    int edges = 2 * Help_Scale(HELP_POPUP_MARGIN) + HELP_POPUP_FRAME; /* across, and down */
    int gap = Help_Scale(HELP_POPUP_GAP);
    RECT text_area = {0, 0, Help_Scale(HELP_POPUP_WIDTH) - edges, 0};
    HDC dc = GetDC(dialog);
    Help_Draw_Text(dc, text, &text_area, DT_CALCRECT);
    ReleaseDC(dialog, dc);
    size->cx = text_area.right + edges;
    size->cy = text_area.bottom + edges;

    HWND anchor_window = control ? control : dialog;
    RECT anchor;
    if (!GetWindowRect(anchor_window, &anchor))
        return 0;
    at->x = anchor.left;
    at->y = anchor.bottom + gap;
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(anchor_window, MONITOR_DEFAULTTONEAREST), &monitor) &&
        !SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0))
        return 1;
    const RECT &screen = monitor.rcWork;
    if (at->y + size->cy > screen.bottom)
        at->y = anchor.top - gap - size->cy;
    /* A control itself past the bottom: the pop-up at the edge. */
    if (at->y + size->cy > screen.bottom)
        at->y = screen.bottom - size->cy;
    if (at->x + size->cx > screen.right)
        at->x = screen.right - size->cx;
    if (at->x < screen.left)
        at->x = screen.left;
    if (at->y < screen.top)
        at->y = screen.top;
    return 1;
}

static void Help_Show_Popup(HWND dialog, HWND control, DWORD context)
{
    HINSTANCE instance = Setup_Instance;
    if (Help_Popup)
        DestroyWindow(Help_Popup);
    const char *text = Help_Text(context);
    if (!text)
        return;
    Help_Register_Popup_Class(instance);
    /* The dialog's font, made at the dialog's DPI where it is aware. */
    Help_Popup_Font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    Help_Popup_Dpi = Scale_Window_Dpi(dialog);
    POINT at;
    SIZE size;
    if (!Help_Popup_Place(dialog, control, text, &at, &size))
        return;
    /* Owned by the dialog, so it goes when the dialog goes. Its title is the
     * text, which is what a screen reader (or a test) reads. */
    Help_Popup = CreateWindowExA(WS_EX_TOOLWINDOW, HELP_POPUP_CLASS, text, HELP_POPUP_STYLE, at.x,
                                 at.y, size.cx, size.cy, dialog, NULL, instance, NULL);
    if (!Help_Popup)
        return;
    ShowWindow(Help_Popup, SW_SHOW);
    UpdateWindow(Help_Popup);
}

int Help_Show_Topic(HWND dialog, const HELPINFO *info, const Help_Topic *table, int count)
{
    if (info->iContextType != HELPINFO_WINDOW)
        return 0;
    for (int i = 0; i < count; i++)
    {
        if (table[i].control_id != info->iCtrlId)
            continue;
        /* The help system reports its own failures. */
        if (Help_System_Can_Show())
            WinHelpA(dialog, HELP_FILE, HELP_CONTEXTPOPUP, table[i].context);
        else
            Help_Show_Popup(dialog, (HWND)info->hItemHandle, table[i].context);
        break;
    }
    return 1;
}
