// The store fuzz targets' input: byte 0 picks the key (one of five below, or
// with bit 7 clear and the rest of 0..127 past 95, a key of its own: a length
// byte and its bytes, as a C string); bit 7 of byte 0 means no settings file;
// then four bytes of the value, little end first; the rest is the file.
#ifndef VELMIRE_FUZZ_INPUT_H
#define VELMIRE_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <string>

struct Fuzz_Input
{
    std::string key;
    int32_t value;
    bool no_file;
    std::string before; // the file's bytes; empty where there is none
};

inline bool Fuzz_Decode(const uint8_t *data, size_t size, Fuzz_Input &input)
{
    static const char *const keys[] = {"RENDERING_PLATFORM", "D3D_ALLOW_MIPMAP",
                                       "D3D_ALLOW_PALETTISED", "D3D_TYPE1_SHADOWS", "A"};
    if (size < 5)
        return false;
    size_t at = 1;
    unsigned pick = data[0] & 0x7f;
    input.no_file = data[0] & 0x80;
    if (pick < 96)
        input.key = keys[pick % 5];
    else
    {
        size_t length = data[at++] % 82;
        length = length < size - at ? length : size - at;
        input.key.assign(reinterpret_cast<const char *>(data + at), length);
        at += length;
        input.key = input.key.c_str(); // the store sees a C string
    }
    if (size - at < 4)
        return false;
    uint32_t bits = data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                    static_cast<uint32_t>(data[at + 3]) << 24;
    input.value = static_cast<int32_t>(bits);
    at += 4;
    input.before = input.no_file
                       ? std::string()
                       : std::string(reinterpret_cast<const char *>(data + at), size - at);
    return true;
}

#endif
