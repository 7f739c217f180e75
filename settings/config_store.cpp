// Settings file store, the file side: one read, the edit in memory, the result
// written beside the file and put in its place, so a failure leaves it whole.
#include "config_store_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

// The whole file in one heap block with room for an entry after it (a missing
// file is empty); null when it cannot be opened in the mode or changes its size.
static unsigned char *Config_Load(const char *mode, size_t &size)
{
    size = 0;
    errno = 0;
    std::FILE *file = std::fopen(CONFIG_FILE_PATH, mode);
    if (!file)
        return errno == ENOENT ? static_cast<unsigned char *>(std::malloc(CONFIG_ENTRY_ROOM))
                               : nullptr;
    long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    size = static_cast<size_t>(length);
    unsigned char *bytes = nullptr;
    if (length >= 0 && std::fseek(file, 0, SEEK_SET) == 0)
        bytes = static_cast<unsigned char *>(std::malloc(size + CONFIG_ENTRY_ROOM));
    if (bytes && (std::fread(bytes, 1, size, file) != size || std::fgetc(file) != EOF))
    {
        std::free(bytes);
        bytes = nullptr;
    }
    std::fclose(file);
    return bytes;
}

int Config_Read_Setting(const char *key, int32_t &value)
{
    size_t size = 0;
    unsigned char *bytes = key ? Config_Load("rb", size) : nullptr;
    int found = bytes && Config_Find_Setting(bytes, size, key, value);
    std::free(bytes);
    return found;
}

void Config_Write_Setting(const char *key, int32_t value)
{
    // "r+b": a file that cannot be written (read-only, locked) is never replaced.
    size_t size = 0;
    unsigned char *bytes = Config_Is_Key(key) ? Config_Load("r+b", size) : nullptr;
    std::FILE *to = bytes ? std::fopen(CONFIG_TEMP_PATH, "wb") : nullptr;
    if (to)
    {
        size = Config_Store_Setting(bytes, size, key, value);
        // On the disk before it replaces the old file: after a power cut a
        // journal may keep the replace and lose unflushed data.
        int written = std::fwrite(bytes, 1, size, to) == size && Config_Flush_File(to);
        if (std::fclose(to) != 0 || !written ||
            !Config_Replace_File(CONFIG_TEMP_PATH, CONFIG_FILE_PATH))
            std::remove(CONFIG_TEMP_PATH);
    }
    std::free(bytes);
}
