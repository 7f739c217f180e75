// Settings file store: the file side of reads and stores. A store reads the
// whole file once, edits it in memory (config_core.cpp), writes the result to a
// new file beside it and puts that in its place, so a failure leaves the old
// file whole.
#include "config_store_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
const char CONFIG_FILE_PATH[] = "tamsel\\config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel\\config.new";
#else
const char CONFIG_FILE_PATH[] = "tamsel/config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel/config.new";
#endif

namespace
{

// The whole settings file in one heap block, with room for an entry after it;
// a missing file reads as empty. Null, and nothing to free, when the file cannot
// be opened in the mode, measured or read to its end (it grew meanwhile).
unsigned char *Config_Load(const char *mode, size_t &size)
{
    size = 0;
    errno = 0;
    std::FILE *file = std::fopen(CONFIG_FILE_PATH, mode);
    if (!file && errno != ENOENT)
        return nullptr;
    long length = 0;
    if (file && (std::fseek(file, 0, SEEK_END) != 0 || (length = std::ftell(file)) < 0 ||
                 std::fseek(file, 0, SEEK_SET) != 0))
        length = -1;
    unsigned char *bytes = nullptr;
    if (length >= 0)
        bytes = static_cast<unsigned char *>(std::malloc(static_cast<size_t>(length) + CONFIG_ENTRY_ROOM));
    if (file)
    {
        if (bytes)
        {
            size = std::fread(bytes, 1, static_cast<size_t>(length), file);
            if (std::ferror(file) || std::fgetc(file) != EOF)
            {
                std::free(bytes);
                bytes = nullptr;
            }
        }
        std::fclose(file);
    }
    return bytes;
}

} // namespace

int Config_Read_Setting(const char *key, int32_t &value)
{
    size_t size = 0;
    unsigned char *bytes = key ? Config_Load("rb", size) : nullptr;
    if (!bytes)
        return 0;
    int found = Config_Find_Setting(bytes, size, key, value);
    std::free(bytes);
    return found;
}

void Config_Write_Setting(const char *key, int32_t value)
{
    if (!Config_Is_Key(key))
        return;
    // Opened for update although only read: a file that cannot be written
    // (read-only, locked by another program) is never replaced.
    size_t size = 0;
    unsigned char *bytes = Config_Load("r+b", size);
    if (!bytes)
        return;
    size = Config_Store_Setting(bytes, size, key, value);
    std::FILE *to = std::fopen(CONFIG_TEMP_PATH, "wb");
    if (to)
    {
        int written = std::fwrite(bytes, 1, size, to) == size;
        if (std::fclose(to) != 0 || !written || !Config_Replace_File(CONFIG_TEMP_PATH, CONFIG_FILE_PATH))
            std::remove(CONFIG_TEMP_PATH);
    }
    std::free(bytes);
}
