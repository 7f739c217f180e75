// Settings file store, POSIX part: rename() replaces an existing file atomically.
#include "config_store_internal.h"

#include <cstdio>

const char CONFIG_FILE_PATH[] = "tamsel/config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel/config.new";

int Config_Replace_File(const char *from, const char *to)
{
    return std::rename(from, to) == 0;
}
