// Internal pieces of the settings file store that its tests and its two
// platform files share. Not for the programs that use the store.
#ifndef VELMIRE_CONFIG_STORE_INTERNAL_H
#define VELMIRE_CONFIG_STORE_INTERNAL_H

#include "config_store.h"

// The settings file and the file that a rewrite builds beside it.
extern const char CONFIG_FILE_PATH[];
extern const char CONFIG_TEMP_PATH[];

// Puts the file "from" in the place of "to", replacing "to" when it exists.
// Non-zero on success. The one step that differs between Windows and POSIX.
int Config_Replace_File(const char *from, const char *to);

// Test hook, null in the programs: called after a read found the key and
// before its line is looked up (CONFIG_HOOK_FOUND), and before the rewrite
// opens the file (CONFIG_HOOK_REWRITE), so tests can change the file there.
enum
{
    CONFIG_HOOK_FOUND = 1,
    CONFIG_HOOK_REWRITE = 2
};
extern void (*Config_Test_Hook)(int stage);

#endif
