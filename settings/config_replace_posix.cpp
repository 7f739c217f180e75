// Settings file store, POSIX part: rename() replaces an existing file atomically;
// fsync of the file before it and of the folder after it make both durable.
#include "config_store_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

const char CONFIG_FILE_PATH[] = "tamsel/config.dat";
const unsigned long CONFIG_INVALID_KEY = EINVAL;
const unsigned long CONFIG_PATH_TOO_LONG = ENAMETOOLONG;
const unsigned long CONFIG_NO_SYSTEM_CODE = EIO;

void Config_Clear_Error()
{
    errno = 0;
}

unsigned long Config_Last_Error()
{
    return errno ? static_cast<unsigned long>(errno) : CONFIG_NO_SYSTEM_CODE;
}

std::FILE *Config_Open_File(const char *path, const char *mode)
{
    return std::fopen(path, mode);
}

int Config_Remove_File(const char *path)
{
    return std::remove(path) == 0;
}

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
    char folder_path[CONFIG_PATH_SIZE] = ".";
    const char *slash = std::strrchr(to, '/');
    size_t length = slash ? static_cast<size_t>(slash - to) : 0;
    if (length > 0 && length < sizeof folder_path)
    {
        std::memcpy(folder_path, to, length);
        folder_path[length] = '\0';
    }
    int folder = open(folder_path, O_RDONLY | O_DIRECTORY);
    if (folder >= 0)
    {
        fsync(folder);
        close(folder);
    }
    return 1;
}
