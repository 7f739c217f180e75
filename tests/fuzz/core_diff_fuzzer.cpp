// Differential fuzz target: the settings store's core against the core that it
// replaced (config_core_old.cpp). Each input is read, checked as a key, stored
// and the result read again by both; any difference in a result, a value, a
// stored size or a stored byte aborts. Inputs as for store_fuzzer, whose seeds
// and dictionary serve here too:
//   tests/fuzz/run-fuzzer.sh build/native/tests/fuzz/core_diff_fuzzer 1800 -runs=10000000
#include "config_core_old.h"
#include "config_store_internal.h"
#include "fuzz_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace
{

void Check(bool same, const char *what, const std::string &key)
{
    if (same)
        return;
    std::fprintf(stderr, "core_diff_fuzzer: %s differs for key %s\n", what, key.c_str());
    std::abort();
}

// Both reads of the same bytes, from the same preset value.
void Check_Read(const std::string &bytes, const std::string &key)
{
    const unsigned char *data = reinterpret_cast<const unsigned char *>(bytes.data());
    int32_t value = 12345, old_value = 12345;
    int found = Config_Find_Setting(data, bytes.size(), key.c_str(), value);
    int old_found = Old_Config_Find_Setting(data, bytes.size(), key.c_str(), old_value);
    Check(found == old_found, "the read's result", key);
    Check(value == old_value, "the read's value", key);
}

// A store in a block of exactly the size and room that the core may use, so
// that AddressSanitizer stops a write beyond it.
std::string Store(size_t (*store)(unsigned char *, size_t, const char *, int32_t),
                  const std::string &before, const std::string &key, int32_t value)
{
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[before.size() + CONFIG_ENTRY_ROOM]);
    std::memcpy(bytes.get(), before.data(), before.size());
    size_t size = store(bytes.get(), before.size(), key.c_str(), value);
    Check(size <= before.size() + CONFIG_ENTRY_ROOM, "a stored size beyond the room", key);
    return std::string(reinterpret_cast<const char *>(bytes.get()), size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz_Input input;
    if (!Fuzz_Decode(data, size, input))
        return 0;
    const std::string &key = input.key;
    const int32_t value = input.value;
    const std::string &before = input.before;

    Check_Read(before, key);
    int is_key = Config_Is_Key(key.c_str());
    Check((is_key != 0) == (Old_Config_Is_Key(key.c_str()) != 0), "the key check", key);
    if (!is_key)
        return 0; // the store is only ever called with a key that passes
    std::string after = Store(Config_Store_Setting, before, key, value);
    Check(after == Store(Old_Config_Store_Setting, before, key, value), "the stored bytes", key);
    Check_Read(after, key);
    return 0;
}
