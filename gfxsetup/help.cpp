/*
 * Context help for both dialogs: the help file's pop-up topic where the system
 * can show it (kvconfig.hlp in the game folder and a real WinHelp viewer),
 * else a pop-up of our own with the same topic (help_texts.cpp).
 */
#include "gfxsetup.h"

static const char HELP_FILE[] = "kvconfig.hlp";
static const char HELP_VIEWER[] = "winhlp32.exe";
static const char HELP_POPUP_CLASS[] = "Velmire_Help_Popup";

enum
{
    HELP_POPUP_WIDTH = 260, /* pixels, border included */
    HELP_POPUP_MARGIN = 6,
    HELP_POPUP_GAP = 2, /* between the control and the pop-up */
    HELP_TEXT_SIZE = 512
};

static HWND Help_Popup;
static HFONT Help_Popup_Font;
static int Help_Popup_Registered;

static int Help_Is_File(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* WinHelpA starts the winhlp32.exe that a search by name finds (the Windows
 * folder's on Windows, the system folder's in a 64-bit Wine prefix): before
 * Windows Vista a real viewer; from Vista on a stub, unless a viewer was
 * installed over it. */
static int Help_System_Can_Show(void)
{
    if (!Help_Is_File(HELP_FILE))
        return 0;
    char viewer[MAX_PATH];
    DWORD length = SearchPathA(NULL, HELP_VIEWER, NULL, MAX_PATH, viewer, NULL);
    return length != 0 && length < MAX_PATH && !Version_Is_Help_Stub(viewer);
}

static void Help_Popup_On_Paint(HWND window)
{
    char text[HELP_TEXT_SIZE];
    PAINTSTRUCT paint;
    RECT area;
    HDC dc = BeginPaint(window, &paint);
    HGDIOBJ old_font = Help_Popup_Font ? SelectObject(dc, Help_Popup_Font) : NULL;
    GetWindowTextA(window, text, sizeof text);
    GetClientRect(window, &area);
    InflateRect(&area, -HELP_POPUP_MARGIN, -HELP_POPUP_MARGIN);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextA(dc, text, -1, &area, DT_WORDBREAK | DT_NOPREFIX);
    if (old_font)
        SelectObject(dc, old_font);
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

static int Help_Register_Popup_Class(HINSTANCE instance)
{
    if (Help_Popup_Registered)
        return 1;
    WNDCLASSA popup_class = {};
    popup_class.style = CS_SAVEBITS;
    popup_class.lpfnWndProc = Help_Popup_Proc;
    popup_class.hInstance = instance;
    popup_class.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    popup_class.hbrBackground = (HBRUSH)(COLOR_INFOBK + 1);
    popup_class.lpszClassName = HELP_POPUP_CLASS;
    Help_Popup_Registered = RegisterClassA(&popup_class) != 0;
    return Help_Popup_Registered;
}

/* The pop-up's window rectangle for the text: the text wrapped to a fixed
 * width, below the control, kept inside the work area of the control's
 * monitor. 0 when the control's place cannot be had. */
static int Help_Popup_Place(HWND dialog, HWND control, const char *text, RECT *place)
{
    const DWORD style = WS_POPUP | WS_BORDER;
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    int frame_width = frame.right - frame.left;
    RECT text_area = {0, 0, HELP_POPUP_WIDTH - frame_width - 2 * HELP_POPUP_MARGIN, 0};
    HDC dc = GetDC(dialog);
    HGDIOBJ old_font = Help_Popup_Font ? SelectObject(dc, Help_Popup_Font) : NULL;
    DrawTextA(dc, text, -1, &text_area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (old_font)
        SelectObject(dc, old_font);
    ReleaseDC(dialog, dc);
    int width = text_area.right + 2 * HELP_POPUP_MARGIN + frame_width;
    int height = text_area.bottom + 2 * HELP_POPUP_MARGIN + (frame.bottom - frame.top);

    HWND anchor_window = control ? control : dialog;
    RECT anchor;
    if (!GetWindowRect(anchor_window, &anchor))
        return 0;
    MONITORINFO monitor;
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(anchor_window, MONITOR_DEFAULTTONEAREST), &monitor) &&
        !SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0))
        SetRect(&monitor.rcWork, anchor.left, anchor.top, anchor.left + width,
                anchor.bottom + HELP_POPUP_GAP + height);
    const RECT &screen = monitor.rcWork;
    int x = anchor.left;
    int y = anchor.bottom + HELP_POPUP_GAP;
    if (y + height > screen.bottom)
        y = anchor.top - HELP_POPUP_GAP - height;
    if (x + width > screen.right)
        x = screen.right - width;
    if (x < screen.left)
        x = screen.left;
    if (y < screen.top)
        y = screen.top;
    SetRect(place, x, y, x + width, y + height);
    return 1;
}

static void Help_Show_Popup(HWND dialog, HWND control, DWORD context)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    if (Help_Popup)
        DestroyWindow(Help_Popup);
    const char *text = Help_Text(context);
    if (!text)
        return;
    if (!Help_Register_Popup_Class(instance))
        return;
    Help_Popup_Font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    RECT place;
    if (!Help_Popup_Place(dialog, control, text, &place))
        return;
    /* Owned by the dialog, so it goes when the dialog goes. Its title is the
     * text, which is what a screen reader (or a test) reads. */
    Help_Popup = CreateWindowExA(WS_EX_TOOLWINDOW, HELP_POPUP_CLASS, text, WS_POPUP | WS_BORDER,
                                 place.left, place.top, place.right - place.left,
                                 place.bottom - place.top, dialog, NULL, instance, NULL);
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
