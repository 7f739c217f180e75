/*
 * The message for settings that did not read back after the save: which file
 * and, from the store's error code (and the folder's and the file's
 * attributes where the code alone cannot tell), the cause in a player's words.
 * In UTF-16, so the path shows as it is, whatever the ANSI code page holds.
 */
#include "gfxsetup.h"

#include "config_store.h"

#include <string.h>

static const char SAVE_CAPTION[] = "Karnoth Velmire Graphics Setup";
static const char SAVE_FORMAT[] = "The graphics settings were not saved in\n%s\n\n%s";
static const char SAVE_NO_FOLDER_TEXT[] =
    "There is no \"tamsel\" folder here: start gfxsetup from the game's folder.";
static const char SAVE_DENIED_TEXT[] = "Write-protected or access denied: run gfxsetup as "
                                       "administrator, or let the game folder be written.";
static const char SAVE_HIDDEN_TEXT[] =
    "Written, but a line before an entry hides it, from the game too: check or delete the file.";
static const char SAVE_CHANGED_TEXT[] =
    "The file changed while it was being saved: close the game, then try again.";

/* Our own text for the cause, or null where the system's fits. */
static const char *Save_Own_Cause(const WCHAR *path, DWORD error, int is_copy)
{
    /* The file's folder: the path up to its last backslash. */
    WCHAR folder[MAX_PATH];
    WCHAR *name = folder;
    for (int i = 0; (folder[i] = path[i]) != 0; i++)
        if (path[i] == '\\')
            name = folder + i;
    *name = 0;
    DWORD attributes = GetFileAttributesW(folder);
    if (!is_copy &&
        (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return SAVE_NO_FOLDER_TEXT;
    /* Marked read-only: refused on Windows, even where the system lets this
     * user open it (root under Wine). */
    attributes = GetFileAttributesW(path);
    if ((attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) ||
        error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
        return SAVE_DENIED_TEXT;
    /* Every store succeeded, so a reader missed an entry. */
    if (!error)
        return SAVE_HIDDEN_TEXT;
    /* A step that failed without the system's word for it. */
    if (error == CONFIG_NO_SYSTEM_CODE)
        return SAVE_CHANGED_TEXT;
    return NULL;
}

void Setup_Report_Not_Saved(const WCHAR *path, DWORD error, int is_copy)
{
    /* Off the stack, which holds the run's paths below this. The path, the
     * format and the cause fit. */
    static WCHAR cause[256];
    static WCHAR text[MAX_PATH + 64 + 256];
    WCHAR format[sizeof SAVE_FORMAT], caption[sizeof SAVE_CAPTION];
    const char *own = Save_Own_Cause(path, error, is_copy);
    if (own)
        Setup_Widen(cause, own);
    else
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                       cause, sizeof cause / sizeof cause[0], NULL);
    Setup_Widen(format, SAVE_FORMAT);
    wsprintfW(text, format, path, cause);
    Setup_Widen(caption, SAVE_CAPTION);
    MessageBoxW(NULL, text, caption, MB_OK | MB_ICONEXCLAMATION);
}
