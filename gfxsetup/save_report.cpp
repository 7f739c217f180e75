/*
 * The message for settings that did not read back after the save: which file
 * and, from the store's error code (and the folder's and the file's
 * attributes where the code alone cannot tell), the cause in a player's words.
 */
#include "gfxsetup.h"

#include <string.h>

static const char SAVE_CAPTION[] = "Karnoth Velmire Graphics Setup";
static const char SAVE_FORMAT[] = "The graphics settings were not saved in\n%s\n\n%s";
static const char SAVE_NO_FOLDER_TEXT[] =
    "There is no \"tamsel\" folder here: start gfxsetup from the game's folder.";
static const char SAVE_DENIED_TEXT[] = "Write-protected or access denied: run gfxsetup as "
                                       "administrator, or let the game folder be written.";
static const char SAVE_HIDDEN_TEXT[] =
    "Written, but a line before an entry hides it, from the game too: check or delete the file.";

/* The cause's text; where none fits, the system's own (in system_text). */
static const char *Save_Cause(const char *path, DWORD error, char *system_text, DWORD size)
{
    /* The file's folder: the path up to its last backslash. */
    char folder[MAX_PATH];
    memcpy(folder, path, strlen(path) + 1);
    char *name = folder;
    for (char *at = folder; *at; at = CharNextA(at))
        if (*at == '\\')
            name = at;
    *name = '\0';
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return SAVE_NO_FOLDER_TEXT;
    /* Marked read-only: refused on Windows, even where the system lets this
     * user open it (root under Wine). */
    attributes = GetFileAttributesA(path);
    if ((attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) ||
        error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
        return SAVE_DENIED_TEXT;
    /* Every store succeeded, so a reader missed an entry. */
    if (!error)
        return SAVE_HIDDEN_TEXT;
    system_text[0] = '\0'; /* where the system has no text either */
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                   system_text, size, NULL);
    return system_text;
}

void Setup_Report_Not_Saved(const char *path, DWORD error)
{
    char system_text[256];
    char text[1024]; /* wsprintfA's most */
    wsprintfA(text, SAVE_FORMAT, path, Save_Cause(path, error, system_text, sizeof system_text));
    MessageBoxA(NULL, text, SAVE_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}
