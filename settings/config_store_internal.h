// Internal pieces of the settings file store, shared by its files and its
// tests: the core over the file's bytes in memory, the paths, and the one step
// that differs between Windows and POSIX. Not for the programs that use the store.
#ifndef VELMIRE_CONFIG_STORE_INTERNAL_H
#define VELMIRE_CONFIG_STORE_INTERNAL_H

#include "config_store.h"

#include <cstddef>

// The settings file and the file that a store writes beside it.
extern const char CONFIG_FILE_PATH[];
extern const char CONFIG_TEMP_PATH[];

// The most a store adds: CR LF, an 80-byte key, a blank, "-2147483648", CR LF.
const size_t CONFIG_ENTRY_ROOM = 2 + 80 + 1 + 11 + 2;

// Config_Read_Setting over the file's bytes.
int Config_Find_Setting(const unsigned char *bytes, size_t size, const char *key, int32_t &value);

// Non-zero for a key that can be stored: 1 to 80 bytes, none of them
// whitespace or 0x1A (anything else could not be read back as one word).
int Config_Is_Key(const char *key);

// A store as an edit in place: the key's entry lines cut, "KEY value" CR LF put
// before the first 0x1A or at the end, on a line of its own. bytes holds size
// bytes and room for CONFIG_ENTRY_ROOM more; the key passes Config_Is_Key.
// Returns the new size.
size_t Config_Store_Setting(unsigned char *bytes, size_t size, const char *key, int32_t value);

// Puts the file "from" in the place of "to", replacing "to" when it exists.
// Non-zero on success.
int Config_Replace_File(const char *from, const char *to);

#endif
