/*
 * The launch sequence that cdlaunch and launch share: the start-up arguments
 * kept for the engine, the message callback, and the start of play.
 */
#ifndef VELMIRE_LAUNCHERS_LAUNCHER_H
#define VELMIRE_LAUNCHERS_LAUNCHER_H

#include "velmire.h"

/* Written by the installer under HKEY_LOCAL_MACHINE. */
#define INSTALLATION_KEY "SOFTWARE\\Orvane Interactive\\Karnoth Velmire"
#define INSTALLATION_VALUE_PATH "PATH"
#define INSTALLATION_VALUE_CD_DRIVE "INSTALLCD"

enum
{
    LAUNCHER_COMMAND_LINE_SIZE = 256
};

/* Module storage: the engine keeps the command line's address for the whole run. */
extern HINSTANCE Launcher_Instance;
extern char Launcher_Command_Line[LAUNCHER_COMMAND_LINE_SIZE];
extern int32_t Launcher_Show_State;

uint32_t WINAPI Message_Loop_Callback(uint32_t a, uint32_t b, uint32_t c, uint32_t d);

/* Keeps WinMain's arguments and registers the callback: before any other
 * engine call, so the engine never sees an empty buffer or no callback. */
void Launcher_Start(HINSTANCE instance, const char *command_line, int show_state);

/* Fills the launch storage and plays; 0 whatever the engine says. */
int Launch_Game(void);
int Load_Launch_Settings(Default_Values_Record *record, Default_Values_Area *area,
                         Default_Values_Count *count);

/* What each launcher adds to Load_Launch_Settings. */
void Launcher_Drive_Step(void);
extern const int32_t Launcher_Installed_Launch_Flag;

/* Opens the installation key for reading only: nothing here writes it, and a
 * player without administrator rights may read it. 1 with the key, else 0. */
int Installation_Key_Open(HKEY *key);

#endif
