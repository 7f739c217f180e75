// Settings file store, POSIX part: rename() replaces an existing file atomically;
// fsync of the file before it and of the folder after it make both durable.
#include "config_store_internal.h"

#include <fcntl.h>
#include <unistd.h>

const char CONFIG_FILE_PATH[] = "tamsel/config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel/config.new";
static const char CONFIG_FOLDER_PATH[] = "tamsel";

int Config_Flush_File(std::FILE *file)
{
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

int Config_Replace_File(const char *from, const char *to)
{
    if (std::rename(from, to) != 0)
        return 0;
    // The rename is done and cannot be undone: a folder that will not sync
    // still holds the new file.
    int folder = open(CONFIG_FOLDER_PATH, O_RDONLY | O_DIRECTORY);
    if (folder >= 0)
    {
        fsync(folder);
        close(folder);
    }
    return 1;
}
