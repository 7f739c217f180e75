// The settings store's core before its rewrite (config_core_old.cpp): the same
// entries as Config_Find_Setting, Config_Is_Key and Config_Store_Setting.
#ifndef VELMIRE_CONFIG_CORE_OLD_H
#define VELMIRE_CONFIG_CORE_OLD_H

#include <cstddef>
#include <cstdint>

int Old_Config_Find_Setting(const unsigned char *bytes, size_t size, const char *key,
                            int32_t &value);
int Old_Config_Is_Key(const char *key);
size_t Old_Config_Store_Setting(unsigned char *bytes, size_t size, const char *key, int32_t value);

#endif
