/*
 * Stand-in for the game engine, for tests and the demo: records each call
 * with its arguments to the file named by VELMIRE_STANDIN_LOG, one line each.
 */
#define VELMIRE_ENGINE_EXPORTS
#include "velmire.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static Message_Callback Registered_Callback;
static Default_Values_Record *Filled_Record;
static Default_Values_Area *Filled_Area;
static char *Given_Command_Line;

static const unsigned char SENTINEL = 0xA5;
static const int32_t SENTINEL_FLAG = 0x5EED;
static const Default_Values_Count SENTINEL_COUNT = 4242;

static void Log_Line(const char *format, ...)
{
    const char *path = getenv("VELMIRE_STANDIN_LOG");
    if (!path || !*path)
        return;
    FILE *file = fopen(path, "ab");
    if (!file)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputs("\r\n", file);
    fclose(file);
}

/* Does the address lie in the calling program's image (its module storage)? */
static int In_Program_Image(const void *address)
{
    const unsigned char *base = (const unsigned char *)GetModuleHandleA(NULL);
    const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)base;
    const IMAGE_NT_HEADERS *nt = (const IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
    const unsigned char *p = (const unsigned char *)address;
    return p >= base && p < base + nt->OptionalHeader.SizeOfImage;
}

extern "C" int32_t __cdecl W95_Set_Message_Loop_Caller(Message_Callback callback)
{
    Registered_Callback = callback;
    Log_Line("W95_Set_Message_Loop_Caller in_program=%d", In_Program_Image((const void *)callback));
    return 0;
}

extern "C" int32_t __cdecl Read_Default_Values_From_Config_File(Default_Values_Record *record,
                                                                Default_Values_Area *area,
                                                                char *command_line,
                                                                Default_Values_Count *count)
{
    memset(record, SENTINEL, sizeof *record);
    record->Installed_Launch_Flag = SENTINEL_FLAG;
    memset(area, SENTINEL, sizeof *area);
    *count = SENTINEL_COUNT;
    Filled_Record = record;
    Filled_Area = area;
    Given_Command_Line = command_line;
    Log_Line("Read_Default_Values_From_Config_File command_line_in_program=%d length=%u "
             "command_line=[%s]",
             In_Program_Image(command_line), (unsigned)strlen(command_line), command_line);
    return 0;
}

extern "C" int32_t __cdecl Config_Set_CD_Drive(char drive)
{
    Log_Line("Config_Set_CD_Drive drive=%c code=%d", drive ? drive : '?', (unsigned char)drive);
    return 0;
}

static int Storage_Intact(const Default_Values_Record *record, const Default_Values_Area *area)
{
    for (size_t i = 0; i < sizeof record->Engine_Data; ++i)
        if (record->Engine_Data[i] != SENTINEL)
            return 0;
    for (size_t i = 0; i < sizeof area->Engine_Data; ++i)
        if (area->Engine_Data[i] != SENTINEL)
            return 0;
    return 1;
}

extern "C" int32_t __cdecl Play_Win32_Karnoth(Default_Values_Record *record,
                                              Default_Values_Area *area,
                                              Default_Values_Count count, HINSTANCE instance,
                                              int show_state)
{
    Log_Line("Play_Win32_Karnoth same_record=%d same_area=%d storage_intact=%d count=%d flag=%d "
             "instance_is_program=%d show_state=%d command_line=[%s]",
             record == Filled_Record, area == Filled_Area,
             Filled_Record ? Storage_Intact(record, area) : 0, (int)count,
             (int)record->Installed_Launch_Flag, instance == GetModuleHandleA(NULL), show_state,
             Given_Command_Line ? Given_Command_Line : "(none)");
    if (Registered_Callback)
    {
        uint32_t result = Registered_Callback(0x11111111, 0x22222222, 0x33333333, 0x44444444);
        Log_Line("callback_returned=%08x", (unsigned)result);
    }
    return 0;
}

extern "C" uint32_t WINAPI W95_Serve_Message(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    /* Depends on every value and its place, so a swapped or lost one shows. */
    uint32_t result = 0xC0DE0000u ^ a ^ (b << 1) ^ (c << 2) ^ (d << 3);
    Log_Line("W95_Serve_Message %08x %08x %08x %08x returned=%08x", (unsigned)a, (unsigned)b,
             (unsigned)c, (unsigned)d, (unsigned)result);
    return result;
}

/* The DPI awareness of the calling thread as "0" unaware, "1" system, "2" per
 * monitor, or "none" where the system has no such thing (before Windows 10). */
static const char *Thread_Dpi_Awareness(char *text)
{
    typedef DPI_AWARENESS_CONTEXT(WINAPI * Thread_Context_Entry)(void);
    typedef DPI_AWARENESS(WINAPI * Awareness_Entry)(DPI_AWARENESS_CONTEXT context);
    HMODULE user32 = GetModuleHandleA("user32");
    Thread_Context_Entry thread_context = (Thread_Context_Entry)(void (*)(void))GetProcAddress(
        user32, "GetThreadDpiAwarenessContext");
    Awareness_Entry awareness = (Awareness_Entry)(void (*)(void))GetProcAddress(
        user32, "GetAwarenessFromDpiAwarenessContext");
    if (!thread_context || !awareness)
        return "none";
    sprintf(text, "%d", (int)awareness(thread_context()));
    return text;
}

extern "C" int32_t __cdecl Config_Search_For_Graphics_Driver(int32_t zero, HWND window)
{
    char dpi_awareness[16];
    char class_name[64] = "";
    char title[64] = "";
    if (window)
    {
        GetClassNameA(window, class_name, sizeof class_name);
        GetWindowTextA(window, title, sizeof title);
    }
    /* An engine that closes the window it was lent, as it would its own. */
    const char *close = getenv("VELMIRE_STANDIN_CLOSE");
    if (window && close && *close == '1')
        SendMessageA(window, WM_CLOSE, 0, 0);
    const char *answer_text = getenv("VELMIRE_STANDIN_DETECT");
    int32_t answer = answer_text ? atoi(answer_text) : 0;
    Log_Line("Config_Search_For_Graphics_Driver arg=%d window=%d class=[%s] title=[%s] "
             "visible=%d answer=%d dpi_awareness=%s",
             (int)zero, window != NULL, class_name, title,
             window ? (int)IsWindowVisible(window) : 0, (int)answer,
             Thread_Dpi_Awareness(dpi_awareness));
    return answer;
}
