// Settings file store: reads the integer entries of the settings file and
// stores them. A store cuts the key's entry lines out and puts the new entry at
// the end of the data, in one rewrite: the new content goes to a file beside the
// settings file, which then replaces it, so a failure leaves the old file whole.
#include "config_store.h"
#include "config_store_internal.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
const char CONFIG_FILE_PATH[] = "tamsel\\config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel\\config.new";
#else
const char CONFIG_FILE_PATH[] = "tamsel/config.dat";
const char CONFIG_TEMP_PATH[] = "tamsel/config.new";
#endif

void (*Config_Test_Hook)(int stage) = nullptr;

namespace
{

const int CONFIG_BUFFER_SIZE = 5120;
const int CONFIG_MAX_WORD = 80;
// Entry lines cut in one rewrite; a key with more entries takes more rewrites.
const int CONFIG_MAX_CUTS = 8;
// Rewrites started again after the file changed under the store.
const int CONFIG_MAX_RETRIES = 3;

const int END = -1;
const int DATA_END_MARK = 0x1A;

// A span of raw file offsets, [begin, end).
struct Config_Cut
{
    long long begin;
    long long end;
};

// The entry lines that the next rewrite leaves out, in file order.
struct Config_Cut_List
{
    int count;
    Config_Cut cut[CONFIG_MAX_CUTS];
};

// The settings file as the store reads it: raw bytes through a fixed buffer,
// minus the planned cuts; on top of them the text view (CR LF reads as LF, the
// data end at the first 0x1A) with one byte of lookahead, as a scanf stream has.
struct Config_Stream
{
    std::FILE *file;
    const Config_Cut_List *cuts;
    int next_cut;
    unsigned char buffer[CONFIG_BUFFER_SIZE];
    size_t pos;   // next unread byte
    size_t fill;  // bytes in the buffer
    size_t limit; // pos may run freely up to here: fill, or the next cut
    long long base; // file offset of buffer[0]
    int at_file_end;

    int pending; // the lookahead byte of the text view, when has_pending
    int has_pending;
    int data_ended;
    int at_line_start;
    long long line_start; // raw offset of the line of the latest text byte
};

bool Is_Space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool Is_Digit(int c)
{
    return c >= '0' && c <= '9';
}

void Stream_Start(Config_Stream &s, FILE *file, const Config_Cut_List *cuts)
{
    s.file = file;
    s.cuts = cuts;
    s.next_cut = 0;
    s.pos = s.fill = s.limit = 0;
    s.base = 0;
    s.at_file_end = 0;
    s.pending = END;
    s.has_pending = 0;
    s.data_ended = 0;
    s.at_line_start = 1;
    s.line_start = 0;
}

long long Stream_Offset(const Config_Stream &s)
{
    return s.base + static_cast<long long>(s.pos);
}

// Refills the buffer and steps over cuts; the next raw byte, or END.
int Raw_Peek_Slow(Config_Stream &s)
{
    for (;;)
    {
        if (s.pos < s.fill)
        {
            long long at = Stream_Offset(s);
            const Config_Cut_List *cuts = s.cuts;
            while (cuts && s.next_cut < cuts->count && cuts->cut[s.next_cut].end <= at)
                ++s.next_cut;
            s.limit = s.fill;
            if (cuts && s.next_cut < cuts->count)
            {
                const Config_Cut &cut = cuts->cut[s.next_cut];
                if (cut.begin <= at)
                {
                    long long in_buffer = cut.end - s.base;
                    s.pos = in_buffer < static_cast<long long>(s.fill) ? static_cast<size_t>(in_buffer)
                                                                      : s.fill;
                    continue;
                }
                if (cut.begin - s.base < static_cast<long long>(s.fill))
                    s.limit = static_cast<size_t>(cut.begin - s.base);
            }
            return s.buffer[s.pos];
        }
        s.base += static_cast<long long>(s.fill);
        s.pos = s.fill = s.limit = 0;
        if (s.at_file_end)
            return END;
        s.fill = std::fread(s.buffer, 1, sizeof s.buffer, s.file);
        if (s.fill == 0)
        {
            s.at_file_end = 1;
            return END;
        }
    }
}

inline int Raw_Peek(Config_Stream &s)
{
    if (s.pos < s.limit)
        return s.buffer[s.pos];
    return Raw_Peek_Slow(s);
}

// Only after Raw_Peek gave a byte.
inline void Raw_Take(Config_Stream &s)
{
    ++s.pos;
}

// The next byte of the text view, consumed.
inline int Text_Read(Config_Stream &s)
{
    if (s.data_ended)
        return END;
    int c = Raw_Peek(s);
    if (c == END || c == DATA_END_MARK)
    {
        s.data_ended = 1;
        return END;
    }
    if (s.at_line_start)
    {
        s.line_start = Stream_Offset(s);
        s.at_line_start = 0;
    }
    Raw_Take(s);
    if (c == '\r' && Raw_Peek(s) == '\n')
    {
        Raw_Take(s);
        c = '\n';
    }
    if (c == '\n')
        s.at_line_start = 1;
    return c;
}

inline int Text_Peek(Config_Stream &s)
{
    if (!s.has_pending)
    {
        s.pending = Text_Read(s);
        s.has_pending = 1;
    }
    return s.pending;
}

inline int Text_Get(Config_Stream &s)
{
    int c = Text_Peek(s);
    if (c != END)
        s.has_pending = 0;
    return c;
}

// Scans a word as the format "%80s" does: whitespace skipped, then at most 80
// other bytes. Its length, 0 when only whitespace was left; line_start tells
// where the word's line begins.
int Config_Scan_Word(Config_Stream &s, char *word, long long &line_start)
{
    int c = Text_Peek(s);
    while (c != END && Is_Space(c))
    {
        Text_Get(s);
        c = Text_Peek(s);
    }
    if (c == END)
        return 0;
    line_start = s.line_start;
    int length = 0;
    while (length < CONFIG_MAX_WORD && c != END && !Is_Space(c))
    {
        word[length++] = static_cast<char>(c);
        Text_Get(s);
        // Inside a word raw bytes and text bytes are the same (no CR, no LF):
        // take them straight from the buffer.
        while (length < CONFIG_MAX_WORD && s.pos < s.limit)
        {
            int next = s.buffer[s.pos];
            if (Is_Space(next) || next == DATA_END_MARK)
                break;
            word[length++] = static_cast<char>(next);
            ++s.pos;
        }
        c = Text_Peek(s);
    }
    return length;
}

enum
{
    SCAN_NUMBER,
    SCAN_END,
    SCAN_NO_NUMBER
};

// Scans an integer as the format "%d" does: whitespace (line ends too), an
// optional sign, decimal digits. A number beyond 32 bits takes all its digits
// and reads as INT32_MAX or INT32_MIN, whichever is nearer: defined, and on the
// same side as what was written. A sign is consumed even when no digit follows.
int Config_Scan_Int(Config_Stream &s, int32_t &value)
{
    int c = Text_Peek(s);
    while (c != END && Is_Space(c))
    {
        Text_Get(s);
        c = Text_Peek(s);
    }
    bool negative = false;
    if (c == '-' || c == '+')
    {
        negative = c == '-';
        Text_Get(s);
        c = Text_Peek(s);
    }
    if (c == END)
        return SCAN_END;
    if (!Is_Digit(c))
        return SCAN_NO_NUMBER;
    const long long limit = 2147483648LL; // the magnitude of INT32_MIN
    long long magnitude = 0;
    while (Is_Digit(c))
    {
        if (magnitude < limit)
            magnitude = magnitude * 10 + (c - '0');
        Text_Get(s);
        c = Text_Peek(s);
    }
    if (magnitude > limit)
        magnitude = limit;
    if (negative)
        value = static_cast<int32_t>(-magnitude);
    else
        value = static_cast<int32_t>(magnitude == limit ? limit - 1 : magnitude);
    return SCAN_NUMBER;
}

// Skips what is left of a line the way the reader always has: spaces, tabs and
// LFs are passed over (so a word that ended its line makes this consume the next
// non-blank line), then bytes up to and including an LF, at most 80 of them.
void Config_Skip_Rest_Of_Line(Config_Stream &s)
{
    int c = Text_Peek(s);
    while (c == ' ' || c == '\t' || c == '\n')
    {
        Text_Get(s);
        c = Text_Peek(s);
    }
    int taken = 0;
    while (taken < CONFIG_MAX_WORD)
    {
        c = Text_Get(s);
        ++taken;
        if (c == END || c == '\n')
            return;
        // Plain bytes straight from the buffer; CR and 0x1A take the slow way.
        while (taken < CONFIG_MAX_WORD && s.pos < s.limit)
        {
            int next = s.buffer[s.pos];
            if (next == '\r' || next == DATA_END_MARK)
                break;
            ++s.pos;
            ++taken;
            if (next == '\n')
            {
                s.at_line_start = 1;
                return;
            }
        }
    }
}

// The search of Config_Read_Setting over the file minus the given cuts,
// starting at offset from, a line start at which the reader scans for a word.
// Non-zero when found; line_start is then where the line of the key's word
// begins. resumable tells that this word's scan began at a line start: cutting
// that line then leaves the reader exactly where it stood at its start, so the
// next search may start where the cut ends instead of at the top of the file.
int Config_Find_Setting(const char *key, const Config_Cut_List *cuts, long long from,
                        int32_t &value, long long &line_start, int &resumable)
{
    std::FILE *file = std::fopen(CONFIG_FILE_PATH, "rb");
    if (!file)
        return 0;
    if (from < 0 || from > LONG_MAX || std::fseek(file, static_cast<long>(from), SEEK_SET) != 0)
    {
        from = 0;
        std::rewind(file);
    }
    static_assert(sizeof(Config_Stream) < 6000, "the stream lives on the stack");
    Config_Stream s;
    Stream_Start(s, file, cuts);
    s.base = from;
    size_t key_length = std::strlen(key);
    char word[CONFIG_MAX_WORD];
    int found = 0;
    for (;;)
    {
        long long word_line = 0;
        int at_line_start = !s.has_pending && s.at_line_start;
        int length = Config_Scan_Word(s, word, word_line);
        if (length == 0)
            break;
        if (static_cast<size_t>(length) == key_length && std::memcmp(word, key, key_length) == 0)
        {
            if (Config_Scan_Int(s, value) != SCAN_NO_NUMBER)
            {
                found = 1;
                line_start = word_line;
                resumable = at_line_start;
                break;
            }
            // Not a number: the scan goes on there, with that text as a word.
        }
        else
        {
            Config_Skip_Rest_Of_Line(s);
        }
    }
    std::fclose(file);
    return found;
}

// Passes over the rest of a raw line, through its LF, stopping at the data end.
void Raw_Skip_Line(Config_Stream &s)
{
    int c = Raw_Peek(s);
    while (c != END && c != DATA_END_MARK && c != '\n')
    {
        Raw_Take(s);
        c = Raw_Peek(s);
    }
    if (c == '\n')
        Raw_Take(s);
}

// Reads one raw line (up to the data end) and tells whether its first word,
// after blanks, is the key as a whole word. For such a line, cut spans the line
// from its start through its line end: LF, CR LF, or a CR alone, whose next byte
// stays; a line that reaches the data end is cut up to the data end.
// Returns 0 when the data has ended.
int Config_Next_Line(Config_Stream &s, const char *key, size_t key_length, Config_Cut &cut,
                     int &is_entry)
{
    int c = Raw_Peek(s);
    if (c == END || c == DATA_END_MARK)
        return 0;
    cut.begin = Stream_Offset(s);
    is_entry = 0;
    while (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r')
    {
        Raw_Take(s);
        c = Raw_Peek(s);
    }
    size_t matched = 0;
    while (matched < key_length && c == static_cast<unsigned char>(key[matched]))
    {
        ++matched;
        Raw_Take(s);
        c = Raw_Peek(s);
    }
    if (matched == key_length && (c == END || c == DATA_END_MARK || Is_Space(c)))
    {
        is_entry = 1;
        while (c != END && c != DATA_END_MARK && c != '\n' && c != '\r')
        {
            Raw_Take(s);
            c = Raw_Peek(s);
        }
        if (c == '\r')
        {
            Raw_Take(s);
            c = Raw_Peek(s);
            if (c != '\n')
            {
                cut.end = Stream_Offset(s);
                // The rest of the raw line still belongs to this line.
                Raw_Skip_Line(s);
                return 1;
            }
        }
        if (c == '\n')
            Raw_Take(s);
        cut.end = Stream_Offset(s);
        return 1;
    }
    Raw_Skip_Line(s);
    return 1;
}

// Adds a cut in file order. 0 when it overlaps one already planned.
int Config_Add_Cut(Config_Cut_List &cuts, const Config_Cut &cut)
{
    if (cuts.count == CONFIG_MAX_CUTS)
        return 0;
    int at = cuts.count;
    while (at > 0 && cuts.cut[at - 1].begin > cut.begin)
        --at;
    if (at > 0 && cuts.cut[at - 1].end > cut.begin)
        return 0;
    if (at < cuts.count && cut.end > cuts.cut[at].begin)
        return 0;
    for (int i = cuts.count; i > at; --i)
        cuts.cut[i] = cuts.cut[i - 1];
    cuts.cut[at] = cut;
    ++cuts.count;
    return 1;
}

// Reads the line at offset at, without reading what comes before it; non-zero
// when it is there and its first word is the key. A line starts after an LF, or
// right after a cut, since cuts start lines and take their line end along.
int Config_Entry_At(Config_Stream &s, std::FILE *file, const char *key, size_t key_length,
                    long long at, const Config_Cut_List &cuts, Config_Cut &line)
{
    if (at < 0 || at > LONG_MAX)
        return 0;
    int after_cut = at == 0;
    for (int i = 0; i < cuts.count; ++i)
        after_cut |= cuts.cut[i].end == at;
    if (after_cut)
    {
        if (std::fseek(file, static_cast<long>(at), SEEK_SET) != 0)
            return 0;
    }
    else if (std::fseek(file, static_cast<long>(at - 1), SEEK_SET) != 0 || std::fgetc(file) != '\n')
    {
        return 0;
    }
    Stream_Start(s, file, &cuts);
    s.base = at;
    int is_entry = 0;
    return Config_Next_Line(s, key, key_length, line, is_entry) && is_entry && line.begin == at;
}

// Cuts one entry line of the key out of the planned content: the line on which
// the read found the key when its first word is the key, else the first such
// line before the data end. Text that only contains the key's bytes is never
// cut. 0 when no such line is there (the file changed, or the read found the
// key further along a line), so the store ends its removals. cut_end is where
// the cut ends when it took the found line itself, else -1.
int Config_Remove_Setting_Line(const char *key, long long found_line, Config_Cut_List &cuts,
                               long long &cut_end)
{
    cut_end = -1;
    std::FILE *file = std::fopen(CONFIG_FILE_PATH, "rb");
    if (!file)
        return 0;
    size_t key_length = std::strlen(key);
    Config_Stream s;
    Config_Cut line = {0, 0};
    if (Config_Entry_At(s, file, key, key_length, found_line, cuts, line))
    {
        std::fclose(file);
        cut_end = line.end;
        return Config_Add_Cut(cuts, line);
    }
    // The file changed, or the key stood further along its line: look at
    // every line from the start.
    if (std::fseek(file, 0, SEEK_SET) != 0)
    {
        std::fclose(file);
        return 0;
    }
    Stream_Start(s, file, &cuts);
    Config_Cut first = {0, 0};
    int have_first = 0;
    int is_entry = 0;
    while (Config_Next_Line(s, key, key_length, line, is_entry))
    {
        if (is_entry && line.begin == found_line)
        {
            first = line;
            have_first = 1;
            break;
        }
        if (is_entry && !have_first)
        {
            first = line;
            have_first = 1;
        }
        if (have_first && line.begin > found_line)
            break;
    }
    std::fclose(file);
    return have_first && Config_Add_Cut(cuts, first);
}

enum
{
    REWRITE_DONE,
    REWRITE_FAILED,
    REWRITE_CHANGED // the file no longer holds the planned cuts where they were
};

// Checks, byte by byte, that a planned cut still is an entry line of the key.
struct Config_Cut_Check
{
    int state;
    size_t matched;
};

enum
{
    CHECK_LEAD,
    CHECK_KEY,
    CHECK_REST,
    CHECK_CR,
    CHECK_DONE,
    CHECK_BAD
};

// What must follow a cut line: anything, no LF (it ended with a CR alone), or
// the data end (it had no line end).
enum
{
    NEXT_ANY,
    NEXT_NOT_LF,
    NEXT_DATA_END,
    NEXT_BAD
};

void Check_Byte(Config_Cut_Check &k, const char *key, size_t key_length, int c)
{
    if (c == DATA_END_MARK)
    {
        k.state = CHECK_BAD;
        return;
    }
    if (k.state == CHECK_LEAD)
    {
        if (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r')
            return;
        k.state = CHECK_KEY;
    }
    if (k.state == CHECK_KEY)
    {
        if (k.matched < key_length)
        {
            if (c == static_cast<unsigned char>(key[k.matched]))
                ++k.matched;
            else
                k.state = CHECK_BAD;
            return;
        }
        k.state = Is_Space(c) ? CHECK_REST : CHECK_BAD;
    }
    switch (k.state)
    {
    case CHECK_REST:
        if (c == '\n')
            k.state = CHECK_DONE;
        else if (c == '\r')
            k.state = CHECK_CR;
        break;
    case CHECK_CR:
        k.state = c == '\n' ? CHECK_DONE : CHECK_BAD;
        break;
    case CHECK_DONE:
        k.state = CHECK_BAD;
        break;
    default:
        break;
    }
}

int Check_End(const Config_Cut_Check &k, size_t key_length)
{
    switch (k.state)
    {
    case CHECK_DONE:
        return NEXT_ANY;
    case CHECK_CR:
        return NEXT_NOT_LF;
    case CHECK_REST:
        return NEXT_DATA_END;
    case CHECK_KEY:
        return k.matched == key_length ? NEXT_DATA_END : NEXT_BAD;
    default:
        return NEXT_BAD;
    }
}

int Put(std::FILE *to, const unsigned char *bytes, size_t count)
{
    return count == 0 || std::fwrite(bytes, 1, count, to) == count;
}

// "key value" CR LF in decimal, written by hand: formatted printing would pull
// a whole printf implementation into the small programs that link the store.
int Put_Entry_Line(std::FILE *to, const char *key, int32_t value)
{
    char digits[12];
    size_t at = sizeof digits;
    // Work in the unsigned magnitude so that INT32_MIN needs no special case.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do
    {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[--at] = '-';
    return std::fputs(key, to) >= 0 && std::fputc(' ', to) != EOF &&
           Put(to, reinterpret_cast<const unsigned char *>(digits + at), sizeof digits - at) &&
           std::fputs("\r\n", to) >= 0;
}

// The new entry line, on a line of its own.
int Put_Entry(std::FILE *to, int last_byte, const char *key, int32_t value)
{
    if (last_byte != END && last_byte != '\n' && std::fputs("\r\n", to) < 0)
        return 0;
    return Put_Entry_Line(to, key, value);
}

// Copies the file to the new one, leaving out the cuts (each checked again as
// it passes) and, when put_entry, writing the entry before the first 0x1A or at
// the end. from may be null: a file that does not exist yet.
int Config_Copy(std::FILE *from, std::FILE *to, const Config_Cut_List &cuts, const char *key,
                int32_t value, int put_entry)
{
    unsigned char buffer[CONFIG_BUFFER_SIZE];
    size_t key_length = std::strlen(key);
    long long base = 0;
    int cut_index = 0;
    int in_cut = 0;
    Config_Cut_Check check = {CHECK_LEAD, 0};
    int next = NEXT_ANY;
    int last = END; // last byte kept before the data end
    int data_ended = 0;
    size_t count;
    while (from && (count = std::fread(buffer, 1, sizeof buffer, from)) > 0)
    {
        size_t i = 0;
        while (i < count)
        {
            if (next != NEXT_ANY)
            {
                if ((next == NEXT_NOT_LF && buffer[i] == '\n') ||
                    (next == NEXT_DATA_END && buffer[i] != DATA_END_MARK))
                    return REWRITE_CHANGED;
                next = NEXT_ANY;
            }
            long long at = base + static_cast<long long>(i);
            if (in_cut || (cut_index < cuts.count && at == cuts.cut[cut_index].begin))
            {
                if (!in_cut)
                {
                    // A cut starts a line, before the data end.
                    if (data_ended || (last != END && last != '\n'))
                        return REWRITE_CHANGED;
                    in_cut = 1;
                    check.state = CHECK_LEAD;
                    check.matched = 0;
                }
                long long end = cuts.cut[cut_index].end - base;
                size_t stop = end < static_cast<long long>(count) ? static_cast<size_t>(end) : count;
                while (i < stop)
                    Check_Byte(check, key, key_length, buffer[i++]);
                if (static_cast<long long>(i) == end)
                {
                    next = Check_End(check, key_length);
                    if (next == NEXT_BAD)
                        return REWRITE_CHANGED;
                    in_cut = 0;
                    ++cut_index;
                }
                continue;
            }
            size_t stop = count;
            if (cut_index < cuts.count && cuts.cut[cut_index].begin - base < static_cast<long long>(count))
                stop = static_cast<size_t>(cuts.cut[cut_index].begin - base);
            if (!data_ended)
            {
                const void *mark = std::memchr(buffer + i, DATA_END_MARK, stop - i);
                if (mark)
                {
                    size_t at_mark = static_cast<size_t>(static_cast<const unsigned char *>(mark) - buffer);
                    if (!Put(to, buffer + i, at_mark - i))
                        return REWRITE_FAILED;
                    if (at_mark > i)
                        last = buffer[at_mark - 1];
                    if (put_entry && !Put_Entry(to, last, key, value))
                        return REWRITE_FAILED;
                    data_ended = 1;
                    i = at_mark;
                }
            }
            if (!Put(to, buffer + i, stop - i))
                return REWRITE_FAILED;
            if (!data_ended && stop > i)
                last = buffer[stop - 1];
            i = stop;
        }
        base += static_cast<long long>(count);
    }
    if (from && std::ferror(from))
        return REWRITE_FAILED;
    if (in_cut || cut_index < cuts.count)
        return REWRITE_CHANGED; // the file got shorter
    if (!data_ended && put_entry && !Put_Entry(to, last, key, value))
        return REWRITE_FAILED;
    return REWRITE_DONE;
}

// Writes the planned content to the new file and puts it in place of the
// settings file. On any failure the new file is removed and the settings file
// is as it was.
int Config_Rewrite_File(const Config_Cut_List &cuts, const char *key, int32_t value, int put_entry)
{
    // Opened for update although only read: a file that cannot be written
    // (read-only, locked by another program) is never replaced.
    errno = 0;
    std::FILE *from = std::fopen(CONFIG_FILE_PATH, "r+b");
    if (!from)
    {
        if (errno != ENOENT)
            return REWRITE_FAILED;
        if (cuts.count > 0)
            return REWRITE_CHANGED;
    }
    std::FILE *to = std::fopen(CONFIG_TEMP_PATH, "wb");
    if (!to)
    {
        if (from)
            std::fclose(from);
        return REWRITE_FAILED;
    }
    int result = Config_Copy(from, to, cuts, key, value, put_entry);
    if (from)
        std::fclose(from);
    if (std::fflush(to) != 0 || std::ferror(to))
        result = result == REWRITE_DONE ? REWRITE_FAILED : result;
    if (std::fclose(to) != 0 && result == REWRITE_DONE)
        result = REWRITE_FAILED;
    if (result == REWRITE_DONE && !Config_Replace_File(CONFIG_TEMP_PATH, CONFIG_FILE_PATH))
        result = REWRITE_FAILED;
    if (result != REWRITE_DONE)
        std::remove(CONFIG_TEMP_PATH);
    return result;
}

// A key is 1 to 80 bytes, none of them whitespace or 0x1A: anything else could
// not be read back as one word, so it is never stored.
int Config_Is_Key(const char *key)
{
    if (!key || !key[0])
        return 0;
    size_t length = 0;
    for (; key[length]; ++length)
    {
        int c = static_cast<unsigned char>(key[length]);
        if (length == CONFIG_MAX_WORD || Is_Space(c) || c == DATA_END_MARK)
            return 0;
    }
    return 1;
}

} // namespace

int Config_Read_Setting(const char *key, int32_t &value)
{
    if (!key)
        return 0;
    long long line_start = 0;
    int resumable = 0;
    return Config_Find_Setting(key, nullptr, 0, value, line_start, resumable);
}

void Config_Write_Setting(const char *key, int32_t value)
{
    if (!Config_Is_Key(key))
        return;
    int retries = 0;
    for (;;)
    {
        // Plan the cuts: each read sees the file minus the lines already cut,
        // as it would after removing them one at a time.
        Config_Cut_List cuts;
        cuts.count = 0;
        int complete = 1;
        int32_t scratch = 0;
        long long found_line = 0;
        long long from = 0;
        int resumable = 0;
        while (Config_Find_Setting(key, &cuts, from, scratch, found_line, resumable))
        {
            if (cuts.count == CONFIG_MAX_CUTS)
            {
                complete = 0;
                break;
            }
            if (Config_Test_Hook)
                Config_Test_Hook(CONFIG_HOOK_FOUND);
            long long cut_end = -1;
            if (!Config_Remove_Setting_Line(key, found_line, cuts, cut_end))
                break;
            from = resumable && cut_end >= 0 ? cut_end : 0;
        }
        if (Config_Test_Hook)
            Config_Test_Hook(CONFIG_HOOK_REWRITE);
        int result = Config_Rewrite_File(cuts, key, value, complete);
        if (result == REWRITE_DONE && !complete)
            continue; // more entries than one rewrite cuts; each pass shrinks the file
        if (result == REWRITE_CHANGED && ++retries < CONFIG_MAX_RETRIES)
            continue;
        return;
    }
}
