/*
 * cdlaunch's own steps under Wine: the running-game test with a real engine
 * window, and the CD search over drives that Wine reports as CD-ROM drives.
 */
#include "launchers_support.h"

#include <gtest/gtest.h>

namespace
{

/* ---- A running game ---- */

struct Running_Game_Case
{
    const char *name;
    const char *exe;
    const char *window_class;
    const char *window_title;
    bool stops_launcher;
};

void PrintTo(const Running_Game_Case &test, std::ostream *out)
{
    *out << test.name;
}

const Running_Game_Case RUNNING_GAME_CASES[] = {
    {"CdlaunchStopsForTheGameWindow", "cdlaunch.exe", "Orvane RVX Engine 2.0", "Karnoth Velmire",
     true},
    {"CdlaunchIgnoresAnotherTitle", "cdlaunch.exe", "Orvane RVX Engine 2.0", "Karnoth Velmire II",
     false},
    {"CdlaunchIgnoresAnotherClass", "cdlaunch.exe", "Orvane RVX Engine 1.0", "Karnoth Velmire",
     false},
    {"LaunchMakesNoSuchTest", "launch.exe", "Orvane RVX Engine 2.0", "Karnoth Velmire", false},
};

class RunningGame : public testing::TestWithParam<Running_Game_Case>
{
  protected:
    HWND window = NULL;

    void SetUp() override
    {
        Installation_Key_Delete();
        /* launch needs a complete installation to reach play. */
        ASSERT_TRUE(Installation_Value_Set("PATH", REG_SZ, std::string("C:\\KV\0", 6)));
        ASSERT_TRUE(Installation_Value_Set("INSTALLCD", REG_SZ, std::string("D:\\\0", 4)));

        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.hInstance = GetModuleHandleA(NULL);
        window_class.lpszClassName = GetParam().window_class;
        ASSERT_NE(0, RegisterClassA(&window_class));
        window = CreateWindowExA(0, GetParam().window_class, GetParam().window_title,
                                 WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_NE((HWND)NULL, window);
    }
    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        UnregisterClassA(GetParam().window_class, GetModuleHandleA(NULL));
        Installation_Key_Delete();
    }
};

TEST_P(RunningGame, OnlyTheGameWindowStopsCdlaunch)
{
    const Running_Game_Case &test = GetParam();
    Game_Folder folder = Game_Folder_Create((std::string("running-") + test.name).c_str());
    Launcher_Run run = Launcher_Run_Plain(folder, test.exe);

    ASSERT_TRUE(run.started && run.ended) << test.exe << " did not run to its end";
    EXPECT_EQ(0u, run.exit_code);
    if (test.stops_launcher)
    {
        EXPECT_EQ(std::vector<std::string>(), run.log) << "no engine entry may be called";
        EXPECT_TRUE(IsWindow(window)) << "the running game was disturbed";
    }
    else
    {
        /* cdlaunch finds no game CD here; launch is told D. */
        EXPECT_EQ(Launch_Calls(std::string(test.exe) == "launch.exe"), Log_Calls(run.log));
    }
}

INSTANTIATE_TEST_SUITE_P(Launchers, RunningGame, testing::ValuesIn(RUNNING_GAME_CASES),
                         [](const testing::TestParamInfo<Running_Game_Case> &info) {
                             return std::string(info.param.name);
                         });

/* ---- The CD search ---- */

enum Installation_State
{
    NO_KEY,
    NO_INSTALLCD,
    INSTALLCD /* with the value below */
};

struct Test_Drive
{
    char letter;
    Test_Drive_Kind kind;
};

struct Cd_Search_Case
{
    const char *name;
    Installation_State installation;
    DWORD type;
    std::string installcd; /* its exact bytes */
    std::vector<Test_Drive> drives;
    char expected; /* the letter the engine gets; 0: Config_Set_CD_Drive not called */
    bool read_only = false; /* the player may only read the key */
};

void PrintTo(const Cd_Search_Case &test, std::ostream *out)
{
    *out << test.name;
}

/* Letters that the test prefix leaves free (it has C: and Z:). */
const char TEST_LETTERS[] = "DEFG";

const Cd_Search_Case CD_SEARCH_CASES[] = {
    {"RecordedDriveFirst", INSTALLCD, REG_SZ, std::string("F:\\\0", 4),
     {{'D', CD_WITH_MARKER}, {'F', CD_WITH_MARKER}}, 'F'},
    {"RecordedWithoutMarkerThenAToZ", INSTALLCD, REG_SZ, std::string("F:\\\0", 4),
     {{'F', CD_WITHOUT_MARKER}, {'E', CD_WITH_MARKER}, {'D', CD_WITH_MARKER}}, 'D'},
    {"RecordedEmptyDrivePassedOver", INSTALLCD, REG_BINARY, "F",
     {{'F', CD_EMPTY}, {'E', CD_WITH_MARKER}}, 'E'},
    {"RecordedLowerCaseTestedUnchanged", INSTALLCD, REG_BINARY, "f",
     {{'D', CD_WITH_MARKER}, {'F', CD_WITH_MARKER}}, 'f'},
    {"RecordedNotADriveThenAToZ", INSTALLCD, REG_BINARY, "Q", {{'G', CD_WITH_MARKER}}, 'G'},
    {"RecordedHardDiskThenAToZ", INSTALLCD, REG_BINARY, std::string("G:\\\0", 4),
     {{'G', FIXED_WITH_MARKER}, {'E', CD_WITH_MARKER}}, 'E'},
    {"EmptyAndForeignDiscsPassedOver", INSTALLCD, REG_SZ, std::string("D:\\\0", 4),
     {{'D', CD_EMPTY}, {'E', CD_WITHOUT_MARKER}, {'G', CD_WITH_MARKER}}, 'G'},
    {"HardDisksWithMarkerPassedOver", INSTALLCD, REG_SZ, std::string("G:\\\0", 4),
     {{'D', FIXED_WITH_MARKER}, {'E', CD_WITHOUT_MARKER}, {'G', FIXED_WITH_MARKER}}, 0},
    {"ZeroLengthValueScansAToZ", INSTALLCD, REG_BINARY, "",
     {{'D', CD_WITHOUT_MARKER}, {'E', CD_WITH_MARKER}}, 'E'},
    {"FiveByteValueSearchesNothing", INSTALLCD, REG_SZ, std::string("F:\\x\0", 5),
     {{'D', CD_WITH_MARKER}, {'F', CD_WITH_MARKER}}, 0},
    {"NoInstallcdSearchesNothing", NO_INSTALLCD, REG_NONE, "", {{'D', CD_WITH_MARKER}}, 0},
    {"NoKeySearchesNothing", NO_KEY, REG_NONE, "", {{'D', CD_WITH_MARKER}}, 0},
    {"ReadOnlyKeyIsEnough", INSTALLCD, REG_SZ, std::string("F:\\\0", 4),
     {{'D', CD_WITH_MARKER}, {'F', CD_WITH_MARKER}}, 'F', true},
};

class CdSearch : public testing::TestWithParam<Cd_Search_Case>
{
  protected:
    void SetUp() override
    {
        Installation_Key_Delete();
        for (const char *letter = TEST_LETTERS; *letter; ++letter)
            ASSERT_TRUE(Test_Drive_Remove(*letter))
                << *letter << ": is used by the prefix; the CD tests need it free";
    }
    void TearDown() override
    {
        for (const char *letter = TEST_LETTERS; *letter; ++letter)
            EXPECT_TRUE(Test_Drive_Remove(*letter)) << *letter << ": not removed";
        Installation_Key_Delete();
    }
};

TEST_P(CdSearch, EngineGetsTheDriveHoldingTheGameCd)
{
    const Cd_Search_Case &test = GetParam();
    for (const Test_Drive &drive : test.drives)
    {
        ASSERT_TRUE(Test_Drive_Define(drive.letter, drive.kind)) << drive.letter << ": not made";
        UINT expected_type = drive.kind == FIXED_WITH_MARKER ? DRIVE_FIXED : DRIVE_CDROM;
        ASSERT_EQ(expected_type, Test_Drive_Type(drive.letter)) << drive.letter << ": type";
    }
    if (test.installation == NO_INSTALLCD)
    {
        ASSERT_TRUE(Installation_Key_Create());
    }
    if (test.installation == INSTALLCD)
    {
        ASSERT_TRUE(Installation_Value_Set("INSTALLCD", test.type, test.installcd));
    }
    if (test.read_only)
    {
        ASSERT_TRUE(Installation_Key_Make_Read_Only());
    }

    Game_Folder folder = Game_Folder_Create((std::string("cd-") + test.name).c_str());
    Launcher_Run run = Launcher_Run_Plain(folder, "cdlaunch.exe");

    ASSERT_TRUE(run.started && run.ended) << "cdlaunch did not run to its end";
    EXPECT_EQ(0u, run.exit_code);
    std::vector<std::string> drive_lines;
    if (test.expected)
    {
        char line[64];
        snprintf(line, sizeof line, "Config_Set_CD_Drive drive=%c code=%d", test.expected,
                 test.expected);
        drive_lines.push_back(line);
    }
    EXPECT_EQ(drive_lines, Log_Lines_Of(run.log, "Config_Set_CD_Drive"));
    EXPECT_EQ(Launch_Calls(test.expected != 0), Log_Calls(run.log));
    std::vector<std::string> play = Log_Lines_Of(run.log, "Play_Win32_Karnoth");
    ASSERT_EQ(1u, play.size());
    EXPECT_NE(std::string::npos, play[0].find(" flag=0 ")) << play[0];
}

INSTANTIATE_TEST_SUITE_P(Launchers, CdSearch, testing::ValuesIn(CD_SEARCH_CASES),
                         [](const testing::TestParamInfo<Cd_Search_Case> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
