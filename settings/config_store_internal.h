// The settings store's internals, for its files and tests: the core over the
// file's bytes, the per-platform paths and replace.
#ifndef VELMIRE_CONFIG_STORE_INTERNAL_H
#define VELMIRE_CONFIG_STORE_INTERNAL_H

#include "config_store.h"

#include <cstddef>
#include <cstdio>

extern const char CONFIG_FILE_PATH[]; // the settings file
// The system's codes for a path too long for the store, and for a key that no
// line could hold.
extern const unsigned long CONFIG_PATH_TOO_LONG;
extern const unsigned long CONFIG_INVALID_KEY;

// The most a store adds: CR LF, an 80-byte key, a blank, "-2147483648", CR LF.
const size_t CONFIG_ENTRY_ROOM = 2 + 80 + 1 + 11 + 2;

// Config_Read_Setting over the file's bytes.
int Config_Find_Setting(const unsigned char *bytes, size_t size, const char *key, int32_t &value);
// Non-zero for a key that a store takes: 1 to 80 bytes, no whitespace, no 0x1A.
int Config_Is_Key(const char *key);
// A store as an edit in place (bytes has CONFIG_ENTRY_ROOM spare); the new size.
size_t Config_Store_Setting(unsigned char *bytes, size_t size, const char *key, int32_t value);
// Puts the written stream's bytes on the disk (its buffer, then the system's);
// non-zero when they are there.
int Config_Flush_File(std::FILE *file);
// A path's file opened, removed, and put in the place of "to" (replacing it
// when it exists). Paths are UTF-8, so that any name reaches the file system:
// Windows is handed them as UTF-16, POSIX as they are.
std::FILE *Config_Open_File(const char *path, const char *mode);
int Config_Remove_File(const char *path);
int Config_Replace_File(const char *from, const char *to);
// Before a step: no error yet. After it failed: the system's code, never 0.
void Config_Clear_Error();
unsigned long Config_Last_Error();

#endif
