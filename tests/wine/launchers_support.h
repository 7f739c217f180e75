/*
 * What the launcher tests share: the installer's registry key, runs of a
 * launcher with the stand-in engine's log, and CD drives made with Wine's
 * mount manager.
 */
#ifndef VELMIRE_TESTS_LAUNCHERS_SUPPORT_H
#define VELMIRE_TESTS_LAUNCHERS_SUPPORT_H

#include "game.h"

#include <string>
#include <vector>

/* The installer's key under HKEY_LOCAL_MACHINE, deleted and written by the tests. */
#define TEST_INSTALLATION_KEY "SOFTWARE\\Orvane Interactive\\Karnoth Velmire"

enum
{
    LAUNCHER_TIMEOUT_MS = 30000
};

void Installation_Key_Delete();
/* Creates the key (when missing) and sets a value of exactly these bytes. */
bool Installation_Value_Set(const char *name, DWORD type, const std::string &bytes);
bool Installation_Key_Create();
/* Lets everyone read the key but nobody write it, as for a player without
 * administrator rights; the tests may still delete it. */
bool Installation_Key_Make_Read_Only();

struct Launcher_Run
{
    bool started;
    bool ended; /* false: killed after LAUNCHER_TIMEOUT_MS */
    DWORD exit_code;
    std::vector<std::string> log; /* the stand-in engine's lines */
};

/* Runs EXE of the folder with no arguments and waits for it. */
Launcher_Run Launcher_Run_Plain(const Game_Folder &folder, const char *exe);
/* Runs EXE with the whole command line given and the show state (-1: none). */
Launcher_Run Launcher_Run_Command_Line(const Game_Folder &folder, const char *exe,
                                       const std::string &command_line, int show_state);

/* The stand-in engine's lines for the folder's last run. */
std::vector<std::string> Engine_Log_Lines(const Game_Folder &folder);
/* The first word of each log line: the calls in the order made. */
std::vector<std::string> Log_Calls(const std::vector<std::string> &log);
/* The calls of a run that reaches play, with or without a drive for the engine. */
std::vector<std::string> Launch_Calls(bool with_drive);
/* The lines that start with NAME. */
std::vector<std::string> Log_Lines_Of(const std::vector<std::string> &log, const char *name);

/* Drives for the CD search, on letters that the test prefix does not use. */
enum Test_Drive_Kind
{
    CD_WITH_MARKER,    /* a CD-ROM drive holding the game CD */
    CD_WITHOUT_MARKER, /* a CD-ROM drive holding another disc */
    CD_EMPTY,          /* a CD-ROM drive without a disc */
    FIXED_WITH_MARKER  /* a hard disk that happens to hold the marker file */
};

/* Makes drive LETTER of that kind: a folder under the working directory
 * mounted through Wine's mount manager (dosdevices link and drive type). */
bool Test_Drive_Define(char letter, Test_Drive_Kind kind);
/* Removes a drive made by Test_Drive_Define; false when the letter belongs
 * to something else (then it is left alone). */
bool Test_Drive_Remove(char letter);
/* The drive's type as a program sees it. */
UINT Test_Drive_Type(char letter);

#endif
