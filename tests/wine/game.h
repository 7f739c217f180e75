/*
 * Game folders for the Wine tests: a fresh folder with the programs, the
 * stand-in engine and "tamsel", programs started in it, files read back.
 */
#ifndef VELMIRE_TESTS_GAME_H
#define VELMIRE_TESTS_GAME_H

#include <windows.h>
#include <string>

struct Game_Folder
{
    std::string path;     /* Windows path, no trailing backslash */
    std::string log_path; /* the stand-in engine's call log */
};

/* The Win32 build's bin folder as a Windows path (from VELMIRE_BIN). */
std::string Game_Bin_Folder();

/* The test program's working folder, a full Windows path. */
std::string Game_Working_Folder();

/* A new, empty game folder "NAME" under the working directory (or NAME itself,
 * a full path into an existing folder), with copies of the programs,
 * Velmire.dll (unless with_engine is false) and "tamsel". */
Game_Folder Game_Folder_Create(const char *name, bool with_engine = true);

/* Starts a program of the folder with the folder as working directory; the
 * stand-in engine logs to the folder's log. args may be null. */
bool Game_Start(const Game_Folder &folder, const char *exe, const char *args,
                PROCESS_INFORMATION *process);
/* As Game_Start, with the whole command line as the program is to get it
 * (program name included) and, unless show_state is negative, that show state
 * in the start-up information (STARTF_USESHOWWINDOW). */
bool Game_Start_Command_Line(const Game_Folder &folder, const char *exe, const char *command_line,
                             int show_state, PROCESS_INFORMATION *process);
/* Waits for the process to end; false after the timeout (the process is then
 * killed). */
bool Game_Wait_Exit(PROCESS_INFORMATION *process, DWORD timeout_ms, DWORD *exit_code);

std::string Game_Read_File(const std::string &path);
bool Game_Write_File(const std::string &path, const std::string &bytes);
bool Game_File_Exists(const std::string &path);

/* The stand-in engine's log, one string per line (line ends dropped). */
std::string Game_Engine_Log(const Game_Folder &folder);

#endif
