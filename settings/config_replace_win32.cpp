// Settings file store, Windows part. ReplaceFileA keeps the old file's attributes
// and security, and refuses a read-only one (also under Wine as root).
#include "config_store_internal.h"

#include <io.h>
#include <windows.h>

const char CONFIG_FILE_PATH[] = "tamsel\\config.dat";
const unsigned long CONFIG_INVALID_KEY = ERROR_INVALID_PARAMETER;
const unsigned long CONFIG_PATH_TOO_LONG = ERROR_FILENAME_EXCED_RANGE;

void Config_Clear_Error()
{
    SetLastError(ERROR_SUCCESS);
}

// msvcrt's file functions leave the failed system call's code behind.
unsigned long Config_Last_Error()
{
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

int Config_Flush_File(std::FILE *file)
{
    // _commit is FlushFileBuffers on the stream's handle.
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

int Config_Replace_File(const char *from, const char *to)
{
    if (GetFileAttributesA(to) == INVALID_FILE_ATTRIBUTES)
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0; // the first one
    if (ReplaceFileA(to, from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return 1;
    // This failure has already taken the old file away: the new one goes in its place.
    return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
           MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}
