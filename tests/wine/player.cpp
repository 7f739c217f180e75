/*
 * The player's hands: finding windows and working their controls from another
 * process, the way the tests and the demo drive the real dialogs.
 */
#include "player.h"

#include <stdio.h>
#include <string.h>

struct Window_Search
{
    const char *title;
    const char *class_name;
    DWORD process_id;
    HWND found;
};

static BOOL CALLBACK Match_Window(HWND window, LPARAM param)
{
    Window_Search *search = (Window_Search *)param;
    char text[256];
    DWORD owner = 0;
    if (!IsWindowVisible(window))
        return TRUE;
    GetWindowThreadProcessId(window, &owner);
    if (search->process_id && owner != search->process_id)
        return TRUE;
    GetWindowTextA(window, text, sizeof text);
    if (search->title && strcmp(text, search->title) != 0)
        return TRUE;
    if (search->class_name)
    {
        GetClassNameA(window, text, sizeof text);
        if (strcmp(text, search->class_name) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND Player_Wait_For_Window(const char *title, const char *class_name, DWORD process_id,
                            DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    for (;;)
    {
        Window_Search search = {title, class_name, process_id, NULL};
        EnumWindows(Match_Window, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (GetTickCount() - start >= timeout_ms)
            return NULL;
        Sleep(20);
    }
}

struct Class_Search
{
    DWORD process_id;
    const char *class_name;
    int include_hidden;
    HWND *found;
    int max;
    int count;
};

static BOOL CALLBACK Match_Class(HWND window, LPARAM param)
{
    Class_Search *search = (Class_Search *)param;
    DWORD owner = 0;
    char name[256];
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process_id || (!search->include_hidden && !IsWindowVisible(window)))
        return TRUE;
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, search->class_name) != 0)
        return TRUE;
    if (search->count < search->max)
        search->found[search->count] = window;
    search->count++;
    return TRUE;
}

int Player_Find_Windows(DWORD process_id, const char *class_name, int include_hidden,
                        HWND *found, int max)
{
    Class_Search search = {process_id, class_name, include_hidden, found, max, 0};
    EnumWindows(Match_Class, (LPARAM)&search);
    return search.count;
}

int Player_Wait_Gone(HWND window, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window))
    {
        if (GetTickCount() - start >= timeout_ms)
            return 0;
        Sleep(20);
    }
    return 1;
}

int Player_Check_State(HWND dialog, int control_id)
{
    HWND control = GetDlgItem(dialog, control_id);
    if (!control)
        return -1;
    return (int)SendMessageA(control, BM_GETCHECK, 0, 0);
}

int Player_Control_Text(HWND dialog, int control_id, char *text, int size)
{
    HWND control = GetDlgItem(dialog, control_id);
    text[0] = 0;
    if (!control)
        return 0;
    GetWindowTextA(control, text, size);
    return 1;
}

int Player_Click(HWND dialog, int control_id)
{
    HWND control = GetDlgItem(dialog, control_id);
    if (!control)
        return 0;
    return PostMessageA(control, BM_CLICK, 0, 0) != 0;
}

int Player_Press_F1(HWND dialog, int control_id)
{
    HWND control = GetDlgItem(dialog, control_id);
    if (!control)
        return 0;
    /* A key press of F1 reaches the focused control as WM_KEYF1, which the
     * default processing turns into WM_HELP for the control's dialog. */
    const UINT WM_KEYF1_MESSAGE = 0x004D;
    return PostMessageA(control, WM_KEYF1_MESSAGE, 0, 0) != 0;
}

struct Static_Search
{
    char *text;
    int size;
    int found;
};

static BOOL CALLBACK Match_Static(HWND child, LPARAM param)
{
    Static_Search *search = (Static_Search *)param;
    char class_name[32];
    GetClassNameA(child, class_name, sizeof class_name);
    if (lstrcmpiA(class_name, "Static") != 0)
        return TRUE;
    char text[1024];
    GetWindowTextA(child, text, sizeof text);
    if (!text[0])
        return TRUE; /* the icon's static */
    lstrcpynA(search->text, text, search->size);
    search->found = 1;
    return FALSE;
}

int Player_Message_Box_Text(HWND box, char *text, int size)
{
    Static_Search search = {text, size, 0};
    text[0] = 0;
    EnumChildWindows(box, Match_Static, (LPARAM)&search);
    return search.found;
}

int Player_Press_OK(HWND box)
{
    if (GetDlgItem(box, IDOK))
        return Player_Click(box, IDOK);
    return PostMessageA(box, WM_COMMAND, IDOK, 0) != 0;
}

int Player_Save_Screenshot(const char *path)
{
    HDC screen = GetDC(NULL);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD row = ((DWORD)width * 3 + 3) & ~3u;
    DWORD image_size = row * (DWORD)height;
    static unsigned char pixels[2048 * 2048 * 3];
    int ok = image_size <= sizeof pixels &&
             GetDIBits(memory, bitmap, 0, (UINT)height, pixels, (BITMAPINFO *)&info,
                       DIB_RGB_COLORS) != 0;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    if (!ok)
        return 0;

    BITMAPFILEHEADER file_header = {};
    file_header.bfType = 0x4D42;
    file_header.bfOffBits = sizeof file_header + sizeof info;
    file_header.bfSize = file_header.bfOffBits + image_size;
    FILE *file = fopen(path, "wb");
    if (!file)
        return 0;
    ok = fwrite(&file_header, sizeof file_header, 1, file) == 1 &&
         fwrite(&info, sizeof info, 1, file) == 1 &&
         fwrite(pixels, 1, image_size, file) == image_size;
    return fclose(file) == 0 && ok;
}
