/*
 * The launch sequence as the engine sees it, through both launchers: the
 * calls in order with their arguments, the command line, the show state, the
 * callback, and the refusal to start without the engine library.
 */
#include "launchers_support.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <tuple>

namespace
{

struct Launcher
{
    const char *exe;
    int flag; /* Installed_Launch_Flag that play must see */
};

const Launcher LAUNCHERS[] = {{"cdlaunch.exe", 0}, {"launch.exe", 1}};

std::string Launcher_Name(const Launcher &launcher)
{
    return std::string(launcher.exe).substr(0, std::string(launcher.exe).find('.'));
}

void PrintTo(const Launcher &launcher, std::ostream *out)
{
    *out << launcher.exe;
}

/* cdlaunch finds no installation key, so no drive; launch gets a complete
 * installation whose recorded drive is E. */
void Prepare_Installation(const Launcher &launcher)
{
    Installation_Key_Delete();
    if (launcher.flag == 1)
    {
        ASSERT_TRUE(Installation_Value_Set("PATH", REG_SZ, std::string("C:\\Games\\KV\0", 12)));
        ASSERT_TRUE(Installation_Value_Set("INSTALLCD", REG_BINARY, "E"));
    }
}

std::vector<std::string> Expected_Log(const Launcher &launcher, const std::string &command_line,
                                      int show_state, const std::string &served)
{
    char length[16];
    snprintf(length, sizeof length, "%u", (unsigned)command_line.size());
    std::vector<std::string> log = {
        "W95_Set_Message_Loop_Caller in_program=1",
        "Read_Default_Values_From_Config_File command_line_in_program=1 length=" +
            std::string(length) + " command_line=[" + command_line + "]"};
    if (launcher.flag == 1)
        log.push_back("Config_Set_CD_Drive drive=E code=69");
    log.push_back("Play_Win32_Karnoth same_record=1 same_area=1 storage_intact=1 count=4242 flag=" +
                  std::to_string(launcher.flag) + " instance_is_program=1 show_state=" +
                  std::to_string(show_state) + " command_line=[" + command_line + "]");
    log.push_back("W95_Serve_Message 11111111 22222222 33333333 44444444 returned=" + served);
    log.push_back("callback_returned=" + served);
    return log;
}

/* What the engine's W95_Serve_Message returned, as the stand-in logged it. */
std::string Served_Result(const std::vector<std::string> &log)
{
    std::vector<std::string> served = Log_Lines_Of(log, "W95_Serve_Message");
    if (served.size() != 1)
        return "(no single W95_Serve_Message)";
    size_t at = served[0].find("returned=");
    return at == std::string::npos ? "(none)" : served[0].substr(at + 9);
}

class LaunchSequence : public testing::TestWithParam<Launcher>
{
  protected:
    void SetUp() override
    {
        Prepare_Installation(GetParam());
    }
    void TearDown() override
    {
        Installation_Key_Delete();
    }
};

TEST_P(LaunchSequence, CallsEachEntryOnceInOrderWithItsArguments)
{
    const Launcher &launcher = GetParam();
    Game_Folder folder = Game_Folder_Create(("sequence-" + Launcher_Name(launcher)).c_str());
    Launcher_Run run = Launcher_Run_Plain(folder, launcher.exe);

    ASSERT_TRUE(run.started) << launcher.exe << " did not start";
    ASSERT_TRUE(run.ended) << launcher.exe << " did not end";
    EXPECT_EQ(0u, run.exit_code);
    /* The callback hands the engine's result back unchanged; the flag is the
     * launcher's although the engine left 0x5EED; the count goes by value. */
    EXPECT_EQ(Expected_Log(launcher, "", 10, Served_Result(run.log)), run.log);
    EXPECT_NE("00000000", Served_Result(run.log));
}

INSTANTIATE_TEST_SUITE_P(Launchers, LaunchSequence, testing::ValuesIn(LAUNCHERS),
                         [](const testing::TestParamInfo<Launcher> &info) {
                             return Launcher_Name(info.param);
                         });

/* ---- The command line as the engine receives it ---- */

enum Program_Name
{
    QUOTED_PATH,         /* "C:\...\cdlaunch.exe" */
    QUOTED_WITH_BLANKS,  /* "C:\...\Karnoth Velmire cdlaunch.exe" */
    UNQUOTED,            /* cdlaunch.exe */
    UNQUOTED_NON_ASCII   /* C:\...\Vélmire-cdlaunch.exe, no quotes */
};

struct Command_Line_Case
{
    const char *name;
    Program_Name program;
    std::string after_name; /* what follows the program name */
    std::string expected;   /* what the engine gets */
};

/* 300 characters that show where a cut falls. */
std::string Long_Arguments(size_t length)
{
    std::string text;
    for (size_t i = 0; text.size() < length; ++i)
        text += (char)('a' + i % 26);
    return text;
}

void PrintTo(const Command_Line_Case &test, std::ostream *out)
{
    *out << test.name;
}

const Command_Line_Case COMMAND_LINE_CASES[] = {
    {"Empty", QUOTED_PATH, "", ""},
    {"Words", QUOTED_PATH, " -window 640 480", "-window 640 480"},
    {"BlanksAfterNameDropped", QUOTED_PATH, " \t  -window", "-window"},
    {"QuotesInArgumentsKept", QUOTED_PATH, " \"two words\" x", "\"two words\" x"},
    {"QuotedNameWithBlanks", QUOTED_WITH_BLANKS, " -nosound", "-nosound"},
    {"QuotedNameWithBlanksOnly", QUOTED_WITH_BLANKS, "", ""},
    {"UnquotedName", UNQUOTED, " -nosound", "-nosound"},
    {"Exactly255", QUOTED_PATH, " " + Long_Arguments(255), Long_Arguments(255)},
    {"LongerCutTo255", QUOTED_PATH, " " + Long_Arguments(300), Long_Arguments(255)},
    /* Bytes from 0x80 up are letters, not blanks (code page 1252 here). */
    {"ArgumentStartsWithNonAsciiLetter", QUOTED_PATH, " \xC9tape -nosound", "\xC9tape -nosound"},
    {"NoBreakSpaceIsNoBlank", QUOTED_PATH, " \xA0-window", "\xA0-window"},
    {"UnquotedNameWithNonAsciiLetter", UNQUOTED_NON_ASCII, " -nosound", "-nosound"},
    /* A quoted name ends at its closing quote, blank or not. */
    {"TextRightAfterClosingQuote", QUOTED_PATH, "-window 640", "-window 640"},
    {"ControlCharactersAfterNameDropped", QUOTED_PATH, "\x01\x1F\t -window", "-window"},
};

class CommandLine
    : public testing::TestWithParam<std::tuple<Launcher, Command_Line_Case>>
{
  protected:
    void SetUp() override
    {
        Prepare_Installation(std::get<0>(GetParam()));
    }
    void TearDown() override
    {
        Installation_Key_Delete();
    }
};

TEST_P(CommandLine, EngineGetsWhatFollowsTheProgramName)
{
    const Launcher &launcher = std::get<0>(GetParam());
    const Command_Line_Case &test = std::get<1>(GetParam());
    Game_Folder folder = Game_Folder_Create(
        ("command-line-" + Launcher_Name(launcher) + "-" + test.name).c_str());

    std::string exe = launcher.exe;
    if (test.program == QUOTED_WITH_BLANKS || test.program == UNQUOTED_NON_ASCII)
    {
        /* Velmire.dll still lies beside the renamed copy. */
        exe = (test.program == QUOTED_WITH_BLANKS ? "Karnoth Velmire " : "V\xE9lmire-") + exe;
        ASSERT_TRUE(CopyFileA((folder.path + "\\" + launcher.exe).c_str(),
                              (folder.path + "\\" + exe).c_str(), FALSE));
    }
    std::string name = "\"" + folder.path + "\\" + exe + "\"";
    if (test.program == UNQUOTED)
        name = exe;
    if (test.program == UNQUOTED_NON_ASCII)
    {
        ASSERT_EQ(std::string::npos, folder.path.find(' ')) << "the path must do without quotes";
        name = folder.path + "\\" + exe;
    }
    Launcher_Run run = Launcher_Run_Command_Line(folder, exe.c_str(), name + test.after_name, -1);

    ASSERT_TRUE(run.started && run.ended) << exe << " did not run to its end";
    EXPECT_EQ(0u, run.exit_code);
    EXPECT_EQ(Expected_Log(launcher, test.expected, 10, Served_Result(run.log)), run.log);
}

INSTANTIATE_TEST_SUITE_P(
    Launchers, CommandLine,
    testing::Combine(testing::ValuesIn(LAUNCHERS), testing::ValuesIn(COMMAND_LINE_CASES)),
    [](const testing::TestParamInfo<std::tuple<Launcher, Command_Line_Case>> &info) {
        return Launcher_Name(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

/* ---- The show state ---- */

struct Show_State_Case
{
    const char *name;
    int given;    /* in the start-up information; -1: none */
    int expected; /* what play receives */
};

void PrintTo(const Show_State_Case &test, std::ostream *out)
{
    *out << test.name;
}

const Show_State_Case SHOW_STATE_CASES[] = {
    {"NoneGivenIsShowDefault", -1, SW_SHOWDEFAULT},
    {"MinimisedWithoutActivation", SW_SHOWMINNOACTIVE, SW_SHOWMINNOACTIVE},
    {"Hidden", SW_HIDE, SW_HIDE},
    {"Maximised", SW_SHOWMAXIMIZED, SW_SHOWMAXIMIZED},
};

class ShowState : public testing::TestWithParam<std::tuple<Launcher, Show_State_Case>>
{
  protected:
    void SetUp() override
    {
        Prepare_Installation(std::get<0>(GetParam()));
    }
    void TearDown() override
    {
        Installation_Key_Delete();
    }
};

TEST_P(ShowState, PlayGetsTheStartUpShowState)
{
    const Launcher &launcher = std::get<0>(GetParam());
    const Show_State_Case &test = std::get<1>(GetParam());
    Game_Folder folder = Game_Folder_Create(
        ("show-state-" + Launcher_Name(launcher) + "-" + test.name).c_str());
    std::string name = "\"" + folder.path + "\\" + launcher.exe + "\"";
    Launcher_Run run = Launcher_Run_Command_Line(folder, launcher.exe, name, test.given);

    ASSERT_TRUE(run.started && run.ended) << launcher.exe << " did not run to its end";
    EXPECT_EQ(Expected_Log(launcher, "", test.expected, Served_Result(run.log)), run.log);
}

INSTANTIATE_TEST_SUITE_P(
    Launchers, ShowState,
    testing::Combine(testing::ValuesIn(LAUNCHERS), testing::ValuesIn(SHOW_STATE_CASES)),
    [](const testing::TestParamInfo<std::tuple<Launcher, Show_State_Case>> &info) {
        return Launcher_Name(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

/* ---- Without the engine library ---- */

class MissingEngine : public testing::TestWithParam<Launcher>
{
};

TEST_P(MissingEngine, PlatformRefusesToStartTheLauncher)
{
    const Launcher &launcher = GetParam();
    Game_Folder folder =
        Game_Folder_Create(("no-engine-" + Launcher_Name(launcher)).c_str(), false);
    ASSERT_FALSE(Game_File_Exists(folder.path + "\\Velmire.dll"));
    Launcher_Run run = Launcher_Run_Plain(folder, launcher.exe);

    /* Windows refuses at CreateProcess; Wine starts the process, which dies
     * in the loader: either way none of the launcher's code runs. */
    if (run.started)
    {
        ASSERT_TRUE(run.ended) << launcher.exe << " did not end";
        EXPECT_NE(0u, run.exit_code) << "exit code of a launcher that ran";
        EXPECT_NE(0xFFFFFFFFu, run.exit_code) << "exit code of a launcher that ran";
    }
    EXPECT_FALSE(Game_File_Exists(folder.log_path)) << "engine calls were logged";
}

INSTANTIATE_TEST_SUITE_P(Launchers, MissingEngine, testing::ValuesIn(LAUNCHERS),
                         [](const testing::TestParamInfo<Launcher> &info) {
                             return Launcher_Name(info.param);
                         });

} // namespace
