// The settings store's core as it was before its rewrite into one plain pass,
// kept as the reference for core_diff_fuzzer: the same code, its three entries
// renamed Old_*. Not linked into any program.
#include "config_core_old.h"
#include "config_store_internal.h"

#include <cstring>

static const long CONFIG_MAX_WORD = 80;

static bool Is_Space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The reader over the data: the bytes before the first 0x1A, CR LF read as LF.
struct Old_Config_Text
{
    const unsigned char *at, *end, *line; // line: where the line of the byte at "at" begins
    const char *key;
    size_t key_length;
    int resumable; // see Config_Search
};

static Old_Config_Text Config_Start(const unsigned char *bytes, size_t size, const char *key)
{
    const void *mark = std::memchr(bytes, 0x1A, size); // the data's end
    const unsigned char *end = mark ? static_cast<const unsigned char *>(mark) : bytes + size;
    return {bytes, end, bytes, key, std::strlen(key), 0};
}

// Takes an LF or a CR LF; 0 when neither comes next.
static int Take_Line_End(Old_Config_Text &t)
{
    const unsigned char *p = t.at + (t.at + 1 < t.end && *t.at == '\r');
    if (p == t.end || *p != '\n')
        return 0;
    t.at = t.line = p + 1;
    return 1;
}

static void Skip_Spaces(Old_Config_Text &t)
{
    while (t.at < t.end && Is_Space(*t.at))
        if (*t.at++ == '\n')
            t.line = t.at;
}

// Skips spaces, tabs and line ends (after a word that ended its line, the next
// non-blank line goes too), then bytes through a line end, at most 80.
static void Config_Skip_Rest_Of_Line(Old_Config_Text &t)
{
    for (;;)
        if (t.at < t.end && (*t.at == ' ' || *t.at == '\t'))
            ++t.at;
        else if (!Take_Line_End(t))
            break;
    for (long taken = 0; taken < CONFIG_MAX_WORD && t.at < t.end && !Take_Line_End(t); ++taken)
        ++t.at;
}

// Scans as "%d" (a sign is taken even without digits); 0 when a non-digit comes
// first. The data end leaves value; beyond 32 bits, INT32_MAX or INT32_MIN.
static int Config_Scan_Int(Old_Config_Text &t, int32_t &value)
{
    Skip_Spaces(t);
    int negative = t.at < t.end && *t.at == '-';
    t.at += t.at < t.end && (*t.at == '-' || *t.at == '+');
    if (t.at == t.end || *t.at < '0' || *t.at > '9')
        return t.at == t.end;
    const uint32_t limit = 2147483648u; // the magnitude of INT32_MIN
    uint32_t magnitude = 0;
    for (; t.at < t.end && *t.at >= '0' && *t.at <= '9'; ++t.at)
        magnitude = magnitude > limit / 10 ? limit : magnitude * 10 + (*t.at - '0');
    magnitude = magnitude < limit ? magnitude : limit;
    value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude - (magnitude == limit));
    return 1;
}

// Config_Read_Setting's search: where the key's line begins, or null. resumable:
// the key's word was scanned from a line start, so a reader of the data without
// that line reaches its start as it did.
static const unsigned char *Config_Search(Old_Config_Text &t, int32_t &value)
{
    for (int after_key = 0;;)
    {
        t.resumable = !after_key && t.at == t.line;
        Skip_Spaces(t);
        const unsigned char *word = t.at;
        while (t.at < t.end && t.at - word < CONFIG_MAX_WORD && !Is_Space(*t.at))
            ++t.at;
        if (t.at == word)
            return nullptr;
        after_key = static_cast<size_t>(t.at - word) == t.key_length &&
                    !std::memcmp(word, t.key, t.key_length);
        const unsigned char *line = t.line;
        if (!after_key)
            Config_Skip_Rest_Of_Line(t);
        else if (Config_Scan_Int(t, value))
            return line;
    }
}

// The end of the line at p when its first word, after blanks, is the key as a
// whole word: after its LF, CR LF or lone CR, or the data end. Else null.
static const unsigned char *Config_Entry_End(const Old_Config_Text &t, const unsigned char *p)
{
    while (p < t.end && *p != '\n' && Is_Space(*p))
        ++p;
    if (static_cast<size_t>(t.end - p) < t.key_length || std::memcmp(p, t.key, t.key_length) != 0 ||
        (p + t.key_length < t.end && !Is_Space(p[t.key_length])))
        return nullptr;
    for (p += t.key_length; p < t.end && *p != '\n' && *p != '\r';)
        ++p;
    p += p < t.end && *p == '\r';
    return p + (p < t.end && *p == '\n');
}

// Cuts the entry line on which the key was found, else the first one from the
// top (lines begin after an LF); 0 when none. line: the found line, then the cut.
static int Config_Remove_Setting_Line(Old_Config_Text &t, unsigned char *bytes, size_t &size,
                                      const unsigned char *&line)
{
    const unsigned char *end = Config_Entry_End(t, line);
    for (line = end ? line : bytes; !end && !(end = Config_Entry_End(t, line)); ++line)
        if (!(line = static_cast<const unsigned char *>(std::memchr(line, '\n', t.end - line))))
            return 0;
    std::memmove(bytes + (line - bytes), end, static_cast<size_t>(bytes + size - end));
    size -= static_cast<size_t>(end - line);
    t.end -= end - line;
    return 1;
}

int Old_Config_Find_Setting(const unsigned char *bytes, size_t size, const char *key,
                            int32_t &value)
{
    Old_Config_Text t = Config_Start(bytes, size, key);
    return Config_Search(t, value) != nullptr;
}

int Old_Config_Is_Key(const char *key)
{
    size_t length = key ? std::strcspn(key, " \t\n\v\f\r\x1a") : 0;
    return length > 0 && length <= CONFIG_MAX_WORD && !key[length];
}

size_t Old_Config_Store_Setting(unsigned char *bytes, size_t size, const char *key, int32_t value)
{
    // Each search sees the data as a reader would after one removal at a time.
    Old_Config_Text t = Config_Start(bytes, size, key);
    int32_t scratch;
    for (const unsigned char *found, *line; (line = found = Config_Search(t, scratch)) &&
                                            Config_Remove_Setting_Line(t, bytes, size, line);)
        t.at = t.line = t.resumable && line == found ? line : bytes;
    // "KEY value" CR LF, built backwards in the room that the bytes from the 0x1A leave.
    unsigned char *at = bytes + (t.end - bytes), *p = at + CONFIG_ENTRY_ROOM;
    size_t tail = static_cast<size_t>(bytes + size - at);
    std::memmove(p, at, tail);
    p = static_cast<unsigned char *>(std::memcpy(p - 2, "\r\n", 2));
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do
        *--p = static_cast<unsigned char>('0' + magnitude % 10);
    while ((magnitude /= 10) != 0);
    if (value < 0)
        *--p = '-';
    *--p = ' ';
    p = static_cast<unsigned char *>(std::memcpy(p - t.key_length, key, t.key_length));
    if (at > bytes && at[-1] != '\n')
        p = static_cast<unsigned char *>(std::memcpy(p - 2, "\r\n", 2));
    size_t added = static_cast<size_t>(at + CONFIG_ENTRY_ROOM - p);
    std::memmove(at, p, added + tail);
    return size + added;
}
