// Settings file store, Windows part: the paths, and MoveFileExA, since rename()
// refuses an existing target on Windows.
#include "config_store_internal.h"

#include <windows.h>

const char CONFIG_FILE_PATH[] = "tamsel\\config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel\\config.new";

int Config_Replace_File(const char *from, const char *to)
{
    // A read-only settings file stays, also where it could be replaced (Wine as root).
    DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 0;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}
