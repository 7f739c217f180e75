/*
 * The message for settings that did not read back after the save: where the
 * file is and, from a look at the folder and the file, the likely cause in a
 * player's words. The store itself reports nothing.
 */
#include "gfxsetup.h"

#include "config_store_internal.h" /* the settings file's paths */

#include <stdio.h>

static const char SAVE_CAPTION[] = "Karnoth Velmire Graphics Setup";
static const char SAVE_FORMAT[] = "The graphics settings were not saved in\n%s\n\n%s";
static const char SAVE_NO_FOLDER_TEXT[] =
    "There is no \"tamsel\" folder here: start gfxsetup from the game's folder.";
static const char SAVE_DENIED_TEXT[] = "Write-protected or access denied: run gfxsetup as "
                                       "administrator, or let the game folder be written.";
static const char SAVE_HIDDEN_TEXT[] =
    "Written, but a line before an entry hides it, from the game too: check or delete the file.";

/* 0 when the file opens in the mode; else the system's error code. */
static DWORD Save_Try_Open(const char *path, const char *mode)
{
    FILE *file = fopen(path, mode);
    if (!file)
        return GetLastError();
    fclose(file);
    return 0;
}

/* The cause's text; where none fits, the system's own (in system_text). */
static const char *Save_Cause(char *system_text, DWORD size)
{
    DWORD folder = GetFileAttributesA("tamsel");
    if (folder == INVALID_FILE_ATTRIBUTES || !(folder & FILE_ATTRIBUTE_DIRECTORY))
        return SAVE_NO_FOLDER_TEXT;
    /* Marked read-only: refused on Windows, even where the system lets this
     * user open it (root under Wine). */
    DWORD file = GetFileAttributesA(CONFIG_FILE_PATH);
    if (file != INVALID_FILE_ATTRIBUTES && (file & FILE_ATTRIBUTE_READONLY))
        return SAVE_DENIED_TEXT;
    /* As the store opens the file, then as it writes the new one beside it. */
    DWORD file_error = Save_Try_Open(CONFIG_FILE_PATH, "r+b");
    DWORD error = file_error;
    if (!error || error == ERROR_FILE_NOT_FOUND)
    {
        error = Save_Try_Open(CONFIG_TEMP_PATH, "wb");
        remove(CONFIG_TEMP_PATH);
    }
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
        return SAVE_DENIED_TEXT;
    /* Both writable and the file there: the store wrote it, a reader missed an entry. */
    if (!error && !file_error)
        return SAVE_HIDDEN_TEXT;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                   error ? error : file_error, 0, system_text, size, NULL);
    return system_text;
}

void Setup_Report_Not_Saved(void)
{
    char path[MAX_PATH];
    char system_text[256] = "";
    char text[1024]; /* wsprintfA's most */
    DWORD length = GetFullPathNameA(CONFIG_FILE_PATH, sizeof path, path, NULL);
    wsprintfA(text, SAVE_FORMAT, length && length < sizeof path ? path : CONFIG_FILE_PATH,
              Save_Cause(system_text, sizeof system_text));
    MessageBoxA(NULL, text, SAVE_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}
