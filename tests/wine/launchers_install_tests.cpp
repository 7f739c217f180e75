/*
 * launch's installation check and drive step under Wine: the installer's
 * registry entries, the message for an incomplete installation and its exit
 * code, and the drive that the engine is told.
 */
#include "launchers_support.h"
#include "player.h"

#include <gtest/gtest.h>

namespace
{

const char MESSAGE[] =
    "Karnoth Velmire is not correctly installed. Run SETUP.EXE on the Karnoth Velmire CD";
const char CAPTION[] = "Karnoth Velmire";

/* A value as the test writes it; absent when present is false. */
struct Value
{
    bool present;
    DWORD type;
    std::string bytes;
};

const Value ABSENT = {false, REG_NONE, ""};

Value Text_Of_Size(char first, size_t size)
{
    std::string bytes(size - 1, 'x');
    bytes[0] = first;
    return {true, REG_SZ, bytes + '\0'};
}

const Value PATH_OK = {true, REG_SZ, std::string("C:\\Games\\Karnoth Velmire\0", 25)};
const Value DRIVE_D = {true, REG_SZ, std::string("D:\\\0", 4)};
const Value PATH_DWORD = {true, REG_DWORD, std::string("\1\0\0\0", 4)};

struct Installation_Case
{
    const char *name;
    bool key;
    Value path;
    Value installcd;
    const char *drive_line; /* what the engine is told; null: no call */
    bool read_only = false; /* the player may only read the key */
};

void PrintTo(const Installation_Case &test, std::ostream *out)
{
    *out << test.name;
}

void Write_Installation(const Installation_Case &test)
{
    Installation_Key_Delete();
    if (test.key)
    {
        ASSERT_TRUE(Installation_Key_Create());
    }
    if (test.path.present)
    {
        ASSERT_TRUE(Installation_Value_Set("PATH", test.path.type, test.path.bytes));
    }
    if (test.installcd.present)
    {
        ASSERT_TRUE(
            Installation_Value_Set("INSTALLCD", test.installcd.type, test.installcd.bytes));
    }
    if (test.read_only)
    {
        ASSERT_TRUE(Installation_Key_Make_Read_Only());
    }
}

std::string Case_Name(const testing::TestParamInfo<Installation_Case> &info)
{
    return info.param.name;
}

/* ---- Incomplete installations: the message, then -1 ---- */

const Installation_Case INCOMPLETE_CASES[] = {
    {"NoKey", false, ABSENT, ABSENT, NULL},
    {"KeyWithoutValues", true, ABSENT, ABSENT, NULL},
    {"NoPath", true, ABSENT, DRIVE_D, NULL},
    {"NoInstallcd", true, PATH_OK, ABSENT, NULL},
    {"PathOf257Bytes", true, Text_Of_Size('C', 257), DRIVE_D, NULL},
    {"InstallcdOf257Bytes", true, PATH_OK, Text_Of_Size('D', 257), NULL},
};

class InstallationIncomplete : public testing::TestWithParam<Installation_Case>
{
  protected:
    void SetUp() override
    {
        Write_Installation(GetParam());
    }
    void TearDown() override
    {
        Installation_Key_Delete();
    }
};

/* The message box of the process, or null once the process has ended or
 * the time is up. */
HWND Wait_For_Message_Box(const PROCESS_INFORMATION &process)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < LAUNCHER_TIMEOUT_MS)
    {
        HWND box = Player_Wait_For_Window(CAPTION, "#32770", process.dwProcessId, 200);
        if (box)
            return box;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            return NULL;
    }
    return NULL;
}

int Visible_Buttons(HWND box)
{
    int count = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        char class_name[32];
        GetClassNameA(child, class_name, sizeof class_name);
        if (lstrcmpiA(class_name, "Button") == 0 && IsWindowVisible(child))
            ++count;
    }
    return count;
}

TEST_P(InstallationIncomplete, PlayerIsToldToRunSetupAndLaunchEndsWithMinusOne)
{
    Game_Folder folder =
        Game_Folder_Create((std::string("incomplete-") + GetParam().name).c_str());
    PROCESS_INFORMATION process;
    ASSERT_TRUE(Game_Start(folder, "launch.exe", NULL, &process));

    HWND box = Wait_For_Message_Box(process);
    EXPECT_NE((HWND)NULL, box) << "no message box titled \"" << CAPTION << "\"";
    if (box)
    {
        char text[512];
        Player_Message_Box_Text(box, text, sizeof text);
        EXPECT_STREQ(MESSAGE, text);
        EXPECT_EQ((HWND)NULL, GetWindow(box, GW_OWNER)) << "the message has an owner";
        EXPECT_EQ(1, Visible_Buttons(box)) << "buttons of an MB_OK message";
        EXPECT_NE((HWND)NULL, GetDlgItem(box, IDOK));
        /* Still waiting for the player: nothing decided before OK. */
        EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(process.hProcess, 0));
        Player_Press_OK(box);
    }
    DWORD exit_code = 0;
    ASSERT_TRUE(Game_Wait_Exit(&process, LAUNCHER_TIMEOUT_MS, &exit_code)) << "launch did not end";
    EXPECT_EQ(0xFFFFFFFFu, exit_code);
    /* The callback is registered before the check; nothing else reaches the engine. */
    std::vector<std::string> log = {"W95_Set_Message_Loop_Caller in_program=1"};
    EXPECT_EQ(log, Engine_Log_Lines(folder));
}

INSTANTIATE_TEST_SUITE_P(Launch, InstallationIncomplete, testing::ValuesIn(INCOMPLETE_CASES),
                         Case_Name);

/* ---- Complete installations: the recorded drive, then play ---- */

const Installation_Case COMPLETE_CASES[] = {
    {"DriveAsTheInstallerWritesIt", true, PATH_OK, DRIVE_D, "Config_Set_CD_Drive drive=D code=68"},
    {"PathOf256Bytes", true, Text_Of_Size('C', 256), DRIVE_D,
     "Config_Set_CD_Drive drive=D code=68"},
    {"PathOfAnyType", true, PATH_DWORD, DRIVE_D,
     "Config_Set_CD_Drive drive=D code=68"},
    {"InstallcdOf256Bytes", true, PATH_OK, Text_Of_Size('G', 256),
     "Config_Set_CD_Drive drive=G code=71"},
    /* E: does not exist: the letter goes to the engine untested. */
    {"InstallcdSingleByte", true, PATH_OK, {true, REG_BINARY, "E"},
     "Config_Set_CD_Drive drive=E code=69"},
    {"InstallcdZeroLengthTellsNoDrive", true, PATH_OK, {true, REG_BINARY, ""}, NULL},
    {"ReadOnlyKeyIsEnough", true, PATH_OK, DRIVE_D, "Config_Set_CD_Drive drive=D code=68", true},
};

class InstallationComplete : public testing::TestWithParam<Installation_Case>
{
  protected:
    void SetUp() override
    {
        Write_Installation(GetParam());
    }
    void TearDown() override
    {
        Installation_Key_Delete();
    }
};

TEST_P(InstallationComplete, EngineGetsTheRecordedDriveAndPlays)
{
    const Installation_Case &test = GetParam();
    Game_Folder folder = Game_Folder_Create((std::string("complete-") + test.name).c_str());
    Launcher_Run run = Launcher_Run_Plain(folder, "launch.exe");

    ASSERT_TRUE(run.started && run.ended) << "launch did not run to its end";
    EXPECT_EQ(0u, run.exit_code);
    std::vector<std::string> drive_lines;
    if (test.drive_line)
        drive_lines.push_back(test.drive_line);
    EXPECT_EQ(Launch_Calls(test.drive_line != NULL), Log_Calls(run.log));
    EXPECT_EQ(drive_lines, Log_Lines_Of(run.log, "Config_Set_CD_Drive"));
    std::vector<std::string> play = Log_Lines_Of(run.log, "Play_Win32_Karnoth");
    ASSERT_EQ(1u, play.size());
    EXPECT_NE(std::string::npos, play[0].find(" flag=1 ")) << play[0];
}

INSTANTIATE_TEST_SUITE_P(Launch, InstallationComplete, testing::ValuesIn(COMPLETE_CASES),
                         Case_Name);

} // namespace
