// Settings file store, the file side: one read, the edit in memory, the result
// written beside the file and put in its place, so a failure leaves it whole.
#include "config_store_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The whole file in one heap block with room for an entry after it (a missing
// file is empty); null when it cannot be opened in the mode or read whole.
static unsigned char *Config_Load(const char *path, const char *mode, size_t &size,
                                  unsigned long &error)
{
    size = 0;
    errno = 0;
    Config_Clear_Error();
    std::FILE *file = Config_Open_File(path, mode);
    if (!file)
    {
        if (errno == ENOENT)
            return static_cast<unsigned char *>(std::malloc(CONFIG_ENTRY_ROOM));
        error = Config_Last_Error();
        return nullptr;
    }
    Config_Clear_Error();
    long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    size = static_cast<size_t>(length);
    unsigned char *bytes = nullptr;
    if (length >= 0 && std::fseek(file, 0, SEEK_SET) == 0)
        bytes = static_cast<unsigned char *>(std::malloc(size + CONFIG_ENTRY_ROOM));
    // A file that grew or shrank since its size was taken is not the one measured.
    if (!bytes || std::fread(bytes, 1, size, file) != size || std::fgetc(file) != EOF)
    {
        error = Config_Last_Error();
        std::free(bytes);
        bytes = nullptr;
    }
    std::fclose(file);
    return bytes;
}

// The file that a store writes beside "path": ".dat" at its end, or the
// end, becomes ".new" ("tamsel\config.new").
static void Config_Temp_Path(const char *path, size_t length, char *temp)
{
    length -= length >= 4 && std::memcmp(path + length - 4, ".dat", 4) == 0 ? 4 : 0;
    std::memcpy(temp, path, length);
    std::memcpy(temp + length, ".new", sizeof ".new");
}

int Config_Read_Setting_In(const char *path, const char *key, int32_t &value)
{
    size_t size = 0;
    unsigned long error = 0;
    unsigned char *bytes = key ? Config_Load(path, "rb", size, error) : nullptr;
    int found = bytes && Config_Find_Setting(bytes, size, key, value);
    std::free(bytes);
    return found;
}

unsigned long Config_Write_Setting_In(const char *path, const char *key, int32_t value)
{
    char temp[CONFIG_PATH_SIZE];
    size_t length = std::strlen(path);
    if (!Config_Is_Key(key))
        return CONFIG_INVALID_KEY;
    if (length + sizeof ".new" > sizeof temp)
        return CONFIG_PATH_TOO_LONG;
    Config_Temp_Path(path, length, temp);
    // "r+b": a file that cannot be written (read-only, locked) is never replaced.
    size_t size = 0;
    unsigned long error = 0;
    unsigned char *bytes = Config_Load(path, "r+b", size, error);
    if (!bytes)
        return error;
    Config_Clear_Error();
    std::FILE *to = Config_Open_File(temp, "wb");
    if (!to)
    {
        std::free(bytes);
        return Config_Last_Error();
    }
    size = Config_Store_Setting(bytes, size, key, value);
    Config_Clear_Error();
    // On the disk before it replaces the old file: after a power cut a
    // journal may keep the replace and lose unflushed data.
    if (std::fwrite(bytes, 1, size, to) != size || !Config_Flush_File(to))
        error = Config_Last_Error();
    if (std::fclose(to) != 0 && !error)
        error = Config_Last_Error();
    Config_Clear_Error();
    if (!error && !Config_Replace_File(temp, path))
        error = Config_Last_Error();
    if (error)
        Config_Remove_File(temp);
    std::free(bytes);
    return error;
}

int Config_Read_Setting(const char *key, int32_t &value)
{
    return Config_Read_Setting_In(CONFIG_FILE_PATH, key, value);
}

void Config_Write_Setting(const char *key, int32_t value)
{
    Config_Write_Setting_In(CONFIG_FILE_PATH, key, value);
}
