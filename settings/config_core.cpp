// Settings store core: the reading rules and the store's edit, over the file's
// bytes in memory. No file access here; config_store.cpp does that.
#include "config_store_internal.h"

#include <cstring>

static const size_t CONFIG_MAX_WORD = 80; // a read's longest word, and longest skip

// Whitespace to the scans: space, and tab to CR.
static bool Is_Space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static bool Is_Digit(int c)
{
    return c >= '0' && c <= '9';
}

// The end of what a read sees: the first 0x1A, else the end of the bytes.
static const unsigned char *Data_End(const unsigned char *bytes, size_t size)
{
    const void *mark = std::memchr(bytes, 0x1A, size);
    return mark ? static_cast<const unsigned char *>(mark) : bytes + size;
}

// A read takes CR LF for one LF; a CR without an LF after it is an ordinary byte.
static bool Is_Cr_Lf(const unsigned char *p, const unsigned char *end)
{
    return p + 1 < end && p[0] == '\r' && p[1] == '\n';
}

// After a word that is not the key: where the next word's scan begins.
static const unsigned char *Config_Skip_Rest_Of_Line(const unsigned char *at,
                                                     const unsigned char *end)
{
    // Blanks and line ends, so after a word that ended its line the next line
    // that holds more than blanks goes too.
    while (at < end && (*at == ' ' || *at == '\t' || *at == '\n' || Is_Cr_Lf(at, end)))
        ++at;
    // Then the line through its end, but at most 80 bytes of it.
    for (size_t taken = 0; taken < CONFIG_MAX_WORD && at < end; ++taken)
    {
        if (Is_Cr_Lf(at, end))
            return at + 2;
        if (*at == '\n')
            return at + 1;
        ++at;
    }
    return at;
}

// The number after the key, scanned as "%d" does: whitespace (line ends too),
// a sign, digits. 1 when the key counts as found: with digits, value holds the
// number (beyond 32 bits INT32_MAX or INT32_MIN); at the data end it is left.
// 0 when another byte comes first; at is then on it.
static int Config_Scan_Number(const unsigned char *&at, const unsigned char *end, int32_t &value)
{
    while (at < end && Is_Space(*at))
        ++at;
    const bool negative = at < end && *at == '-';
    if (at < end && (*at == '-' || *at == '+'))
        ++at;
    if (at == end)
        return 1;
    if (!Is_Digit(*at))
        return 0;
    const uint32_t limit = 2147483648u; // the magnitude of INT32_MIN, where it stops
    uint32_t magnitude = 0;
    for (; at < end && Is_Digit(*at); ++at)
        magnitude = magnitude > limit / 10 ? limit : magnitude * 10 + (*at - '0');
    if (magnitude > limit)
        magnitude = limit;
    if (negative)
        value = static_cast<int32_t>(0u - magnitude);
    else
        value = magnitude == limit ? INT32_MAX : static_cast<int32_t>(magnitude);
    return 1;
}

// Config_Read_Setting's search over the data: the key's word where the read
// finds it, else null.
static const unsigned char *Config_Search(const unsigned char *at, const unsigned char *end,
                                          const char *key, int32_t &value)
{
    const size_t key_length = std::strlen(key);
    for (;;)
    {
        while (at < end && Is_Space(*at))
            ++at;
        // The next word: up to whitespace, at most 80 bytes (the rest of a
        // longer one is scanned as the word after it).
        const unsigned char *word = at;
        while (at < end && !Is_Space(*at) && static_cast<size_t>(at - word) < CONFIG_MAX_WORD)
            ++at;
        const size_t length = static_cast<size_t>(at - word);
        // Only whitespace was left: not found.
        if (length == 0)
            return nullptr;
        // Another word: the rest of its line goes, and the search goes on.
        if (length != key_length || std::memcmp(word, key, key_length) != 0)
            at = Config_Skip_Rest_Of_Line(at, end);
        // The key and a number, or the data end before a digit: found.
        else if (Config_Scan_Number(at, end, value))
            return word;
        // The key and other text: that text is the next word.
    }
}

// When the line at "line" is an entry of the key (after whitespace other than
// LF, the key as a whole word: whitespace or the data end after it), where its
// cut ends: past its LF, CR LF or lone CR, or at the data end. Else null.
static const unsigned char *Config_Entry_End(const unsigned char *line, const unsigned char *end,
                                             const char *key, size_t key_length)
{
    const unsigned char *p = line;
    while (p < end && *p != '\n' && Is_Space(*p))
        ++p;
    if (static_cast<size_t>(end - p) < key_length || std::memcmp(p, key, key_length) != 0)
        return nullptr;
    p += key_length;
    if (p < end && !Is_Space(*p))
        return nullptr; // a longer word that begins with the key
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    if (p < end && *p == '\r')
        ++p;
    if (p < end && *p == '\n')
        ++p;
    return p;
}

// The first line from the top that is an entry of the key, else null. Lines
// begin after an LF.
static unsigned char *First_Entry(unsigned char *bytes, unsigned char *end, const char *key,
                                  size_t key_length)
{
    for (unsigned char *line = bytes; line < end;)
    {
        if (Config_Entry_End(line, end, key, key_length))
            return line;
        void *lf = std::memchr(line, '\n', static_cast<size_t>(end - line));
        line = lf ? static_cast<unsigned char *>(lf) + 1 : end;
    }
    return nullptr;
}

// Cuts one entry of the key out of bytes[0, size): the line of the key's word
// that a read found when that line is an entry, else the first entry from the
// top. The count of bytes cut; 0 when there is no entry.
static size_t Config_Cut_Entry(unsigned char *bytes, size_t size, unsigned char *end,
                               const unsigned char *word, const char *key, size_t key_length)
{
    unsigned char *line = bytes + (word - bytes);
    while (line > bytes && line[-1] != '\n')
        --line;
    // Found behind other text on its line: the first entry goes instead.
    if (!Config_Entry_End(line, end, key, key_length))
        line = First_Entry(bytes, end, key, key_length);
    if (!line)
        return 0;
    const unsigned char *cut_end = Config_Entry_End(line, end, key, key_length);
    std::memmove(line, cut_end, static_cast<size_t>(bytes + size - cut_end));
    return static_cast<size_t>(cut_end - line);
}

int Config_Find_Setting(const unsigned char *bytes, size_t size, const char *key, int32_t &value)
{
    return Config_Search(bytes, Data_End(bytes, size), key, value) != nullptr;
}

int Config_Is_Key(const char *key)
{
    size_t length = key ? std::strcspn(key, " \t\n\v\f\r\x1a") : 0;
    return length > 0 && length <= CONFIG_MAX_WORD && !key[length];
}

size_t Config_Store_Setting(unsigned char *bytes, size_t size, const char *key, int32_t value)
{
    // One cut for each read that finds the key, until a read finds none. Each
    // read starts at the top: text before a cut may read anew (a key without a
    // number takes what now follows it).
    const size_t key_length = std::strlen(key);
    unsigned char *end = bytes + (Data_End(bytes, size) - bytes);
    for (;;)
    {
        int32_t unused;
        const unsigned char *word = Config_Search(bytes, end, key, unused);
        const size_t cut = word ? Config_Cut_Entry(bytes, size, end, word, key, key_length) : 0;
        if (cut == 0)
            break;
        size -= cut;
        end -= cut;
    }
    // "KEY value" CR LF, built from its end, on a line of its own.
    unsigned char entry[CONFIG_ENTRY_ROOM];
    unsigned char *p = entry + sizeof entry;
    *--p = '\n';
    *--p = '\r';
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do
    {
        *--p = static_cast<unsigned char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--p = '-';
    *--p = ' ';
    p -= key_length;
    std::memcpy(p, key, key_length);
    // After a last line that has no line end, one first.
    if (end > bytes && end[-1] != '\n')
    {
        *--p = '\n';
        *--p = '\r';
    }
    // It goes at the data end: a 0x1A and what follows it move behind it.
    const size_t length = static_cast<size_t>(entry + sizeof entry - p);
    std::memmove(end + length, end, static_cast<size_t>(bytes + size - end));
    std::memcpy(end, p, length);
    return size + length;
}
