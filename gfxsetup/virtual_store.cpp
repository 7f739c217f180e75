/*
 * The settings file's VirtualStore copy. Windows Vista and later, with UAC on,
 * redirect a legacy program's refused writes in a protected folder to a copy
 * under the user's local application data, and from then on give it that copy
 * to read. The launchers are such programs (gfxsetup has a manifest, so it is
 * not), so once the copy exists it is the file the game reads.
 */
#include "gfxsetup.h"

#include <shlobj.h>
#include <string.h>

static const char VIRTUAL_STORE[] = "\\VirtualStore";
static const char POLICY_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

/* The folders whose files Windows virtualizes, both Program Files views among them. */
static const int VIRTUALIZED_FOLDERS[] = {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                                          CSIDL_WINDOWS, CSIDL_COMMON_APPDATA};

/* Non-zero when the long path (length bytes) lies inside the folder (as the
 * system gives it, in its long form), compared as Windows compares names, at
 * a backslash. */
static int Virtual_Inside(const char *path, size_t path_length, const char *folder)
{
    char head[MAX_PATH];
    size_t length = strlen(folder);
    if (length < 3 || path_length <= length || path[length] != '\\')
        return 0;
    memcpy(head, path, length);
    head[length] = '\0';
    return lstrcmpiA(head, folder) == 0;
}

int Virtual_Store_Path(const char *path, char *copy)
{
    char folder[MAX_PATH];
    size_t length = strlen(path);
    int inside = 0;
    for (int i = 0; i < 4 && !inside; i++)
        if (SHGetFolderPathA(NULL, VIRTUALIZED_FOLDERS[i], NULL, SHGFP_TYPE_CURRENT, folder) ==
            S_OK)
            inside = Virtual_Inside(path, length, folder);
    /* The 64-bit Program Files, which no CSIDL names to a 32-bit program
     * (a length of 1 to MAX_PATH - 1: set, and it fits). */
    if (!inside && GetEnvironmentVariableA("ProgramW6432", folder, MAX_PATH) - 1u < MAX_PATH - 1u)
        inside = Virtual_Inside(path, length, folder);
    /* The copy's path: the local folder, "\VirtualStore", the path without its drive. */
    if (!inside || path[1] != ':' ||
        SHGetFolderPathA(NULL, CSIDL_LOCAL_APPDATA, NULL, SHGFP_TYPE_CURRENT, copy) != S_OK ||
        strlen(copy) + sizeof VIRTUAL_STORE + (length - 2) > MAX_PATH)
    {
        copy[0] = '\0';
        return 0;
    }
    char *end = copy + strlen(copy);
    memcpy(end, VIRTUAL_STORE, sizeof VIRTUAL_STORE - 1);
    memcpy(end + sizeof VIRTUAL_STORE - 1, path + 2, length - 1);
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

DWORD Virtual_Store_Make_Copy(const char *path, const char *copy)
{
    /* Its folders first, each one below the drive's root in turn. */
    char folder[MAX_PATH];
    memcpy(folder, copy, strlen(copy) + 1);
    for (char *at = folder + 3; *at; at = CharNextA(at))
    {
        if (*at != '\\')
            continue;
        *at = '\0';
        CreateDirectoryA(folder, NULL);
        *at = '\\';
    }
    /* Then the file's bytes; with no file there, the store starts it. */
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 0;
    return CopyFileA(path, copy, TRUE) ? 0 : GetLastError();
}
