/*
 * The settings file's VirtualStore copy. Windows Vista and later, with UAC on,
 * redirect a legacy program's refused writes in a protected folder to a copy
 * under the user's local application data, and from then on give it that copy
 * to read. The launchers are such programs (gfxsetup has a manifest, so it is
 * not), so once the copy exists it is the file the game reads. Paths are
 * UTF-16 throughout: a profile or game folder may be named in any script.
 */
#include "gfxsetup.h"

#include <shlobj.h>
#include <string.h>

static const WCHAR VIRTUAL_STORE[] = L"\\VirtualStore";
static const char POLICY_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

/* The folders whose files Windows virtualizes, as the system names them to
 * every program, one after the other: the Windows folder, both Program Files
 * views (the 64-bit one only through ProgramW6432 in a 32-bit program),
 * ProgramData.
 * The environment has them without loading the shell, which costs every
 * start; the shell is asked only for the copy's own folder. */
static const WCHAR VIRTUALIZED_FOLDERS[] =
    L"SystemRoot\0ProgramFiles\0ProgramFiles(x86)\0ProgramW6432\0ProgramData\0";

typedef HRESULT(WINAPI *Folder_Path_Entry)(HWND, int, HANDLE, DWORD, LPWSTR);

/* lstrlenW, without one more import. */
static size_t Virtual_Length(const WCHAR *text)
{
    size_t length = 0;
    while (text[length])
        length++;
    return length;
}

/* Non-zero when the long path (length characters) lies inside the folder
 * (length characters, the system's long form; a length of 0 or MAX_PATH and
 * more is GetEnvironmentVariableW's: unset, or too long), compared as Windows
 * compares names, at a backslash. */
static int Virtual_Inside(const WCHAR *path, size_t path_length, const WCHAR *folder, size_t length)
{
    if (length < 3 || length >= MAX_PATH || path_length <= length || path[length] != '\\')
        return 0;
    WCHAR head[MAX_PATH];
    memcpy(head, path, length * sizeof(WCHAR));
    head[length] = 0;
    return lstrcmpiW(head, folder) == 0;
}

/* The user's local application data folder, from the shell (loaded for it
 * alone); 0 where it has none. */
static int Virtual_Local_Folder(WCHAR *folder)
{
    HMODULE shell = LoadLibraryExA("shell32.dll", NULL, 0);
    Folder_Path_Entry folder_path =
        shell ? (Folder_Path_Entry)(void (*)(void))GetProcAddress(shell, "SHGetFolderPathW") : NULL;
    int found = folder_path &&
                folder_path(NULL, CSIDL_LOCAL_APPDATA, NULL, SHGFP_TYPE_CURRENT, folder) == S_OK;
    if (shell)
        FreeLibrary(shell);
    return found;
}

int Virtual_Store_Path(const WCHAR *path, WCHAR *copy)
{
    WCHAR folder[MAX_PATH];
    size_t length = Virtual_Length(path);
    int inside = 0;
    for (const WCHAR *name = VIRTUALIZED_FOLDERS; *name && !inside;
         name += Virtual_Length(name) + 1)
        inside =
            Virtual_Inside(path, length, folder, GetEnvironmentVariableW(name, folder, MAX_PATH));
    /* The copy's path: the local folder, "\VirtualStore", the path without its drive. */
    if (!inside || path[1] != ':' || !Virtual_Local_Folder(copy) ||
        Virtual_Length(copy) + sizeof VIRTUAL_STORE / sizeof(WCHAR) + (length - 2) > MAX_PATH)
    {
        copy[0] = 0;
        return 0;
    }
    WCHAR *end = copy + Virtual_Length(copy);
    memcpy(end, VIRTUAL_STORE, sizeof VIRTUAL_STORE - sizeof(WCHAR));
    memcpy(end + sizeof VIRTUAL_STORE / sizeof(WCHAR) - 1, path + 2, (length - 1) * sizeof(WCHAR));
    return 1;
}

/* A policy value that is missing counts as on, as Windows takes it. */
static int Virtual_Policy_On(HKEY key, const char *name)
{
    DWORD value = 1, type = REG_DWORD, size = sizeof value;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 1;
    return value != 0;
}

int Virtual_Store_Active(void)
{
    /* Windows Vista and later, told by an entry they brought: a compatibility
     * mode that reports an older version does not change it. */
    if (!GetProcAddress(GetModuleHandleA("kernel32"), "GetTickCount64"))
        return 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, POLICY_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return 1;
    int on = Virtual_Policy_On(key, "EnableLUA") && Virtual_Policy_On(key, "EnableVirtualization");
    RegCloseKey(key);
    return on;
}

DWORD Virtual_Store_Make_Copy(const WCHAR *path, const WCHAR *copy)
{
    /* Its folders first, each one below the drive's root in turn. */
    WCHAR folder[MAX_PATH];
    memcpy(folder, copy, (Virtual_Length(copy) + 1) * sizeof(WCHAR));
    for (WCHAR *at = folder + 3; *at; at++)
    {
        if (*at != '\\')
            continue;
        *at = 0;
        CreateDirectoryW(folder, NULL);
        *at = '\\';
    }
    /* Then the file's bytes; with no file there, the store starts it. */
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return 0;
    return CopyFileW(path, copy, TRUE) ? 0 : GetLastError();
}
