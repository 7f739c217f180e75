/*
 * gfxsetup's private header: the setup state that the flow, the dialogs and
 * the detection share, and the functions each file offers the others.
 */
#ifndef GFXSETUP_GFXSETUP_H
#define GFXSETUP_GFXSETUP_H

#include <windows.h>
#include <stdint.h>

#include "help_texts.h"

/* Platform and card indices; RENDERING_PLATFORM holds platform * 5 + card. */
enum
{
    PLATFORM_NONE = 0,
    PLATFORM_SOFTWARE = 1,
    PLATFORM_HARDWARE = 2,
    PLATFORM_CARDS = 5
};

enum
{
    CARD_NONE = 0,
    CARD_3DFX = 1,
    CARD_ATI_RAGE = 2,
    CARD_D3D_PRIMARY = 3,
    CARD_D3D_SECONDARY = 4
};

/* Setup state (setup.cpp). Setup_Instance: the program's module, as WinMain has it. */
extern HINSTANCE Setup_Instance;
extern int32_t Setup_Platform;
extern int32_t Setup_Card;
extern int32_t Setup_Allow_Mipmap;
extern int32_t Setup_Allow_Palettised;
extern int32_t Setup_Type1_Shadows;
extern int32_t Setup_Show_Again;

void Setup_Run(void);
/* Non-zero when path names a file, not a folder. */
int Setup_Is_File(const WCHAR *path);
/* Our own texts are ASCII; the message boxes take UTF-16, as a path may need:
 * the text widened as it is into "to"; the end of what was written. */
WCHAR *Setup_Widen(WCHAR *to, const char *from);

/* Settings that did not read back from the file at path (save_report.cpp):
 * one message box, its cause from the store's error code (0: none); is_copy
 * for the VirtualStore copy, whose folder is no sign of the game's. */
void Setup_Report_Not_Saved(const WCHAR *path, DWORD error, int is_copy);

/* The settings file's VirtualStore copy (virtual_store.cpp). Its path for the
 * file's full long path (MAX_PATH characters), when the file lies in a folder
 * that Windows virtualizes; else L"" and 0. */
int Virtual_Store_Path(const WCHAR *path, WCHAR *copy);
/* Non-zero when Windows virtualizes this user's legacy programs. */
int Virtual_Store_Active(void);
/* Makes the copy as Windows would: its folders, then the file's bytes (none
 * where there is no file). 0, or the system's error code. */
DWORD Virtual_Store_Make_Copy(const WCHAR *path, const WCHAR *copy);

/* Non-zero when the help viewer at path is Windows' stub (version_info.cpp). */
int Version_Is_Help_Stub(const char *path);

/* Dialogs (main_dialog.cpp, advanced_dialog.cpp). */
INT_PTR CALLBACK Main_Dialog_Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Advanced_Dialog_Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

/* Context help (help.cpp): a dialog's control ids and their help contexts. */
struct Help_Topic
{
    short control_id;
    unsigned short context;
};

/* Shows the topic of the control that HELPINFO names, when the table has one;
 * returns 1 for a HELPINFO_WINDOW request, shown or not, else 0. */
int Help_Show_Topic(HWND dialog, const HELPINFO *info, const Help_Topic *table, int count);

/* Hardware detection (detect.cpp). */
extern int32_t Detect_Done;
extern int32_t Detect_Result;

void Setup_Auto_Detect(void);
LRESULT CALLBACK Detect_Window_Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

/* Display scale (display_scale.cpp). Headers older than Windows 10 lack the
 * awareness contexts: they are small handle values. */
#ifndef _DPI_AWARENESS_CONTEXTS_
DECLARE_HANDLE(DPI_AWARENESS_CONTEXT);
#define DPI_AWARENESS_CONTEXT_UNAWARE ((DPI_AWARENESS_CONTEXT)-1)
#define DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 ((DPI_AWARENESS_CONTEXT)-4)
#endif

enum
{
    SCALE_DEFAULT_DPI = 96 /* what an unaware program is drawn at */
};

/* Sets the thread's awareness; the one before, or null where the system has
 * no such call or refuses this context (then nothing changed). */
DPI_AWARENESS_CONTEXT Scale_Set_Thread_Context(DPI_AWARENESS_CONTEXT context);
/* The window's DPI; SCALE_DEFAULT_DPI where the system cannot tell. */
UINT Scale_Window_Dpi(HWND window);

#endif
