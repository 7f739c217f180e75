/*
 * Game folders for the Wine tests.
 */
#include "game.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

std::string Game_Bin_Folder()
{
    const char *bin = getenv("VELMIRE_BIN");
    std::string path;
    if (!bin || !*bin)
        return path;
    if (bin[0] == '/')
        path = "Z:"; /* Wine maps the Unix root to drive Z: */
    for (const char *p = bin; *p; ++p)
        path += *p == '/' ? '\\' : *p;
    return path;
}

std::string Game_Working_Folder()
{
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

Game_Folder Game_Folder_Create(const char *name, bool with_engine)
{
    Game_Folder folder;
    /* A full path ("C:\\...") names the folder itself. */
    folder.path =
        name[0] && name[1] == ':' ? std::string(name) : Game_Working_Folder() + "\\" + name;
    folder.log_path = folder.path + "\\engine.log";
    CreateDirectoryA(folder.path.c_str(), NULL);
    CreateDirectoryA((folder.path + "\\tamsel").c_str(), NULL);
    const char *files[] = {"gfxsetup.exe", "cdlaunch.exe", "launch.exe", "Velmire.dll"};
    std::string bin = Game_Bin_Folder();
    for (const char *file : files)
    {
        if (!with_engine && strcmp(file, "Velmire.dll") == 0)
            continue;
        std::string from = bin + "\\" + file;
        if (GetFileAttributesA(from.c_str()) != INVALID_FILE_ATTRIBUTES)
            CopyFileA(from.c_str(), (folder.path + "\\" + file).c_str(), FALSE);
    }
    DeleteFileA(folder.log_path.c_str());
    return folder;
}

bool Game_Start(const Game_Folder &folder, const char *exe, const char *args,
                PROCESS_INFORMATION *process)
{
    std::string command_line = "\"" + folder.path + "\\" + exe + "\"";
    if (args && *args)
        command_line += std::string(" ") + args;
    return Game_Start_Command_Line(folder, exe, command_line.c_str(), -1, process);
}

bool Game_Start_Command_Line(const Game_Folder &folder, const char *exe, const char *command_line,
                             int show_state, PROCESS_INFORMATION *process)
{
    std::string program = folder.path + "\\" + exe;
    SetEnvironmentVariableA("VELMIRE_STANDIN_LOG", folder.log_path.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (show_state >= 0)
    {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = (WORD)show_state;
    }
    std::string buffer = command_line;
    BOOL started = CreateProcessA(program.c_str(), &buffer[0], NULL, NULL, FALSE, 0, NULL,
                                  folder.path.c_str(), &startup, process);
    return started != 0;
}

bool Game_Wait_Exit(PROCESS_INFORMATION *process, DWORD timeout_ms, DWORD *exit_code)
{
    bool ended = WaitForSingleObject(process->hProcess, timeout_ms) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process->hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(process->hProcess, &code);
    if (exit_code)
        *exit_code = code;
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    process->hThread = process->hProcess = NULL;
    return ended;
}

std::string Game_Read_File(const std::string &path)
{
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

bool Game_Write_File(const std::string &path, const std::string &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

bool Game_File_Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Game_Engine_Log(const Game_Folder &folder)
{
    return Game_Read_File(folder.log_path);
}
