// Settings file store, POSIX part: replacing the settings file by the
// rewritten one. rename() replaces an existing file atomically here.
#include "config_store_internal.h"

#include <cstdio>

int Config_Replace_File(const char *from, const char *to)
{
    return std::rename(from, to) == 0;
}
