/*
 * The message for settings that did not read back after the save: which file
 * and, from the store's error code (and the folder's and the file's
 * attributes where the code alone cannot tell), the cause in a player's words.
 * In UTF-16, so the path shows as it is, whatever the ANSI code page holds.
 */
#include "gfxsetup.h"

#include "config_store.h"

#include <string.h>

static const WCHAR SAVE_CAPTION[] = L"Karnoth Velmire Graphics Setup";
static const WCHAR SAVE_FORMAT[] = L"The graphics settings were not saved in\n%s\n\n%s";
/* Ours are ASCII: widened as they are. */
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
    memcpy(folder, path, (lstrlenW(path) + 1) * sizeof(WCHAR));
    WCHAR *name = folder;
    for (WCHAR *at = folder; *at; at++)
        if (*at == '\\')
            name = at;
    *name = 0;
    DWORD attributes = GetFileAttributesW(folder);
    if (!is_copy && (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)))
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
    WCHAR cause[256] = L""; /* where the system has no text either */
    WCHAR text[1024];       /* wsprintfW's most */
    const char *own = Save_Own_Cause(path, error, is_copy);
    if (own)
        for (int i = 0; (cause[i] = (unsigned char)own[i]) != 0; i++)
            ;
    else
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                       cause, sizeof cause / sizeof cause[0], NULL);
    wsprintfW(text, SAVE_FORMAT, path, cause);
    MessageBoxW(NULL, text, SAVE_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}
