// Settings file store, Windows part. ReplaceFileA keeps the old file's attributes
// and security, and refuses a read-only one (also under Wine as root).
#include "config_store_internal.h"

#include <io.h>
#include <windows.h>

const char CONFIG_FILE_PATH[] = "tamsel\\config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel\\config.new";

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
