/*
 * Velmire.dll, the game engine: its entries as the launchers and gfxsetup
 * call them, the shape of the launchers' message callback, and the launch
 * storage that a launcher reserves and the engine fills.
 */
#ifndef VELMIRE_ENGINE_VELMIRE_H
#define VELMIRE_ENGINE_VELMIRE_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

/* Launch storage: the engine owns the layout; the launchers touch only the
 * flag and the count. */
struct Default_Values_Record
{
    unsigned char Engine_Data[52];
    int32_t Installed_Launch_Flag; /* 0 started from the CD, 1 installed */
};

struct Default_Values_Area
{
    unsigned char Engine_Data[412];
};

typedef int32_t Default_Values_Count;

static_assert(sizeof(Default_Values_Record) == 56, "the engine expects a 56-byte record");
static_assert(offsetof(Default_Values_Record, Installed_Launch_Flag) == 52,
              "the engine reads the flag at byte 52");
static_assert(sizeof(Default_Values_Area) == 412, "the engine expects a 412-byte area");
static_assert(sizeof(Default_Values_Count) == 4, "the count is a 32-bit integer");

/* The launcher's message-loop callback: four 32-bit values in, one out. */
typedef uint32_t(WINAPI *Message_Callback)(uint32_t, uint32_t, uint32_t, uint32_t);

/* Detection answers of Config_Search_For_Graphics_Driver. */
enum
{
    DETECT_NO_3D_HARDWARE = 0,
    DETECT_3DFX_GLIDE = 1,
    DETECT_D3D_PRIMARY = 2,
    DETECT_D3D_SECONDARY = 3,
    DETECT_ATI_RAGE = 4
};

/* gfxsetup looks this entry up at run time (it must not import the engine). */
#define VELMIRE_LIBRARY_NAME "VELMIRE.DLL"
#define VELMIRE_DETECT_ENTRY_NAME "Config_Search_For_Graphics_Driver"
typedef int32_t(__cdecl *Config_Search_For_Graphics_Driver_Entry)(int32_t, HWND);

/* The entries the launchers import by name. The stand-in engine defines
 * VELMIRE_ENGINE_EXPORTS to build them; its .def file names the exports. */
#ifdef VELMIRE_ENGINE_EXPORTS
#define VELMIRE_ENTRY
#else
#define VELMIRE_ENTRY __declspec(dllimport)
#endif

extern "C"
{
    VELMIRE_ENTRY int32_t __cdecl W95_Set_Message_Loop_Caller(Message_Callback callback);
    VELMIRE_ENTRY int32_t __cdecl Read_Default_Values_From_Config_File(
        Default_Values_Record *record, Default_Values_Area *area, char *command_line,
        Default_Values_Count *count);
    VELMIRE_ENTRY int32_t __cdecl Config_Set_CD_Drive(char drive);
    VELMIRE_ENTRY int32_t __cdecl Play_Win32_Karnoth(Default_Values_Record *record,
                                                     Default_Values_Area *area,
                                                     Default_Values_Count count,
                                                     HINSTANCE instance, int show_state);
    VELMIRE_ENTRY uint32_t WINAPI W95_Serve_Message(uint32_t a, uint32_t b, uint32_t c,
                                                    uint32_t d);
}

#endif
