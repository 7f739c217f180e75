// Settings file store, Windows part. Paths arrive in UTF-8 and reach the
// system as UTF-16, so a game or profile folder named in any script is found
// whatever the ANSI code page. ReplaceFileW keeps the old file's attributes and
// security, and refuses a read-only one (also under Wine as root).
#include "config_store_internal.h"

#include <cerrno>
#include <io.h>
#include <windows.h>

const char CONFIG_FILE_PATH[] = "tamsel\\config.dat";
const unsigned long CONFIG_INVALID_KEY = ERROR_INVALID_PARAMETER;
const unsigned long CONFIG_PATH_TOO_LONG = ERROR_FILENAME_EXCED_RANGE;
const unsigned long CONFIG_NO_SYSTEM_CODE = 0x20000001; // APPLICATION_ERROR_MASK | 1

void Config_Clear_Error()
{
    SetLastError(ERROR_SUCCESS);
}

// msvcrt's file functions leave the failed system call's code behind.
unsigned long Config_Last_Error()
{
    DWORD error = GetLastError();
    return error ? error : CONFIG_NO_SYSTEM_CODE;
}

// The UTF-16 form of a UTF-8 path (CONFIG_PATH_SIZE characters fit any);
// 0, with the reason as the last error, for bytes that are no UTF-8.
static int Config_Wide_Path(const char *path, wchar_t *wide)
{
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, CONFIG_PATH_SIZE);
}

std::FILE *Config_Open_File(const char *path, const char *mode)
{
    wchar_t wide[CONFIG_PATH_SIZE];
    wchar_t wide_mode[4] = {};
    for (int i = 0; i < 3 && mode[i]; i++)
        wide_mode[i] = static_cast<wchar_t>(mode[i]);
    if (!Config_Wide_Path(path, wide))
    {
        errno = EINVAL; // not "no such file": nothing may be created in its place
        return nullptr;
    }
    return _wfopen(wide, wide_mode);
}

int Config_Remove_File(const char *path)
{
    wchar_t wide[CONFIG_PATH_SIZE];
    return Config_Wide_Path(path, wide) && DeleteFileW(wide);
}

int Config_Flush_File(std::FILE *file)
{
    // _commit is FlushFileBuffers on the stream's handle.
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

int Config_Replace_File(const char *from, const char *to)
{
    wchar_t wide_from[CONFIG_PATH_SIZE], wide_to[CONFIG_PATH_SIZE];
    if (!Config_Wide_Path(from, wide_from) || !Config_Wide_Path(to, wide_to))
        return 0;
    if (GetFileAttributesW(wide_to) == INVALID_FILE_ATTRIBUTES)
        return MoveFileExW(wide_from, wide_to, MOVEFILE_REPLACE_EXISTING) != 0; // the first one
    if (ReplaceFileW(wide_to, wide_from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr))
        return 1;
    // This failure has already taken the old file away: the new one goes in its place.
    return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
           MoveFileExW(wide_from, wide_to, MOVEFILE_REPLACE_EXISTING) != 0;
}
