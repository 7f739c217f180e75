/*
 * The programs' start-up rule for WinMain's command line, case by case:
 * where the program name ends, which blanks after it are dropped, bytes from
 * 0x80 up, and the double-byte step inside a quoted name (code page 932).
 */
#include "program_start.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

/* The start-up file calls WinMain; this console program enters at main and
 * never runs Program_Start. */
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}

namespace
{

BOOL WINAPI Is_Lead_Byte_932(BYTE byte)
{
    return IsDBCSLeadByteEx(932, byte);
}

BOOL WINAPI Is_Lead_Byte_None(BYTE)
{
    return FALSE;
}

struct Arguments_Case
{
    const char *name;
    std::string command_line;
    std::string arguments; /* WinMain's command line: the end of the line */
    Lead_Byte_Test is_lead_byte;
};

void PrintTo(const Arguments_Case &test, std::ostream *out)
{
    *out << test.name;
}

const Arguments_Case ARGUMENTS_CASES[] = {
    {"Empty", "", "", IsDBCSLeadByte},
    {"QuotedName", "\"C:\\KV\\launch.exe\" -w", "-w", IsDBCSLeadByte},
    {"QuotedNameWithBlanks", "\"C:\\Karnoth Velmire\\launch.exe\"  -w", "-w", IsDBCSLeadByte},
    {"QuotedNameAlone", "\"C:\\KV\\launch.exe\"", "", IsDBCSLeadByte},
    {"TextRightAfterClosingQuote", "\"launch.exe\"-w x", "-w x", IsDBCSLeadByte},
    {"EmptyQuotedName", "\"\" -w", "-w", IsDBCSLeadByte},
    {"UnclosedQuoteTakesAll", "\"launch.exe -w", "", IsDBCSLeadByte},
    {"UnquotedName", "launch.exe -w", "-w", IsDBCSLeadByte},
    {"UnquotedNameAlone", "launch.exe", "", IsDBCSLeadByte},
    {"QuoteInsideUnquotedName", "la\"unch.exe -w", "-w", IsDBCSLeadByte},
    {"NonAsciiInUnquotedName", "C:\\V\xE9lmire\\launch.exe -w", "-w", IsDBCSLeadByte},
    {"NonAsciiFirstArgument", "launch.exe \xC9tape", "\xC9tape", IsDBCSLeadByte},
    {"HighBytesAreNoBlanks", "launch.exe \xA0\x80\xFF", "\xA0\x80\xFF", IsDBCSLeadByte},
    {"ControlCharactersDropped", "launch.exe\x01\x1F\t\r\n -w", "-w", IsDBCSLeadByte},
    {"OnlyBlanksAfterName", "launch.exe   ", "", IsDBCSLeadByte},
    {"BlanksInsideArgumentsKept", "launch.exe a  \"b c\"  ", "a  \"b c\"  ", IsDBCSLeadByte},
    /* In code page 932 0x83 leads a double-byte character: the quote after
     * it is its second byte, so the name runs on. */
    {"DoubleByteCharacterTakesTheQuote", "\"ab\x83\" -w", "", Is_Lead_Byte_932},
    {"WithoutLeadBytesTheQuoteEndsTheName", "\"ab\x83\" -w", "-w", Is_Lead_Byte_None},
    {"DoubleByteCharacterInQuotedName", "\"C:\\\x83\x5C\\l.exe\" -w", "-w", Is_Lead_Byte_932},
    /* Lead bytes outside quotes are plain bytes above 0x20. */
    {"LeadByteInUnquotedName", "l\x83 -w", "-w", Is_Lead_Byte_932},
};

class ProgramArguments : public testing::TestWithParam<Arguments_Case>
{
};

TEST_P(ProgramArguments, BeginWhereTheRuleSays)
{
    const Arguments_Case &test = GetParam();
    std::string line = test.command_line;
    char *got = Program_Arguments(&line[0], test.is_lead_byte);
    ASSERT_GE(got, &line[0]);
    ASSERT_LE(got, &line[0] + line.size());
    EXPECT_EQ(test.arguments, std::string(got));
    /* A pointer into the process's own line, not a copy. */
    EXPECT_EQ(line.size() - test.arguments.size(), (size_t)(got - &line[0]));
}

INSTANTIATE_TEST_SUITE_P(Rule, ProgramArguments, testing::ValuesIn(ARGUMENTS_CASES),
                         [](const testing::TestParamInfo<Arguments_Case> &info) {
                             return std::string(info.param.name);
                         });

TEST(ProgramArgumentsDoubleByte, CodePage932IsThere)
{
    /* Without it the 932 rows above would test nothing. */
    EXPECT_TRUE(Is_Lead_Byte_932(0x83));
    EXPECT_FALSE(Is_Lead_Byte_932('"'));
}

TEST(ProgramArgumentsDoubleByte, LeadByteBeforeTheTerminatorStopsThere)
{
    /* Text after the terminator must never be reached. */
    char line[] = "\"ab\x83\0 -w";
    EXPECT_EQ(line + 4, Program_Arguments(line, Is_Lead_Byte_932));
}

} // namespace
