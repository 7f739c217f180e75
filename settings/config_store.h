// Settings file store: integer entries of the settings file "tamsel\config.dat"
// (relative to the working directory), one "KEY value" line each.
#ifndef VELMIRE_CONFIG_STORE_H
#define VELMIRE_CONFIG_STORE_H

#include <cstdint>

// Non-zero when the key was found. The value is written only when a number
// followed the key; otherwise it keeps what it held, so callers preset defaults.
int Config_Read_Setting(const char *key, int32_t &value);

// Cuts the key's entry lines out of the file and puts "KEY value" CR LF at the
// end of its data. No result: when the file cannot be rewritten it stays as it was.
void Config_Write_Setting(const char *key, int32_t value);

// The same two on a settings file named by its path, in UTF-8 (at most
// CONFIG_PATH_SIZE bytes with its terminator: room for a Windows path of
// MAX_PATH characters in any script). The store's result is 0, or the
// system's error code (GetLastError on Windows, errno elsewhere) of the step
// that failed: opening, reading, writing or flushing a file, or the replace.
const unsigned CONFIG_PATH_SIZE = 3 * 260;
// The result of a step that failed without the system's word (a file that
// changed size while it was read): on Windows an application's own code (bit
// 29 set, so no system text is taken for it), elsewhere EIO.
extern const unsigned long CONFIG_NO_SYSTEM_CODE;
int Config_Read_Setting_In(const char *path, const char *key, int32_t &value);
unsigned long Config_Write_Setting_In(const char *path, const char *key, int32_t value);

#endif
