// Settings file store, Windows part: replacing the settings file by the
// rewritten one. rename() refuses an existing target on Windows, so MoveFileExA
// does it.
#include "config_store_internal.h"

#include <windows.h>

int Config_Replace_File(const char *from, const char *to)
{
    // A read-only settings file is kept as it is. Windows refuses to replace
    // one anyway; the check makes that hold where the file system would not
    // (Wine running as root).
    DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 0;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}
