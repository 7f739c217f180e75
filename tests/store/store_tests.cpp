// Settings store behaviour: what a read finds and what a store leaves in the
// file, as exact bytes, on Linux and on Win32 alike.
#include "store_test_support.h"

#include "config_store.h"
#include "config_store_internal.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

using namespace std::string_literals;
using namespace store_test;

namespace
{

const std::string X80(80, 'x');
const std::string X78(78, 'x');
const std::string K80(80, 'K');
const std::string K81(81, 'K');

struct ReadCase
{
    const char *name;
    std::string file;
    std::string key;
    int found;
    int32_t value; // kPreset when the read must not write it
};

const ReadCase kReadCases[] = {
    {"Empty", ""s, "A", 0, kPreset},
    {"WhitespaceOnly", " \r\n\t\n\r\n"s, "A", 0, kPreset},
    {"SingleEntry", "D3D_ALLOW_MIPMAP 1\r\n"s, "D3D_ALLOW_MIPMAP", 1, 1},
    {"Negative", "A -5\r\n"s, "A", 1, -5},
    {"PlusSign", "A +5\r\n"s, "A", 1, 5},
    {"NumberThenLetters", "A 12abc\r\n"s, "A", 1, 12},
    {"LeadingBlanksAndEmptyLines", "\r\n\r\n \t A 3\r\n"s, "A", 1, 3},
    {"LeadingVtAndFf", "\v\f A 8\r\n"s, "A", 1, 8},
    {"OtherCaseNoMatch", "a 3\r\n"s, "A", 0, kPreset},
    {"LongerWordNoMatch", "AB 3\r\n"s, "A", 0, kPreset},
    {"FirstOfTwoEntries", "A 1\r\nA 2\r\n"s, "A", 1, 1},
    {"LfLineEnds", "X 1\nA 7\n"s, "A", 1, 7},
    {"KeyLastWordValueKept", "X 1\r\nA\r\n"s, "A", 1, kPreset},
    {"NumberOnNextLine", "A\r\n7\r\n"s, "A", 1, 7},
    {"NumberAfterBlankLines", "A\r\n\r\n  \r\n42\r\n"s, "A", 1, 42},
    {"WordAfterKeySkipsNextLine", "A x\r\nA 4\r\nA 5\r\n"s, "A", 1, 5},
    {"SingleWordLineSkipsNextLine", "X\r\nA 4\r\nA 6\r\n"s, "A", 1, 6},
    {"TailAfter80BytesScannedAsWords", "B " + X80 + " A 9\r\n", "A", 1, 9},
    {"SkipOf80BytesSwallowsKey", "B " + X78 + " A 9\r\n", "A", 0, kPreset},
    {"SignWithoutDigitThenEntry", "A -\r\nA 3\r\n"s, "A", 1, 3},
    {"EntryBehindCtrlZIgnored", "X 1\r\n\x1a" "A 5\r\n"s, "A", 0, kPreset},
    {"CtrlZBeforeNumber", "A \x1a" "5\r\n"s, "A", 1, kPreset},
    {"LoneCrOrdinaryByte", "X 1\rA 5\r\n"s, "A", 0, kPreset},
    {"CrLfEndsLine", "X 1\r\nA 5\r\n"s, "A", 1, 5},
    {"NulInsideWord", "X\0Y 1\r\nA 5\r\n"s, "A", 1, 5},
    {"Max", "A 2147483647\r\n"s, "A", 1, INT32_MAX},
    {"Min", "A -2147483648\r\n"s, "A", 1, INT32_MIN},
    {"AboveMaxReadsMax", "A 2147483648\r\n"s, "A", 1, INT32_MAX},
    {"TwoToThe32Plus5ReadsMax", "A 4294967301\r\n"s, "A", 1, INT32_MAX},
    {"ManyDigitsReadMax", "A 000099999999999999999999\r\n"s, "A", 1, INT32_MAX},
    {"BelowMinReadsMin", "A -2147483649\r\n"s, "A", 1, INT32_MIN},
    {"FarBelowMinReadsMin", "A -99999999999999999999\r\n"s, "A", 1, INT32_MIN},
    {"Key80Bytes", K80 + " 3\r\n", K80, 1, 3},
    {"Key81BytesNeverFound", K81 + " 3\r\n", K81, 0, kPreset},
};

void PrintTo(const ReadCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReadTable : public StoreTest, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(ReadTable, FindsWhatTheReaderFinds)
{
    const ReadCase &c = GetParam();
    Put(kFile, c.file);
    Read read = ReadKey(c.key.c_str());
    EXPECT_EQ(read.found, c.found ? 1 : 0);
    EXPECT_EQ(read.value, c.value);
    EXPECT_EQ(Get(kFile), c.file) << "a read changed the file";
}

TEST_P(ReadTable, CoreFindsTheSame)
{
    const ReadCase &c = GetParam();
    Read read = {0, kPreset};
    read.found = Config_Find_Setting(reinterpret_cast<const unsigned char *>(c.file.data()), c.file.size(),
                                     c.key.c_str(), read.value);
    EXPECT_EQ(read.found, c.found ? 1 : 0);
    EXPECT_EQ(read.value, c.value);
}

INSTANTIATE_TEST_SUITE_P(Store, ReadTable, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase> &i) { return i.param.name; });

TEST_F(StoreTest, ReadWithoutFileLeavesValue)
{
    Read read = ReadKey("A");
    EXPECT_EQ(read.found, 0);
    EXPECT_EQ(read.value, kPreset);
    EXPECT_FALSE(Exists(kFile));
}

const std::string kNoFile = "<missing>"; // Get()'s answer for a missing file

struct StoreCase
{
    const char *name;
    std::string before;
    std::string key;
    int32_t value;
    std::string after;
    int32_t read_back; // kPreset: the read after the store does not find the key
};

const StoreCase kStoreCases[] = {
    {"NewFileIs20Bytes", kNoFile, "D3D_ALLOW_MIPMAP", 1, "D3D_ALLOW_MIPMAP 1\r\n"s, 1},
    {"EmptyFile", ""s, "A", 5, "A 5\r\n"s, 5},
    {"WhitespaceKept", " \r\n"s, "A", 5, " \r\nA 5\r\n"s, 5},
    {"ReplacedAndMovedToEnd", "A 1\r\nB 2\r\nC 3\r\n"s, "B", 5, "A 1\r\nC 3\r\nB 5\r\n"s, 5},
    {"SameValueStillMoves", "B 2\r\nC 3\r\n"s, "B", 2, "C 3\r\nB 2\r\n"s, 2},
    {"BothEntriesCut", "A 1\r\nX 0\r\nA 2\r\n"s, "A", 9, "X 0\r\nA 9\r\n"s, 9},
    {"LfLinesKeepLf", "A 1\nB 2\nC 3\n"s, "B", 7, "A 1\nC 3\nB 7\r\n"s, 7},
    {"NegativeValue", ""s, "A", INT32_MIN, "A -2147483648\r\n"s, INT32_MIN},
    {"KeyWithoutNumberCut", "X 1\r\nA\r\n"s, "A", 4, "X 1\r\nA 4\r\n"s, 4},
    // The line "7" is no entry of the key, so it stays; as a line of one word
    // it then hides the entry after it from reads.
    {"NumberLineAfterBareKeyStays", "A\r\n7\r\n"s, "A", 8, "7\r\nA 8\r\n"s, kPreset},
    {"KeyThenWordIsNoEntry", "A x\r\nB 1\r\n"s, "A", 2, "A x\r\nB 1\r\nA 2\r\n"s, 2},
    {"SingleWordLineHidesEntry", "X\r\nA 1\r\n"s, "A", 2, "X\r\nA 1\r\nA 2\r\n"s, 2},
    // Once its line is cut, the bare key takes the number after that line.
    {"BareKeyTakesNumberAfterCutLine", "A\r\nA 5\r\n7\r\n"s, "A", 9, "7\r\nA 9\r\n"s, kPreset},
    // Only a line whose first word is the key is ever cut.
    {"KeyInsideLongerKey", "AB 1\r\nA 2\r\n"s, "A", 3, "AB 1\r\nA 3\r\n"s, 3},
    {"KeyEndsOtherKey", "XA 1\r\nA 2\r\n"s, "A", 3, "XA 1\r\nA 3\r\n"s, 3},
    {"KeyInsideValue", "X A1\r\nA 2\r\n"s, "A", 3, "X A1\r\nA 3\r\n"s, 3},
    {"KeyFurtherAlongLine", "X 1 A 5\r\nA 2\r\n"s, "A", 3, "X 1 A 5\r\nA 3\r\n"s, 3},
    {"FoundMidLineOnlyAppends", "B " + X80 + " A 9\r\nC 1\r\n", "A", 6,
     "B " + X80 + " A 9\r\nC 1\r\nA 6\r\n", 9},
    // A line is the key's entry only when the key is its whole first word, with
    // whitespace or the data end after it; a longer word that begins with the
    // key is another key. Found behind other text, the key's entry is looked for
    // from the top (an "X" line hides the one here from reads).
    {"LongerWordOnFoundLineStays", "AB " + X80 + " A 9\r\nC 1\r\n", "A", 6,
     "AB " + X80 + " A 9\r\nC 1\r\nA 6\r\n", 9},
    {"LongerWordBeforeHiddenEntryStays",
     "D3D_ALLOW_MIPMAPX 3\r\nX\r\nD3D_ALLOW_MIPMAP 1\r\nB " + X80 + " D3D_ALLOW_MIPMAP 9\r\n",
     "D3D_ALLOW_MIPMAP", 0,
     "D3D_ALLOW_MIPMAPX 3\r\nX\r\nB " + X80 + " D3D_ALLOW_MIPMAP 9\r\nD3D_ALLOW_MIPMAP 0\r\n", 0},
    {"NulAfterKeyIsLongerWord", "A\0 1\r\nX\r\nA 1\r\nB "s + X80 + " A 9\r\n", "A", 6,
     "A\0 1\r\nX\r\nB "s + X80 + " A 9\r\nA 6\r\n", 6},
    {"TabEndsKeyOfHiddenEntry", "AB 1\r\nX\r\nA\t1\r\nB " + X80 + " A 9\r\n", "A", 6,
     "AB 1\r\nX\r\nB " + X80 + " A 9\r\nA 6\r\n", 6},
    {"CrEndsKeyOfHiddenEntry", "AB 1\r\nX\r\nA\r\nB " + X80 + " A 9\r\n", "A", 6,
     "AB 1\r\nX\r\nB " + X80 + " A 9\r\nA 6\r\n", 6},
    {"DataEndEndsKeyOfEntry", "AB 1\r\nB " + X80 + " A 9\r\nA", "A", 6,
     "AB 1\r\nB " + X80 + " A 9\r\nA 6\r\n", 9},
    {"CtrlZEndsKeyOfEntry", "AB 1\r\nB " + X80 + " A 9\r\nA\x1a" + "A 1\r\n", "A", 6,
     "AB 1\r\nB " + X80 + " A 9\r\nA 6\r\n\x1a" + "A 1\r\n", 9},
    {"BlanksBeforeKeyGoWithLine", "  \tA 5\r\nB 1\r\n"s, "A", 6, "B 1\r\nA 6\r\n"s, 6},
    {"KeyTwiceOnLine", "A A 5\r\nB 1\r\n"s, "A", 6, "B 1\r\nA 6\r\n"s, 6},
    {"FoundLineCutNotEarlierKeyLine", "A x\r\nB 1\r\nA 5\r\n"s, "A", 6, "A x\r\nB 1\r\nA 6\r\n"s, 6},
    {"TabSeparator", "A\t5\r\nB 1\r\n"s, "A", 6, "B 1\r\nA 6\r\n"s, 6},
    // The entry always gets a line of its own.
    {"LastLineUnended", "X 1"s, "A", 2, "X 1\r\nA 2\r\n"s, 2},
    {"LastLineEndsInLoneCr", "X 1\r"s, "A", 2, "X 1\r\r\nA 2\r\n"s, 2},
    {"UnendedEntryCut", "X 1\r\nA 5"s, "A", 6, "X 1\r\nA 6\r\n"s, 6},
    // A lone CR ends the cut line; the byte after it stays.
    {"LoneCrEndsCutLine", "A 5\rB 1\r\n"s, "A", 6, "B 1\r\nA 6\r\n"s, 6},
    // The entry goes before the first 0x1A; that byte and the rest stay.
    {"EntryBeforeCtrlZ", "X 1\r\n\x1a" "junk"s, "A", 2, "X 1\r\nA 2\r\n\x1a" "junk"s, 2},
    {"CtrlZAfterUnendedLine", "X 1\x1a"s, "A", 2, "X 1\r\nA 2\r\n\x1a"s, 2},
    {"CtrlZFirst", "\x1a" "A 1\r\n"s, "A", 2, "A 2\r\n\x1a" "A 1\r\n"s, 2},
    {"EntryBehindCtrlZStays", "A 1\r\n\x1a" "A 1\r\n"s, "A", 2, "A 2\r\n\x1a" "A 1\r\n"s, 2},
    {"EntryRunsIntoCtrlZ", "X 1\r\nA 5\x1a" "t\r\n"s, "A", 6, "X 1\r\nA 6\r\n\x1a" "t\r\n"s, 6},
    {"LargestEntryUsesAllRoom", "X 1"s, K80, INT32_MIN, "X 1\r\n" + K80 + " -2147483648\r\n", INT32_MIN},
    {"RawBytesAfterCtrlZ", "\x1a\r\n\r\r\0\n\x1a"s, "A", 1, "A 1\r\n\x1a\r\n\r\r\0\n\x1a"s, 1},
};

void PrintTo(const StoreCase &c, std::ostream *os)
{
    *os << c.name;
}

class StoreTable : public StoreTest, public ::testing::WithParamInterface<StoreCase>
{
};

TEST_P(StoreTable, LeavesExactBytes)
{
    const StoreCase &c = GetParam();
    if (c.before != kNoFile)
        Put(kFile, c.before);
    Config_Write_Setting(c.key.c_str(), c.value);
    EXPECT_EQ(Get(kFile), c.after);
    Read read = ReadKey(c.key.c_str());
    EXPECT_EQ(read.found, c.read_back == kPreset ? 0 : 1);
    EXPECT_EQ(read.value, c.read_back);
    EXPECT_EQ(List("tamsel"), std::vector<std::string>{"config.dat"});
}

// The core alone, given the bytes and exactly the room it may use after them:
// AddressSanitizer stops a write beyond.
TEST_P(StoreTable, CoreMakesTheSameBytes)
{
    const StoreCase &c = GetParam();
    const std::string before = c.before == kNoFile ? "" : c.before;
    std::vector<unsigned char> bytes(before.size() + CONFIG_ENTRY_ROOM);
    std::copy(before.begin(), before.end(), bytes.begin());
    size_t size = Config_Store_Setting(bytes.data(), before.size(), c.key.c_str(), c.value);
    ASSERT_LE(size, bytes.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(size)), c.after);
}

INSTANTIATE_TEST_SUITE_P(Store, StoreTable, ::testing::ValuesIn(kStoreCases),
                         [](const ::testing::TestParamInfo<StoreCase> &i) { return i.param.name; });

TEST_F(StoreTest, RepeatedStoresBeforeCtrlZKeepSize)
{
    Put(kFile, "X 1\r\n\x1a" "tail"s);
    Config_Write_Setting("A", 5);
    std::string first = Get(kFile);
    for (int i = 0; i < 3; ++i)
        Config_Write_Setting("A", 6);
    EXPECT_EQ(first, "X 1\r\nA 5\r\n\x1a" "tail"s);
    EXPECT_EQ(Get(kFile), "X 1\r\nA 6\r\n\x1a" "tail"s);
}

TEST_F(StoreTest, FourKeysEndTheFileInOrder)
{
    Put(kFile, "D3D_TYPE1_SHADOWS 0\r\nOTHER 3\r\nRENDERING_PLATFORM 5\r\nD3D_ALLOW_MIPMAP 0\r\n");
    Config_Write_Setting("RENDERING_PLATFORM", 6);
    Config_Write_Setting("D3D_ALLOW_MIPMAP", 1);
    Config_Write_Setting("D3D_ALLOW_PALETTISED", 1);
    Config_Write_Setting("D3D_TYPE1_SHADOWS", 1);
    EXPECT_EQ(Get(kFile), "OTHER 3\r\nRENDERING_PLATFORM 6\r\nD3D_ALLOW_MIPMAP 1\r\n"
                          "D3D_ALLOW_PALETTISED 1\r\nD3D_TYPE1_SHADOWS 1\r\n");
}

TEST_F(StoreTest, ManyEntriesAllCut)
{
    std::string before, others;
    for (int i = 0; i < 20; ++i)
    {
        before += "A " + std::to_string(i) + "\r\nB " + std::to_string(i) + "\r\n";
        others += "B " + std::to_string(i) + "\r\n";
    }
    Put(kFile, before);
    Config_Write_Setting("A", 99);
    EXPECT_EQ(Get(kFile), others + "A 99\r\n");
}

TEST_F(StoreTest, InvalidKeysStoreNothing)
{
    const std::string bad[] = {"", "A B", "A\tB", "A\n", K81, "A\x1a" "B"};
    Put(kFile, "A 1\r\n");
    for (const std::string &key : bad)
    {
        Config_Write_Setting(key.c_str(), 2);
        EXPECT_EQ(Get(kFile), "A 1\r\n") << "key " << key;
    }
    Config_Write_Setting(nullptr, 2);
    EXPECT_EQ(ReadKey(nullptr).found, 0);
    EXPECT_EQ(Get(kFile), "A 1\r\n");
    Config_Write_Setting(K80.c_str(), 2);
    EXPECT_EQ(Get(kFile), "A 1\r\n" + K80 + " 2\r\n");
}

// Filler lines of "Fnnnnn 12345" up to at least size bytes.
std::string Filler(size_t size, int first = 0)
{
    std::string text;
    char line[32];
    for (int n = first; text.size() < size; ++n)
    {
        std::snprintf(line, sizeof line, "F%05d %d\r\n", n, n * 7);
        text += line;
    }
    return text;
}

TEST_F(StoreTest, LargeFileKeepsEveryOtherLine)
{
    // Entries at the start, in the middle and at the end of a 1 MB file.
    const std::string head = Filler(512 * 1024), tail = Filler(512 * 1024, 90000);
    Put(kFile, "A 1\r\n" + head + "A 2\r\n" + tail + "A 3\r\n");
    Read read = ReadKey("A");
    EXPECT_EQ(read.value, 1);
    Config_Write_Setting("A", 4);
    EXPECT_EQ(Get(kFile), head + tail + "A 4\r\n");
    EXPECT_EQ(ReadKey("A").value, 4);
}

TEST_F(StoreTest, CtrlZFarIntoFile)
{
    std::string data = Filler(7000), rest = "\x1a" + Filler(7000);
    Put(kFile, data + rest);
    Config_Write_Setting("A", 1);
    EXPECT_EQ(Get(kFile), data + "A 1\r\n" + rest);
}

TEST_F(StoreTest, ReplaceFileOverExistingAndMissing)
{
    // In the store's own form: Wine's ReplaceFile finds the folder by backslashes only.
#ifdef _WIN32
    const char one[] = "tamsel\\one", two[] = "tamsel\\two", three[] = "tamsel\\three";
#else
    const char one[] = "tamsel/one", two[] = "tamsel/two", three[] = "tamsel/three";
#endif
    Put(one, "new");
    Put(two, "old contents");
    ASSERT_NE(Config_Replace_File(one, two), 0);
    EXPECT_EQ(Get(two), "new");
    ASSERT_NE(Config_Replace_File(two, three), 0);
    EXPECT_EQ(Get(three), "new");
    EXPECT_EQ(List("tamsel"), std::vector<std::string>{"three"});
}

TEST_F(StoreTest, SettingsPathIsInTamselFolder)
{
#ifdef _WIN32
    EXPECT_STREQ(CONFIG_FILE_PATH, "tamsel\\config.dat");
#else
    EXPECT_STREQ(CONFIG_FILE_PATH, "tamsel/config.dat");
#endif
    Put(kFile, "A 1\r\n");
    Config_Write_Setting("B", 2);
    EXPECT_EQ(List("."), std::vector<std::string>{"tamsel"});
    EXPECT_EQ(List("tamsel"), std::vector<std::string>{"config.dat"});
    EXPECT_EQ(Get(kFile), "A 1\r\nB 2\r\n");
}

} // namespace
