// Settings store core: the reading rules and the store's edit, over the file's
// bytes in memory. No file access here; config_store.cpp does that.
#include "config_store_internal.h"

#include <cstring>

namespace
{

const long CONFIG_MAX_WORD = 80;
const int DATA_END_MARK = 0x1A;

bool Is_Space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The data as the reader sees it: the bytes before the first 0x1A, in which
// CR LF reads as one LF.
struct Config_Text
{
    const unsigned char *at;
    const unsigned char *end;
    const unsigned char *line; // where the line of the byte at "at" begins
};

size_t Data_End(const unsigned char *bytes, size_t size)
{
    const void *mark = std::memchr(bytes, DATA_END_MARK, size);
    return mark ? static_cast<size_t>(static_cast<const unsigned char *>(mark) - bytes) : size;
}

// Takes an LF or a CR LF; 0 when neither comes next.
int Take_Line_End(Config_Text &t)
{
    const unsigned char *p = t.at + (t.at + 1 < t.end && *t.at == '\r');
    if (p == t.end || *p != '\n')
        return 0;
    t.at = t.line = p + 1;
    return 1;
}

void Skip_Spaces(Config_Text &t)
{
    while (t.at < t.end && Is_Space(*t.at))
        if (*t.at++ == '\n')
            t.line = t.at;
}

// Skips what is left of a line the way the reader always has: spaces, tabs and
// line ends first (so a word that ended its line makes this consume the next
// non-blank line), then bytes through a line end, at most 80 of them.
void Config_Skip_Rest_Of_Line(Config_Text &t)
{
    for (;;)
        if (t.at < t.end && (*t.at == ' ' || *t.at == '\t'))
            ++t.at;
        else if (!Take_Line_End(t))
            break;
    for (long taken = 0; taken < CONFIG_MAX_WORD && t.at < t.end && !Take_Line_End(t); ++taken)
        ++t.at;
}

// Scans what follows the key as the format "%d" does: whitespace (line ends
// too), a sign (taken even when no digit follows), decimal digits. 0 when a byte
// other than a digit comes first. A number beyond 32 bits takes all its digits
// and reads as INT32_MAX or INT32_MIN by its sign; the data end leaves value.
int Config_Scan_Int(Config_Text &t, int32_t &value)
{
    Skip_Spaces(t);
    int negative = t.at < t.end && *t.at == '-';
    t.at += t.at < t.end && (*t.at == '-' || *t.at == '+');
    if (t.at == t.end)
        return 1;
    if (*t.at < '0' || *t.at > '9')
        return 0;
    const uint32_t limit = 2147483648u; // the magnitude of INT32_MIN
    uint32_t magnitude = 0;
    for (; t.at < t.end && *t.at >= '0' && *t.at <= '9'; ++t.at)
        magnitude = magnitude > limit / 10 ? limit : magnitude * 10 + (*t.at - '0');
    magnitude = magnitude < limit ? magnitude : limit;
    value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude - (magnitude == limit));
    return 1;
}

// The search of Config_Read_Setting: a word ("%80s") that is not the key has
// the rest of its line skipped; the key is found when a number or the data end
// follows, else the scan goes on there. line: where the key's line begins.
// resumable: that word's scan began at a line start with nothing read ahead, so
// a reader over the data without that line reaches its start in the same state.
int Config_Search(Config_Text &t, const char *key, size_t key_length, int32_t &value,
                  const unsigned char *&line, int &resumable)
{
    for (int after_key = 0;;)
    {
        resumable = !after_key && t.at == t.line;
        Skip_Spaces(t);
        const unsigned char *word = t.at;
        while (t.at < t.end && t.at - word < CONFIG_MAX_WORD && !Is_Space(*t.at))
            ++t.at;
        if (t.at == word)
            return 0;
        after_key = static_cast<size_t>(t.at - word) == key_length && !std::memcmp(word, key, key_length);
        line = t.line;
        if (!after_key)
            Config_Skip_Rest_Of_Line(t);
        else if (Config_Scan_Int(t, value))
            return 1;
    }
}

// The end of the line at begin when its first word, after blanks, is the key as
// a whole word: after its LF, CR LF or lone CR, or the data end. Else 0.
size_t Config_Entry_End(const unsigned char *bytes, size_t i, size_t end, const char *key, size_t key_length)
{
    while (i < end && bytes[i] != '\n' && Is_Space(bytes[i]))
        ++i;
    if (end - i < key_length || std::memcmp(bytes + i, key, key_length) != 0)
        return 0;
    i += key_length;
    if (i < end && !Is_Space(bytes[i]))
        return 0;
    while (i < end && bytes[i] != '\n' && bytes[i] != '\r')
        ++i;
    i += i < end && bytes[i] == '\r';
    return i + (i < end && bytes[i] == '\n');
}

// Cuts one entry line of the key out of the data: the line on which the read
// found the key when its first word is the key, else the first such line. 0 when
// there is none (the read found the key further along a line). line: the cut's
// place.
int Config_Remove_Setting_Line(unsigned char *bytes, size_t &size, size_t &data_end, const char *key,
                               size_t key_length, size_t &line)
{
    size_t end = Config_Entry_End(bytes, line, data_end, key, key_length);
    // Else from the top; lines begin after an LF.
    for (line = end ? line : 0; !end && !(end = Config_Entry_End(bytes, line, data_end, key, key_length));)
    {
        const void *lf = std::memchr(bytes + line, '\n', data_end - line);
        if (!lf)
            return 0;
        line = static_cast<size_t>(static_cast<const unsigned char *>(lf) - bytes) + 1;
    }
    std::memmove(bytes + line, bytes + end, size - end);
    size -= end - line;
    data_end -= end - line;
    return 1;
}

} // namespace

int Config_Find_Setting(const unsigned char *bytes, size_t size, const char *key, int32_t &value)
{
    Config_Text t = {bytes, bytes + Data_End(bytes, size), bytes};
    const unsigned char *line;
    int resumable;
    return Config_Search(t, key, std::strlen(key), value, line, resumable);
}

int Config_Is_Key(const char *key)
{
    long length = 0;
    while (key && key[length] && !Is_Space(static_cast<unsigned char>(key[length])) &&
           key[length] != DATA_END_MARK)
        ++length;
    return length > 0 && length <= CONFIG_MAX_WORD && !key[length];
}

size_t Config_Store_Setting(unsigned char *bytes, size_t size, const char *key, int32_t value)
{
    size_t key_length = std::strlen(key), data_end = Data_End(bytes, size), from = 0;
    // Each search sees the data without the lines cut before it, as a reader of
    // the file would after one removal at a time.
    for (;;)
    {
        Config_Text t = {bytes + from, bytes + data_end, bytes + from};
        const unsigned char *found;
        int32_t scratch;
        int resumable;
        if (!Config_Search(t, key, key_length, scratch, found, resumable))
            break;
        size_t line = static_cast<size_t>(found - bytes);
        if (!Config_Remove_Setting_Line(bytes, size, data_end, key, key_length, line))
            break;
        from = resumable && bytes + line == found ? line : 0;
    }
    // "KEY value" CR LF on a line of its own, built backwards from its end.
    unsigned char entry[CONFIG_ENTRY_ROOM];
    unsigned char *p = entry + sizeof entry;
    *--p = '\n';
    *--p = '\r';
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do
        *--p = static_cast<unsigned char>('0' + magnitude % 10);
    while ((magnitude /= 10) != 0);
    if (value < 0)
        *--p = '-';
    *--p = ' ';
    p -= key_length;
    std::memcpy(p, key, key_length);
    if (data_end > 0 && bytes[data_end - 1] != '\n')
    {
        *--p = '\n';
        *--p = '\r';
    }
    size_t n = static_cast<size_t>(entry + sizeof entry - p);
    std::memmove(bytes + data_end + n, bytes + data_end, size - data_end);
    std::memcpy(bytes + data_end, p, n);
    return size + n;
}
