// Fuzz target for the settings store's core: arbitrary file contents, keys and
// values. Each input is read and stored once in memory; the result must match a
// plain model of the store byte for byte, every line whose first word is not the
// key must still be there in order, and a file of well-formed entries must read
// back the stored value. One input in 32 also goes through the settings file,
// which must then hold exactly the core's bytes.
//
// Input: byte 0 picks the key (bit 7: no file at all), custom keys take their
// length and bytes from what follows; then 4 bytes of value; the rest is the file.
#include "config_store.h"
#include "config_store_internal.h"
#include "fuzz_input.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

[[noreturn]] void Fail(const char *what, const std::string &detail = "")
{
    std::fprintf(stderr, "store fuzzer: %s %s\n", what, detail.c_str());
    std::abort();
}

bool Space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Data_Part(const std::string &raw)
{
    return std::string_view(raw).substr(0, raw.find('\x1a'));
}

// ---- The model: the store's rules applied to a string, one removal at a time.

// The reader's view of raw, byte by byte: the data before the first 0x1A, in
// which CR LF reads as one LF.
struct Text_View
{
    const std::string &raw;
    const size_t end = std::min(raw.find('\x1a'), raw.size());
    size_t i = 0;    // raw offset of the current byte
    size_t line = 0; // raw offset of its line's first byte

    bool At_End() const { return i >= end; }
    bool Cr_Lf() const { return raw[i] == '\r' && i + 1 < end && raw[i + 1] == '\n'; }
    unsigned char C() const { return Cr_Lf() ? '\n' : static_cast<unsigned char>(raw[i]); }
    unsigned char Take()
    {
        unsigned char c = C();
        i += c == '\n' && raw[i] == '\r' ? 2 : 1;
        if (c == '\n')
            line = i;
        return c;
    }
};

struct Model_Read
{
    bool found = false;
    bool has_value = false;
    int32_t value = 0;
    size_t line = 0;
};

Model_Read Read_Model(const std::string &raw, const std::string &key)
{
    Text_View t{raw};
    Model_Read r;
    for (;;)
    {
        while (!t.At_End() && Space(t.C()))
            t.Take();
        if (t.At_End())
            return r;
        size_t word_line = t.line;
        std::string word;
        while (!t.At_End() && word.size() < 80 && !Space(t.C()))
            word += static_cast<char>(t.Take());
        if (word == key)
        {
            while (!t.At_End() && Space(t.C()))
                t.Take();
            bool negative = false;
            if (!t.At_End() && (t.C() == '-' || t.C() == '+'))
                negative = t.Take() == '-';
            if (t.At_End() || (t.C() >= '0' && t.C() <= '9'))
            {
                r.found = true;
                r.line = word_line;
                if (t.At_End())
                    return r;
                double magnitude = 0; // only compared against the limits
                while (!t.At_End() && t.C() >= '0' && t.C() <= '9')
                    magnitude = magnitude * 10 + (t.Take() - '0');
                r.has_value = true;
                if (negative)
                    r.value = magnitude >= 2147483648.0 ? INT32_MIN : -static_cast<int32_t>(magnitude);
                else
                    r.value = magnitude >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(magnitude);
                return r;
            }
        }
        else
        {
            while (!t.At_End() && (t.C() == ' ' || t.C() == '\t' || t.C() == '\n'))
                t.Take();
            for (int taken = 0; taken < 80 && !t.At_End(); ++taken)
                if (t.Take() == '\n')
                    break;
        }
    }
}

// Whether the raw line at b has the key as its first word; its cut end if so.
bool Entry_Line(const std::string &raw, size_t b, size_t data_end, const std::string &key, size_t &end)
{
    size_t i = b;
    while (i < data_end && raw[i] && std::strchr(" \t\v\f\r", raw[i]))
        ++i;
    if (i + key.size() > data_end || raw.compare(i, key.size(), key) != 0)
        return false;
    i += key.size();
    if (i < data_end && !Space(static_cast<unsigned char>(raw[i])))
        return false;
    while (i < data_end && raw[i] != '\n' && raw[i] != '\r')
        ++i;
    if (i < data_end && raw[i] == '\r')
    {
        ++i;
        if (i < data_end && raw[i] == '\n')
            ++i;
    }
    else if (i < data_end)
        ++i;
    end = i;
    return true;
}

std::string Store_Model(std::string raw, const std::string &key, int32_t value)
{
    for (;;)
    {
        Model_Read r = Read_Model(raw, key);
        if (!r.found)
            break;
        size_t data_end = std::min(raw.find('\x1a'), raw.size());
        size_t begin = r.line, end = 0;
        if (!Entry_Line(raw, begin, data_end, key, end))
        {
            bool any = false;
            for (begin = 0; begin < data_end; begin = raw.find('\n', begin) + 1)
            {
                if ((any = Entry_Line(raw, begin, data_end, key, end)))
                    break;
                if (raw.find('\n', begin) >= data_end)
                    break;
            }
            if (!any)
                break;
        }
        raw.erase(begin, end - begin);
    }
    size_t at = std::min(raw.find('\x1a'), raw.size());
    std::string entry = key + " " + std::to_string(value) + "\r\n";
    if (at > 0 && raw[at - 1] != '\n')
        entry = "\r\n" + entry;
    return raw.insert(at, entry);
}

// ---- Checks that do not lean on the model.

struct Line
{
    std::string_view bytes; // with its LF, when it has one
    bool key_first;
};

std::vector<Line> Lines(std::string_view data, std::string_view key)
{
    std::vector<Line> lines;
    for (size_t b = 0; b < data.size();)
    {
        size_t e = data.find('\n', b);
        e = e == std::string::npos ? data.size() : e + 1;
        std::string_view bytes = data.substr(b, e - b);
        size_t w = bytes.find_first_not_of(" \t\v\f\r");
        size_t we = w == std::string::npos ? w : w + key.size();
        bool key_first = w != std::string::npos && bytes.compare(w, key.size(), key) == 0 &&
                         (we == bytes.size() || Space(static_cast<unsigned char>(bytes[we])));
        lines.push_back({bytes, key_first});
        b = e;
    }
    return lines;
}

void Check_Kept_Lines(const std::string &before, const std::string &after, const std::string &key,
                      const std::string &entry)
{
    size_t mark = before.find('\x1a');
    if (mark != std::string::npos)
    {
        std::string_view tail = std::string_view(before).substr(mark);
        if (after.size() < tail.size() || after.compare(after.size() - tail.size(), tail.size(), tail) != 0)
            Fail("bytes from the 0x1A on changed");
    }
    std::string_view data = Data_Part(after);
    if (data.size() < entry.size() || data.compare(data.size() - entry.size(), entry.size(), entry) != 0)
        Fail("data do not end with the entry");
    std::vector<Line> old_lines = Lines(Data_Part(before), key);
    std::vector<Line> new_lines = Lines(data.substr(0, data.size() - entry.size()), key);
    size_t j = 0;
    for (size_t i = 0; i < old_lines.size(); ++i)
    {
        if (old_lines[i].key_first)
            continue;
        std::string_view want = old_lines[i].bytes;
        bool unended = want.empty() || want.back() != '\n';
        auto kept = [&](std::string_view line) {
            return line == want || (unended && line.size() == want.size() + 2 &&
                                    line.substr(0, want.size()) == want && line.substr(want.size()) == "\r\n");
        };
        while (j < new_lines.size() && !kept(new_lines[j].bytes))
            ++j;
        if (j == new_lines.size())
            Fail("line lost:", std::string(want));
        ++j;
    }
}

// Only lines of key, one blank, a number, a line end.
bool Well_Formed(const std::string &raw)
{
    for (const Line &line : Lines(raw, "\x01"))
    {
        std::string_view b = line.bytes;
        size_t k = 0;
        while (k < b.size() && !Space(static_cast<unsigned char>(b[k])) && b[k] != '\x1a')
            ++k;
        if (k == 0 || k > 80 || k == b.size() || (b[k] != ' ' && b[k] != '\t'))
            return false;
        size_t d = k + 1;
        if (d < b.size() && b[d] == '-')
            ++d;
        size_t digits = d;
        while (digits < b.size() && b[digits] >= '0' && b[digits] <= '9')
            ++digits;
        if (digits == d || digits - d > 10)
            return false;
        std::string_view end = b.substr(digits);
        if (end != "\n" && end != "\r\n")
            return false;
    }
    return true;
}

std::string Get_File()
{
    std::string bytes;
    std::FILE *file = std::fopen("tamsel/config.dat", "rb");
    if (!file)
        return "<missing>";
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    return bytes;
}

bool File_Exists(const char *path)
{
    struct stat info;
    return stat(path, &info) == 0;
}

// The file side, for one input in kShellEvery: the read and the store through
// the settings file give what the core gave. Each store there syncs its file
// and folder, so the file side is kept rarer than the core's.
const uint32_t kShellEvery = 32;

void Check_Shell(bool no_file, const std::string &before, const std::string &key, int32_t value,
                 int core_found, int32_t core_value, const std::string &core_after)
{
    std::remove("tamsel/config.dat");
    if (!no_file)
    {
        std::FILE *file = std::fopen("tamsel/config.dat", "wb");
        if (!file || std::fwrite(before.data(), 1, before.size(), file) != before.size() || std::fclose(file) != 0)
            Fail("cannot write the input file");
    }
    int32_t read_value = 12345;
    if (Config_Read_Setting(key.c_str(), read_value) != core_found || read_value != core_value)
        Fail("the file's read differs from the core's for key", key);
    Config_Write_Setting(key.c_str(), value);
    if (Get_File() != core_after)
        Fail("the stored file differs from the core's bytes for key", key);
    if (File_Exists("tamsel/config.new"))
        Fail("new file left behind");
}

std::string g_work;

void Clean_Up()
{
    std::remove("tamsel/config.dat");
    std::remove("tamsel/config.new");
    std::remove("tamsel");
    if (chdir("/") == 0)
        std::remove(g_work.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The store works on a fixed path in the working folder: a private one.
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/store_fuzz.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()) || chdir(name.data()) != 0 || mkdir("tamsel", 0777) != 0)
        Fail("no working folder");
    g_work = name.data();
    std::atexit(Clean_Up);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz_Input input;
    if (!Fuzz_Decode(data, size, input))
        return 0;
    const bool no_file = input.no_file;
    const std::string &key = input.key;
    const int32_t value = input.value;
    const std::string &before = input.before;
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(before.data());

    // The read, against the model.
    int32_t read_value = 12345;
    int found = Config_Find_Setting(bytes, before.size(), key.c_str(), read_value);
    Model_Read expected_read = Read_Model(before, key);
    if ((found != 0) != expected_read.found ||
        read_value != (expected_read.has_value ? expected_read.value : 12345))
        Fail("read differs from the model for key", key);

    bool valid_key = !key.empty() && key.size() <= 80;
    for (char c : key)
        valid_key = valid_key && !Space(static_cast<unsigned char>(c)) && c != '\x1a';
    if ((Config_Is_Key(key.c_str()) != 0) != valid_key)
        Fail("key check differs for key", key);

    // The store, in a block of exactly the size and room the core may use.
    std::string after = no_file ? "<missing>" : before;
    if (valid_key)
    {
        std::unique_ptr<unsigned char[]> buffer(new unsigned char[before.size() + CONFIG_ENTRY_ROOM]);
        std::memcpy(buffer.get(), bytes, before.size());
        size_t stored = Config_Store_Setting(buffer.get(), before.size(), key.c_str(), value);
        if (stored > before.size() + CONFIG_ENTRY_ROOM)
            Fail("stored size beyond the room");
        after.assign(reinterpret_cast<const char *>(buffer.get()), stored);
    }

    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    if (hash % kShellEvery == 0)
        Check_Shell(no_file, before, key, value, found, read_value, after);
    if (!valid_key)
        return 0;

    const std::string entry = key + " " + std::to_string(value) + "\r\n";
    Check_Kept_Lines(before, after, key, entry);
    if (after != Store_Model(before, key, value))
        Fail("stored bytes differ from the model for key", key);
    if (Well_Formed(before))
    {
        read_value = 0;
        if (!Config_Find_Setting(reinterpret_cast<const unsigned char *>(after.data()), after.size(), key.c_str(),
                                 read_value) ||
            read_value != value)
            Fail("well-formed file does not read back the stored value");
    }
    return 0;
}
