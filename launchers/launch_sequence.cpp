/*
 * The launch sequence of both launchers: keep the start-up arguments, register
 * the callback, let the engine fill the launch storage, and play.
 */
#include "launcher.h"

HINSTANCE Launcher_Instance;
char Launcher_Command_Line[LAUNCHER_COMMAND_LINE_SIZE];
int32_t Launcher_Show_State;

/* The engine's message loop calls back through here; nothing is added. */
uint32_t WINAPI Message_Loop_Callback(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    return W95_Serve_Message(a, b, c, d);
}

void Launcher_Start(HINSTANCE instance, const char *command_line, int show_state)
{
    /* A longer line is cut to what the buffer holds, terminator included. */
    lstrcpynA(Launcher_Command_Line, command_line, sizeof Launcher_Command_Line);
    Launcher_Instance = instance;
    Launcher_Show_State = show_state;
    W95_Set_Message_Loop_Caller(Message_Loop_Callback);
}

int Load_Launch_Settings(Default_Values_Record *record, Default_Values_Area *area,
                         Default_Values_Count *count)
{
    Read_Default_Values_From_Config_File(record, area, Launcher_Command_Line, count);
    Launcher_Drive_Step();
    /* Replaces whatever the engine read: the launcher decides where play starts from. */
    record->Installed_Launch_Flag = Launcher_Installed_Launch_Flag;
    return 1;
}

int Launch_Game(void)
{
    /* The engine fills these and keeps using them until play ends. */
    Default_Values_Record record;
    Default_Values_Area area;
    Default_Values_Count count;

    if (Load_Launch_Settings(&record, &area, &count))
        Play_Win32_Karnoth(&record, &area, count, Launcher_Instance, Launcher_Show_State);
    return 0;
}
