/*
 * gfxsetup's flow on Wine, driven as a player would: the first run with each
 * detection answer, the four entries written after each way of leaving,
 * values outside the usual ranges kept, Auto Detect more than once, and a
 * game folder without a usable engine library.
 */
#include "gfxsetup_session.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <shlobj.h>
#include <tlhelp32.h>

static const char NO_HARDWARE_TEXT[] = "No 3D hardware found. Using software renderer.";
static const char NO_LIBRARY_TEXT[] =
    "The engine library VELMIRE.DLL could not be loaded, so the 3D hardware could not be "
    "detected. Using software renderer.";
static const char NO_ENTRY_TEXT[] =
    "The engine library VELMIRE.DLL has no hardware detection, so the 3D hardware could not "
    "be detected. Using software renderer.";

/* Any window of the process with this class, hidden ones too. */
static bool Process_Has_Window(DWORD process_id, const char *class_name)
{
    return Player_Find_Windows(process_id, class_name, 1, NULL, 0) > 0;
}

static bool Process_Has_Module(DWORD process_id, const char *module_name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &module); more && !found;
         more = Module32Next(snapshot, &module))
        found = lstrcmpiA(module.szModule, module_name) == 0;
    CloseHandle(snapshot);
    return found;
}

/* Checks the radio buttons FIRST to LAST: only CHECKED (0: none) is checked. */
static void Expect_Radio(HWND dialog, int first, int last, int checked, const char *what)
{
    for (int id = first; id <= last; id++)
        EXPECT_EQ(id == checked ? BST_CHECKED : BST_UNCHECKED, Player_Check_State(dialog, id))
            << what << ": radio button " << id;
}

static void Expect_Card(const Session *session, HWND main_dialog, int checked)
{
    HWND advanced = Session_Open_Advanced(session, main_dialog);
    ASSERT_TRUE(advanced != NULL) << "no Advanced Settings dialog";
    Expect_Radio(advanced, 1001, 1004, checked, "card");
    EXPECT_TRUE(Session_Close_With(advanced, IDCANCEL));
}

/* The engine is asked from a thread that is DPI unaware, as it always was,
 * whatever our dialogs are ("none": a system without awareness). */
static std::string Detection_Log_Line(int answer)
{
    char line[192];
    snprintf(line, sizeof line,
             "Config_Search_For_Graphics_Driver arg=0 window=1 class=[KARNOTH] "
             "title=[Auto Detect] visible=0 answer=%d dpi_awareness=%s\r\n",
             answer, Gfxsetup_Has_Dpi_Awareness() ? "0" : "none");
    return line;
}

/* ------------------------------------------------------------ first run */

struct First_Run_Case
{
    const char *name;
    int answer;
    const char *message; /* null: no message box */
    int platform_id;     /* radio button checked in the main dialog */
    int card_id;         /* in the Advanced Settings dialog; 0 none */
    int written;         /* RENDERING_PLATFORM afterwards */
    bool engine_closes;  /* the engine closes the window it was lent */
};

static const First_Run_Case First_Run_Cases[] = {
    {"NoHardware", 0, NO_HARDWARE_TEXT, 1001, 0, 5, false},
    {"Glide", 1, "3DFX Glide Driver detected.", 1002, 1001, 11, false},
    {"D3DPrimary", 2, "D3D Primary Card detected.", 1002, 1003, 13, false},
    {"D3DSecondary", 3, "D3D Secondary Card detected.", 1002, 1004, 14, false},
    {"ATIRage", 4, "ATI Rage card detected.", 1002, 1002, 12, false},
    {"Unknown9", 9, NULL, 1002, 0, 10, false},
    {"UnknownNegative", -1, NULL, 1002, 0, 10, false},
    /* The quit that its close leaves must not end the message or the dialog. */
    {"EngineClosesItsWindow", 2, "D3D Primary Card detected.", 1002, 1003, 13, true},
};

class First_Run : public Gfxsetup_Test, public ::testing::WithParamInterface<First_Run_Case>
{
};

TEST_P(First_Run, DetectsBeforeTheMainDialogAndSavesTheResult)
{
    const First_Run_Case &c = GetParam();
    SetEnvironmentVariableA("VELMIRE_STANDIN_CLOSE", c.engine_closes ? "1" : NULL);
    bool started = Start(NULL, c.answer);
    SetEnvironmentVariableA("VELMIRE_STANDIN_CLOSE", NULL);
    ASSERT_TRUE(started);
    DWORD process_id = session.process.dwProcessId;
    if (c.message)
    {
        HWND box = Session_Window(&session, DETECT_CAPTION);
        ASSERT_TRUE(box != NULL) << "no message box for answer " << c.answer;
        EXPECT_TRUE(Player_Wait_For_Window(MAIN_TITLE, NULL, process_id, 0) == NULL)
            << "the main dialog came before the message";
        EXPECT_FALSE(Process_Has_Window(process_id, "KARNOTH")) << "detection window left";
        EXPECT_FALSE(Process_Has_Module(process_id, "Velmire.dll")) << "engine left loaded";
        EXPECT_EQ(c.message, Session_Confirm_Box(&session));
    }
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    if (!c.message)
    {
        EXPECT_TRUE(Player_Wait_For_Window(DETECT_CAPTION, NULL, process_id, 0) == NULL)
            << "a message box for answer " << c.answer;
    }
    Expect_Radio(main_dialog, 1001, 1002, c.platform_id, "platform");
    Expect_Card(&session, main_dialog, c.card_id);
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(Config_Bytes(c.written, 0, 0, 0), Session_Config(&session));
    /* The engine saw the hidden window, once. */
    EXPECT_EQ(Detection_Log_Line(c.answer), Game_Engine_Log(session.folder));
}

INSTANTIATE_TEST_SUITE_P(Answers, First_Run, ::testing::ValuesIn(First_Run_Cases),
                         Case_Name<First_Run_Case>);

/* --------------------------------------------------- leaving the dialog */

enum Ending
{
    END_OK,
    END_CANCEL,
    END_CLOSE_BUTTON,
    END_ESCAPE
};

struct Ending_Case
{
    const char *name;
    Ending ending;
    int click; /* radio button clicked first; 0 none */
    int written;
};

/* Other lines stay where they are; the four entries move to the end. */
static const char ENDING_CONFIG[] = "GAMMA 3\r\nRENDERING_PLATFORM 12\r\nD3D_ALLOW_MIPMAP 1\r\n"
                                    "D3D_TYPE1_SHADOWS 1\r\nD3D_ALLOW_PALETTISED 0\r\nSOUND 2\r\n";

static const Ending_Case Ending_Cases[] = {
    {"OK", END_OK, 0, 12},
    {"SoftwareThenOK", END_OK, 1001, 7},
    {"SoftwareThenCancel", END_CANCEL, 1001, 12},
    {"SoftwareThenCloseButton", END_CLOSE_BUTTON, 1001, 12},
    {"SoftwareThenEscape", END_ESCAPE, 1001, 12},
};

class Leaving : public Gfxsetup_Test, public ::testing::WithParamInterface<Ending_Case>
{
};

TEST_P(Leaving, WritesAllFourEntriesAndExitsWithZero)
{
    const Ending_Case &c = GetParam();
    ASSERT_TRUE(Start(ENDING_CONFIG, 0));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    Expect_Radio(main_dialog, 1001, 1002, 1002, "platform");
    if (c.click)
        Player_Click(main_dialog, c.click);
    switch (c.ending)
    {
    case END_OK:
        Player_Click(main_dialog, IDOK);
        break;
    case END_CANCEL:
        Player_Click(main_dialog, IDCANCEL);
        break;
    case END_CLOSE_BUTTON:
        PostMessageA(main_dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case END_ESCAPE:
        PostMessageA(GetDlgItem(main_dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    }
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ("GAMMA 3\r\nSOUND 2\r\n" + Config_Bytes(c.written, 1, 0, 1),
              Session_Config(&session));
    EXPECT_EQ(0, Session_Detections(&session));
}

INSTANTIATE_TEST_SUITE_P(Endings, Leaving, ::testing::ValuesIn(Ending_Cases),
                         Case_Name<Ending_Case>);

/* ------------------------------------------- values outside the usual */

struct Kept_Case
{
    const char *name;
    const char *config;
    int platform_id; /* checked in the main dialog; 0 none */
    int card_id;     /* checked in the Advanced Settings dialog; 0 none */
    int click;       /* platform radio button clicked before OK; 0 none */
    std::string written;
};

static const Kept_Case Kept_Cases[] = {
    {"Software7", "RENDERING_PLATFORM 7\r\n", 1001, 1002, 0, Config_Bytes(7, 0, 0, 0)},
    {"CardOnly1", "RENDERING_PLATFORM 1\r\n", 0, 1001, 0, Config_Bytes(1, 0, 0, 0)},
    {"CardOnly3", "RENDERING_PLATFORM 3\r\n", 0, 1003, 0, Config_Bytes(3, 0, 0, 0)},
    {"Platform3Card2", "RENDERING_PLATFORM 17\r\n", 0, 1002, 0, Config_Bytes(17, 0, 0, 0)},
    {"Platform3ThenSoftware", "RENDERING_PLATFORM 17\r\n", 0, 1002, 1001, Config_Bytes(7, 0, 0, 0)},
    {"Platform3ThenHardware", "RENDERING_PLATFORM 17\r\n", 0, 1002, 1002,
     Config_Bytes(12, 0, 0, 0)},
    {"Negative3", "RENDERING_PLATFORM -3\r\n", 0, 0, 0, Config_Bytes(-3, 0, 0, 0)},
    {"Negative7", "RENDERING_PLATFORM -7\r\n", 0, 0, 0, Config_Bytes(-7, 0, 0, 0)},
    {"Largest", "RENDERING_PLATFORM 2147483647\r\n", 0, 1002, 0, Config_Bytes(2147483647, 0, 0, 0)},
    {"Smallest", "RENDERING_PLATFORM -2147483648\r\n", 0, 0, 0,
     Config_Bytes(-2147483647 - 1, 0, 0, 0)},
    {"OddOptions", "RENDERING_PLATFORM 13\r\nD3D_ALLOW_MIPMAP 5\r\nD3D_TYPE1_SHADOWS -2\r\n", 1002,
     1003, 0, Config_Bytes(13, 5, 0, -2)},
};

class Kept_Values : public Gfxsetup_Test, public ::testing::WithParamInterface<Kept_Case>
{
};

TEST_P(Kept_Values, AreShownAndWrittenBackAsRead)
{
    const Kept_Case &c = GetParam();
    ASSERT_TRUE(Start(c.config, 0));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    Expect_Radio(main_dialog, 1001, 1002, c.platform_id, "platform");
    Expect_Card(&session, main_dialog, c.card_id);
    if (c.click)
        Player_Click(main_dialog, c.click);
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(c.written, Session_Config(&session));
    EXPECT_EQ(0, Session_Detections(&session)) << "a chosen value started the detection";
}

INSTANTIATE_TEST_SUITE_P(Values, Kept_Values, ::testing::ValuesIn(Kept_Cases),
                         Case_Name<Kept_Case>);

/* ---------------------------------------------------------- Auto Detect */

/* Presses Auto Detect, confirms the message and returns the new main dialog. */
static HWND Auto_Detect(const Session *session, HWND main_dialog, const char *message)
{
    Player_Click(main_dialog, 1016);
    HWND box = Session_Window(session, DETECT_CAPTION);
    EXPECT_TRUE(box != NULL) << "no message box after Auto Detect";
    /* The box has no owner: the main dialog stays usable. */
    EXPECT_TRUE(IsWindowEnabled(main_dialog));
    EXPECT_EQ(message, Session_Confirm_Box(session));
    EXPECT_TRUE(Player_Wait_Gone(main_dialog, PLAYER_TIMEOUT_MS)) << "main dialog not closed";
    return Session_Window(session, MAIN_TITLE);
}

class Auto_Detect_Button : public Gfxsetup_Test
{
};

TEST_F(Auto_Detect_Button, AsksTheEngineOnceAndRepeatsTheAnswer)
{
    const char *message = "D3D Primary Card detected.";
    ASSERT_TRUE(Start(NULL, 2));
    EXPECT_EQ(message, Session_Confirm_Box(&session));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);

    /* The player picks another card and software rendering... */
    HWND advanced = Session_Open_Advanced(&session, main_dialog);
    ASSERT_TRUE(advanced != NULL);
    Player_Click(advanced, 1002);
    EXPECT_TRUE(Session_Close_With(advanced, IDOK));
    Player_Click(main_dialog, 1001);

    /* ...and Auto Detect puts back what the engine said. */
    for (int round = 0; round < 2; round++)
    {
        main_dialog = Auto_Detect(&session, main_dialog, message);
        ASSERT_TRUE(main_dialog != NULL) << "round " << round;
        Expect_Radio(main_dialog, 1001, 1002, 1002, "platform");
        Expect_Card(&session, main_dialog, 1003);
    }
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(Config_Bytes(13, 0, 0, 0), Session_Config(&session));
    EXPECT_EQ(1, Session_Detections(&session));
}

TEST_F(Auto_Detect_Button, NoHardwareKeepsTheChosenCard)
{
    ASSERT_TRUE(Start("RENDERING_PLATFORM 12\r\n", 0));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    main_dialog = Auto_Detect(&session, main_dialog, NO_HARDWARE_TEXT);
    ASSERT_TRUE(main_dialog != NULL);
    Expect_Radio(main_dialog, 1001, 1002, 1001, "platform");
    EXPECT_TRUE(Session_Close_With(main_dialog, IDCANCEL));
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(Config_Bytes(7, 0, 0, 0), Session_Config(&session));
    /* Asked once, from inside the dialog, and unaware all the same. */
    EXPECT_EQ(Detection_Log_Line(0), Game_Engine_Log(session.folder));
}

/* --------------------------------------------------- no usable engine */

struct Missing_Engine_Case
{
    const char *name;
    Session_Engine engine;
    const char *message;
};

static const Missing_Engine_Case Missing_Engine_Cases[] = {
    {"NoLibrary", ENGINE_MISSING, NO_LIBRARY_TEXT},
    {"NoDetectionEntry", ENGINE_EMPTY, NO_ENTRY_TEXT},
};

class Missing_Engine : public Gfxsetup_Test,
                       public ::testing::WithParamInterface<Missing_Engine_Case>
{
};

TEST_P(Missing_Engine, SaysSoAndUsesSoftwareRendering)
{
    const Missing_Engine_Case &c = GetParam();
    ASSERT_TRUE(Start("RENDERING_PLATFORM 0\r\n", 2, c.engine));
    EXPECT_EQ(c.message, Session_Confirm_Box(&session));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    EXPECT_FALSE(Process_Has_Window(session.process.dwProcessId, "KARNOTH"));
    Expect_Radio(main_dialog, 1001, 1002, 1001, "platform");
    /* The engine was never asked, so Auto Detect tries again. */
    main_dialog = Auto_Detect(&session, main_dialog, c.message);
    ASSERT_TRUE(main_dialog != NULL);
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(Config_Bytes(5, 0, 0, 0), Session_Config(&session));
}

INSTANTIATE_TEST_SUITE_P(Engines, Missing_Engine, ::testing::ValuesIn(Missing_Engine_Cases),
                         Case_Name<Missing_Engine_Case>);

TEST_F(Auto_Detect_Button, FindsAnEngineLibraryPutInPlaceLater)
{
    ASSERT_TRUE(Start(NULL, 2, ENGINE_MISSING));
    EXPECT_EQ(NO_LIBRARY_TEXT, Session_Confirm_Box(&session));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    ASSERT_TRUE(CopyFileA((Game_Bin_Folder() + "\\Velmire.dll").c_str(),
                          (session.folder.path + "\\Velmire.dll").c_str(), FALSE));
    main_dialog = Auto_Detect(&session, main_dialog, "D3D Primary Card detected.");
    ASSERT_TRUE(main_dialog != NULL);
    Expect_Radio(main_dialog, 1001, 1002, 1002, "platform");
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(Config_Bytes(13, 0, 0, 0), Session_Config(&session));
    EXPECT_EQ(Detection_Log_Line(2), Game_Engine_Log(session.folder));
}

/* ------------------------------------- folders Windows virtualizes */

/* Where Windows would keep the launchers' redirected copy of a file. This
 * program's ANSI calls take UTF-8 (utf8_code_page.manifest), so every path
 * here may hold any character. */
static std::string Virtual_Store_Copy(const std::string &path)
{
    char local[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_LOCAL_APPDATA, NULL, SHGFP_TYPE_CURRENT, local);
    return std::string(local) + "\\VirtualStore" + path.substr(2);
}

/* The Program Files folder as the program under test sees it ("" if none). */
static std::string Program_Files()
{
    char path[MAX_PATH] = "";
    if (SHGetFolderPathA(NULL, CSIDL_PROGRAM_FILES, NULL, SHGFP_TYPE_CURRENT, path) != S_OK)
        return "";
    return path;
}

/* Makes the folders of a file's path that are missing. */
static void Make_Folders_For(const std::string &path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), NULL);
}

/* Takes the copy and its folders away again, up to VirtualStore itself. */
static void Remove_Virtual_Store_Copy(const std::string &copy)
{
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL); /* one made of a read-only file */
    DeleteFileA(copy.c_str());
    std::string folder = copy;
    for (size_t at; (at = folder.rfind('\\')) != std::string::npos &&
                    folder.find("\\VirtualStore\\") != std::string::npos;)
    {
        folder.erase(at);
        RemoveDirectoryA(folder.c_str());
    }
}

static const char POLICY_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

/* Sets a UAC policy value in the prefix as Windows keeps it (the 64-bit view);
 * the value it had (1 where it had none, as Windows takes it) in old. */
static bool Set_Policy(const char *name, DWORD value, DWORD *old = NULL)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, POLICY_KEY, 0, NULL, 0,
                        KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_64KEY, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof *old;
    if (old && RegQueryValueExA(key, name, NULL, NULL, (BYTE *)old, &size) != ERROR_SUCCESS)
        *old = 1;
    LONG result = RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

/* The system's ANSI code page, which gfxsetup (no code page of its own) runs
 * with, must not hold the name: else a row about such names proves nothing. */
static void Expect_Outside_Code_Page(const std::string &name)
{
    UINT code_page = 0;
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   (LPWSTR)&code_page, sizeof code_page / sizeof(WCHAR));
    WCHAR wide[MAX_PATH];
    char narrow[MAX_PATH * 2];
    BOOL substituted = FALSE;
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, wide, MAX_PATH);
    WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide, -1, narrow, sizeof narrow, NULL,
                        &substituted);
    EXPECT_TRUE(substituted) << "the ANSI code page " << code_page << " holds \"" << name
                             << "\": run the Wine tests with LC_ALL=C.UTF-8 (code page 1252)";
}

/* A game folder and a settings file in Cyrillic: outside code page 1252. */
static const char CYRILLIC_FOLDER[] = "\xd0\x98\xd0\xb3\xd1\x80\xd1\x8b"; /* Игры */
static const char CYRILLIC_LOCAL[] =
    "\xd0\x9b\xd0\xbe\xd0\xba\xd0\xb0\xd0\xbb\xd1\x8c"; /* Локаль */

/* ------------------------------------------------- settings not saved */

enum Unsaved_Setup
{
    FOLDER_AS_IS,
    NO_TAMSEL_FOLDER,
    READ_ONLY_FILE,
    FILE_IN_USE, /* open elsewhere without sharing */
    COPY_IN_USE  /* the VirtualStore copy, likewise */
};

struct Unsaved_Case
{
    const char *name;
    Unsaved_Setup setup;
    const char *config;    /* at start; null: none (the detection runs) */
    const char *cause;     /* in the message; null: no message, "": the system's text */
    std::string written;   /* the file afterwards; "": as at start (none stays none) */
    bool protected_folder; /* under Program Files, with UAC on: a copy could be made */
    DWORD system_error;    /* whose text is the cause, for "" */
    bool cyrillic_folder;  /* the game in a folder named in Cyrillic */
};

static const char HIDING_CONFIG[] = "RENDERING_PLATFORM 12\r\nVERBOSE\r\n";

static const Unsaved_Case Unsaved_Cases[] = {
    {"NoTamselFolder", NO_TAMSEL_FOLDER, NULL, "There is no \"tamsel\" folder here", "", false, 0,
     false},
    {"ReadOnlyFile", READ_ONLY_FILE, "RENDERING_PLATFORM 12\r\n",
     "Write-protected or access denied", "", false, 0, false},
    /* A line of one word hides the next line from a reader: the first entry. */
    {"LastLineOneWord", FOLDER_AS_IS, HIDING_CONFIG, "a line before an entry hides it",
     "VERBOSE\r\n" + Config_Bytes(12, 0, 0, 0), false, 0, false},
    {"Saved", FOLDER_AS_IS, "RENDERING_PLATFORM 12\r\n", NULL, Config_Bytes(12, 0, 0, 0), false, 0,
     false},
    /* Under Program Files a copy is made only for a refusal that Windows
     * would redirect: never over a file the player marked read-only, never
     * for a file in use. */
    {"ReadOnlyUnderProgramFiles", READ_ONLY_FILE, "RENDERING_PLATFORM 12\r\n",
     "Write-protected or access denied", "", true, 0, false},
    {"InUseUnderProgramFiles", FILE_IN_USE, "RENDERING_PLATFORM 12\r\n", "", "", true,
     ERROR_SHARING_VIOLATION, false},
    /* The copy is the file the game reads: its path and its cause. */
    {"CopyInUse", COPY_IN_USE, "RENDERING_PLATFORM 12\r\n", "", Config_Bytes(12, 0, 0, 0), true,
     ERROR_SHARING_VIOLATION, false},
    /* The message names the path as it is. */
    {"ReadOnlyInCyrillicFolder", READ_ONLY_FILE, "RENDERING_PLATFORM 12\r\n",
     "Write-protected or access denied", "", false, 0, true},
};

class Not_Saved : public Gfxsetup_Test, public ::testing::WithParamInterface<Unsaved_Case>
{
  protected:
    DWORD enable_lua = 1;
    bool lua_set = false;
    void TearDown() override
    {
        Gfxsetup_Test::TearDown();
        if (lua_set)
            Set_Policy("EnableLUA", enable_lua);
    }
};

TEST_P(Not_Saved, IsReportedWithThePathAndTheCause)
{
    const Unsaved_Case &c = GetParam();
    if (c.protected_folder)
    {
        base = Program_Files() + "\\Velmire Tests";
        CreateDirectoryA(base.c_str(), NULL);
        lua_set = Set_Policy("EnableLUA", 1, &enable_lua);
        ASSERT_TRUE(lua_set);
    }
    if (c.cyrillic_folder)
    {
        base = Game_Working_Folder() + "\\" + CYRILLIC_FOLDER;
        CreateDirectoryA(base.c_str(), NULL);
        Expect_Outside_Code_Page(base);
    }
    std::string copy = Virtual_Store_Copy(Folder_Name() + "\\tamsel\\config.dat");
    Remove_Virtual_Store_Copy(copy);
    if (c.setup == COPY_IN_USE)
    {
        Make_Folders_For(copy);
        ASSERT_TRUE(Game_Write_File(copy, c.config));
    }
    ASSERT_TRUE(Start(c.config, 0));
    /* Set up while the detection's message or the main dialog holds gfxsetup,
     * after its reads and before its save. */
    std::string tamsel = session.folder.path + "\\tamsel";
    std::string config_path = tamsel + "\\config.dat";
    std::string named = c.setup == COPY_IN_USE ? copy : config_path;
    HANDLE in_use = INVALID_HANDLE_VALUE;
    if (c.setup == NO_TAMSEL_FOLDER)
    {
        ASSERT_TRUE(RemoveDirectoryA(tamsel.c_str()));
    }
    if (c.setup == READ_ONLY_FILE)
    {
        ASSERT_TRUE(SetFileAttributesA(config_path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    if (!c.config)
    {
        EXPECT_EQ(NO_HARDWARE_TEXT, Session_Confirm_Box(&session));
    }
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    /* Once the dialog is up, its reads are done. */
    if (c.setup == FILE_IN_USE || c.setup == COPY_IN_USE)
    {
        in_use = CreateFileA(named.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, in_use) << named;
    }
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    if (c.cause)
    {
        /* One box with the main dialog's caption, no owner, only OK. */
        HWND box = Session_Window(&session, MAIN_TITLE);
        ASSERT_TRUE(box != NULL) << "no message that the settings were not saved";
        EXPECT_TRUE(GetWindow(box, GW_OWNER) == NULL);
        int buttons = 0;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        {
            char class_name[32] = "";
            GetClassNameA(child, class_name, sizeof class_name);
            buttons += lstrcmpiA(class_name, "Button") == 0;
        }
        EXPECT_EQ(1, buttons);
        EXPECT_EQ(IDOK, GetDlgCtrlID(FindWindowExA(box, NULL, "Button", NULL)));
        char text[1024] = "";
        Player_Message_Box_Text(box, text, sizeof text);
        char system_text[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                       c.system_error, 0, system_text, sizeof system_text, NULL);
        std::string cause = *c.cause ? c.cause : system_text;
        cause.erase(cause.find_last_not_of("\r\n") + 1);
        EXPECT_NE(nullptr, strstr(text, "The graphics settings were not saved")) << text;
        EXPECT_NE(nullptr, strstr(text, ("in\n" + named + "\n").c_str())) << text;
        EXPECT_FALSE(cause.empty());
        EXPECT_NE(nullptr, strstr(text, cause.c_str())) << text;
        Player_Press_OK(box);
    }
    /* With a message left unanswered it would not end. */
    EXPECT_EQ(0, Session_Finish(&session));
    if (in_use != INVALID_HANDLE_VALUE)
        CloseHandle(in_use);

    SetFileAttributesA(config_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (c.written.empty() && !c.config)
    {
        EXPECT_FALSE(Game_File_Exists(config_path)) << "a file was created";
    }
    else
    {
        EXPECT_EQ(c.written.empty() ? std::string(c.config) : c.written, Session_Config(&session));
    }
    if (c.setup == NO_TAMSEL_FOLDER)
    {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(tamsel.c_str()));
    }
    else
    {
        EXPECT_FALSE(Game_File_Exists(tamsel + "\\config.new")) << "the new file was left";
    }
    if (c.setup == COPY_IN_USE)
    {
        EXPECT_EQ(std::string(c.config), Game_Read_File(copy)) << "the copy in use changed";
    }
    else if (c.protected_folder)
    {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(copy.c_str())) << "a copy was made";
    }
    Remove_Virtual_Store_Copy(copy);
}

INSTANTIATE_TEST_SUITE_P(Saving, Not_Saved, ::testing::ValuesIn(Unsaved_Cases),
                         Case_Name<Unsaved_Case>);

/* ------------------------------------------ the VirtualStore copy */

/* Where the game folder lies. */
enum Copy_Place
{
    IN_WORKING_FOLDER,
    IN_PROGRAM_FILES,
    /* A folder whose name only begins with Program Files' ("...Program Files2"). */
    BESIDE_PROGRAM_FILES,
    /* The 64-bit Program Files that a 32-bit program knows only from
     * ProgramW6432: given to gfxsetup in the folder's case, and in another. */
    IN_PROGRAM_W6432,
    IN_PROGRAM_W6432_OTHER_CASE,
    /* Named in Cyrillic: in the working folder, under Program Files. */
    IN_CYRILLIC_FOLDER,
    IN_CYRILLIC_UNDER_PROGRAM_FILES
};

struct Copy_Case
{
    const char *name;
    Copy_Place place;
    const char *config;       /* the settings file at start */
    const char *copy;         /* at the copy's place at start; null: none */
    int platform_id;          /* checked in the main dialog */
    std::string written;      /* the settings file afterwards */
    std::string copy_written; /* the copy afterwards ("": none, or as at start) */
    bool cyrillic_local;      /* the local application data folder named in Cyrillic */
};

static const Copy_Case Copy_Cases[] = {
    /* The game reads the copy: its values are shown and both files get them. */
    {"CopyIsRead", IN_PROGRAM_FILES, "GAMMA 3\r\nRENDERING_PLATFORM 12\r\nD3D_ALLOW_MIPMAP 1\r\n",
     "SOUND 2\r\nRENDERING_PLATFORM 7\r\nD3D_TYPE1_SHADOWS 1\r\n", 1001,
     "GAMMA 3\r\n" + Config_Bytes(7, 0, 0, 1), "SOUND 2\r\n" + Config_Bytes(7, 0, 0, 1), false},
    /* A file that could be written: no copy is made. */
    {"NoCopyNoneMade", IN_PROGRAM_FILES, "GAMMA 3\r\nRENDERING_PLATFORM 12\r\n", NULL, 1002,
     "GAMMA 3\r\n" + Config_Bytes(12, 0, 0, 0), "", false},
    /* Outside the virtualized folders a file at that place is no copy. */
    {"OutsideNotACopy", IN_WORKING_FOLDER, "RENDERING_PLATFORM 12\r\n", "RENDERING_PLATFORM 7\r\n",
     1002, Config_Bytes(12, 0, 0, 0), "", false},
    {"BesideProgramFilesNotACopy", BESIDE_PROGRAM_FILES, "RENDERING_PLATFORM 12\r\n",
     "RENDERING_PLATFORM 7\r\n", 1002, Config_Bytes(12, 0, 0, 0), "", false},
    {"ProgramW6432CopyIsRead", IN_PROGRAM_W6432, "RENDERING_PLATFORM 12\r\n",
     "RENDERING_PLATFORM 7\r\n", 1001, Config_Bytes(7, 0, 0, 0), Config_Bytes(7, 0, 0, 0), false},
    {"ProgramW6432OtherCaseCopyIsRead", IN_PROGRAM_W6432_OTHER_CASE, "RENDERING_PLATFORM 12\r\n",
     "RENDERING_PLATFORM 7\r\n", 1001, Config_Bytes(7, 0, 0, 0), Config_Bytes(7, 0, 0, 0), false},
    /* Names outside the ANSI code page: read and written by their real paths. */
    {"CyrillicGameFolder", IN_CYRILLIC_FOLDER, "GAMMA 3\r\nRENDERING_PLATFORM 7\r\n", NULL, 1001,
     "GAMMA 3\r\n" + Config_Bytes(7, 0, 0, 0), "", false},
    {"CyrillicUnderProgramFilesCopyIsRead", IN_CYRILLIC_UNDER_PROGRAM_FILES,
     "RENDERING_PLATFORM 12\r\n", "RENDERING_PLATFORM 7\r\n", 1001, Config_Bytes(7, 0, 0, 0),
     Config_Bytes(7, 0, 0, 0), false},
    {"CyrillicLocalAppDataCopyIsRead", IN_PROGRAM_FILES, "RENDERING_PLATFORM 12\r\n",
     "RENDERING_PLATFORM 7\r\n", 1001, Config_Bytes(7, 0, 0, 0), Config_Bytes(7, 0, 0, 0), true},
};

static const char SHELL_FOLDERS_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
static const char LOCAL_APPDATA_VALUE[] = "Local AppData";

class Virtual_Store : public Gfxsetup_Test, public ::testing::WithParamInterface<Copy_Case>
{
  protected:
    char w6432[MAX_PATH] = "";
    DWORD w6432_length = 0;
    char local[MAX_PATH] = ""; /* the local folder's registry value, while renamed */

    void SetUp() override
    {
        w6432_length = GetEnvironmentVariableA("ProgramW6432", w6432, sizeof w6432);
    }
    void TearDown() override
    {
        Gfxsetup_Test::TearDown();
        SetEnvironmentVariableA("ProgramW6432", w6432_length ? w6432 : NULL);
        if (*local)
            RegSetKeyValueA(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, LOCAL_APPDATA_VALUE,
                            REG_EXPAND_SZ, local, (DWORD)strlen(local) + 1);
    }
    /* Names the local application data folder in Cyrillic, for this user. */
    bool Rename_Local_Folder()
    {
        DWORD size = sizeof local;
        if (RegGetValueA(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, LOCAL_APPDATA_VALUE,
                         RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, NULL, local, &size) != ERROR_SUCCESS)
            return false;
        std::string renamed = std::string(local) + "\\" + CYRILLIC_LOCAL;
        if (RegSetKeyValueA(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, LOCAL_APPDATA_VALUE,
                            REG_EXPAND_SZ, renamed.c_str(),
                            (DWORD)renamed.size() + 1) != ERROR_SUCCESS)
            return false;
        char expanded[MAX_PATH];
        ExpandEnvironmentStringsA(renamed.c_str(), expanded, sizeof expanded);
        CreateDirectoryA(expanded, NULL);
        return true;
    }
    /* The game folder's parent for the place. */
    std::string Base(Copy_Place place)
    {
        std::string program_files = Program_Files();
        switch (place)
        {
        case IN_PROGRAM_FILES:
            return program_files + "\\Velmire Tests";
        case BESIDE_PROGRAM_FILES:
            return program_files + "2";
        case IN_PROGRAM_W6432:
        case IN_PROGRAM_W6432_OTHER_CASE:
        {
            /* A 64-bit prefix has the folder; a 32-bit one gets one for gfxsetup. */
            std::string folder = w6432_length ? w6432 : "C:\\Velmire W6432";
            std::string given = folder;
            if (place == IN_PROGRAM_W6432_OTHER_CASE)
                CharLowerA(&given[0]);
            SetEnvironmentVariableA("ProgramW6432", given.c_str());
            printf("ProgramW6432 %s for gfxsetup: \"%s\"\n",
                   w6432_length ? "of this 64-bit prefix" : "made up in this 32-bit prefix",
                   given.c_str());
            return folder;
        }
        case IN_CYRILLIC_FOLDER:
        case IN_CYRILLIC_UNDER_PROGRAM_FILES:
            return (place == IN_CYRILLIC_FOLDER ? Game_Working_Folder() : program_files) + "\\" +
                   CYRILLIC_FOLDER;
        default:
            return "";
        }
    }
};

TEST_P(Virtual_Store, TheFileTheGameReadsIsShownAndBothAreWritten)
{
    const Copy_Case &c = GetParam();
    if (c.place != IN_WORKING_FOLDER)
    {
        base = Base(c.place);
        ASSERT_FALSE(base.empty() || base[0] == '\\');
        CreateDirectoryA(base.c_str(), NULL);
    }
    if (c.cyrillic_local)
    {
        ASSERT_TRUE(Rename_Local_Folder());
    }
    std::string folder = Folder_Name();
    if (folder[1] != ':')
        folder = Game_Working_Folder() + "\\" + folder;
    std::string copy = Virtual_Store_Copy(folder + "\\tamsel\\config.dat");
    if (c.place == IN_CYRILLIC_FOLDER || c.place == IN_CYRILLIC_UNDER_PROGRAM_FILES)
        Expect_Outside_Code_Page(folder);
    if (c.cyrillic_local)
        Expect_Outside_Code_Page(copy);
    Remove_Virtual_Store_Copy(copy);
    if (c.copy)
    {
        Make_Folders_For(copy);
        ASSERT_TRUE(Game_Write_File(copy, c.copy)) << copy;
    }
    ASSERT_TRUE(Start(c.config, 0));
    /* A settings file that gfxsetup cannot read would start the detection. */
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    Expect_Radio(main_dialog, 1001, 1002, c.platform_id, "platform");
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    /* A message that it was not saved would keep it from ending. */
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(c.written, Session_Config(&session));
    if (c.copy)
    {
        EXPECT_EQ(c.copy_written.empty() ? std::string(c.copy) : c.copy_written,
                  Game_Read_File(copy));
    }
    else
    {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Virtual_Store_Copy(folder).c_str()))
            << "a VirtualStore folder was made for a file that could be written";
    }
    EXPECT_EQ(0, Session_Detections(&session)) << "the settings file was not read";
    Remove_Virtual_Store_Copy(copy);
}

INSTANTIATE_TEST_SUITE_P(Copies, Virtual_Store, ::testing::ValuesIn(Copy_Cases),
                         Case_Name<Copy_Case>);

/* ----------------------------- a player who may not write the game folder */

enum Denied_Place
{
    DENIED_IN_PROGRAM_FILES, /* "Velmire Denied", with a settings file */
    DENIED_FRESH,            /* "Velmire Fresh", none yet: a new installation */
    DENIED_OUTSIDE           /* C:\Velmire Closed */
};

struct Denied_Case
{
    const char *name;
    Denied_Place place;
    DWORD enable_lua;
    DWORD enable_virtualization;
    bool copy_made; /* else the not-saved message */
};

static const Denied_Case Denied_Cases[] = {
    {"UacOnMakesTheCopy", DENIED_IN_PROGRAM_FILES, 1, 1, true},
    /* A new installation: the copy holds just the four entries. */
    {"UacOnFreshInstallationMakesTheCopy", DENIED_FRESH, 1, 1, true},
    {"UacOffSaysNotSaved", DENIED_IN_PROGRAM_FILES, 0, 1, false},
    {"VirtualizationOffSaysNotSaved", DENIED_IN_PROGRAM_FILES, 1, 0, false},
    /* Where Windows would not redirect the game either. */
    {"OutsideProtectedFoldersSaysNotSaved", DENIED_OUTSIDE, 1, 1, false},
};

class Denied : public Gfxsetup_Test, public ::testing::WithParamInterface<Denied_Case>
{
  protected:
    void TearDown() override
    {
        Gfxsetup_Test::TearDown();
        Set_Policy("EnableLUA", 1);
        Set_Policy("EnableVirtualization", 1);
    }
};

/* The game in a folder that this user may not write (made by as-player.sh):
 * under Program Files with UAC on, Windows would have the launchers write (and
 * read) a copy, so gfxsetup makes it as Windows would; with UAC or its file
 * virtualization off, or outside the folders Windows virtualizes, it says
 * that it could not save. */
TEST_P(Denied, AStandardUsersSaveUnderProgramFiles)
{
    const Denied_Case &c = GetParam();
    const char *as_player = getenv("VELMIRE_AS_PLAYER");
    if (!as_player || strcmp(as_player, "yes") != 0)
        GTEST_SKIP() << "needs a user that may be refused (run through as-player.sh as root)";
    std::string program_files = Program_Files();
    ASSERT_FALSE(program_files.empty());
    std::string folder = c.place == DENIED_OUTSIDE ? std::string("C:\\Velmire Closed")
                         : c.place == DENIED_FRESH ? program_files + "\\Velmire Fresh"
                                                   : program_files + "\\Velmire Denied";
    std::string config_path = folder + "\\tamsel\\config.dat";
    const std::string before = Game_Read_File(config_path);
    ASSERT_EQ(c.place == DENIED_FRESH, before.empty()) << "no game folder at " << folder;
    ASSERT_FALSE(Game_Write_File(folder + "\\tamsel\\probe", "x")) << "this user may write it";
    ASSERT_TRUE(Set_Policy("EnableLUA", c.enable_lua));
    ASSERT_TRUE(Set_Policy("EnableVirtualization", c.enable_virtualization));
    std::string copy = Virtual_Store_Copy(config_path);
    Remove_Virtual_Store_Copy(copy);
    ASSERT_TRUE(Session_Start(&session, folder.c_str(), NULL, 0));
    if (c.place == DENIED_FRESH)
    {
        EXPECT_EQ(NO_HARDWARE_TEXT, Session_Confirm_Box(&session));
    }
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    if (!c.copy_made)
    {
        HWND box = Session_Window(&session, MAIN_TITLE);
        ASSERT_TRUE(box != NULL) << "no message that the settings were not saved";
        char text[1024] = "";
        Player_Message_Box_Text(box, text, sizeof text);
        EXPECT_NE(nullptr, strstr(text, "Write-protected or access denied")) << text;
        EXPECT_NE(nullptr, strstr(text, config_path.c_str())) << text;
        Player_Press_OK(box);
    }
    EXPECT_EQ(0, Session_Finish(&session)); /* an unanswered message would keep it */
    EXPECT_EQ(before, Game_Read_File(config_path)) << "the real file changed";
    EXPECT_FALSE(Game_File_Exists(config_path) != !before.empty() ||
                 Game_File_Exists(folder + "\\tamsel\\config.new"))
        << "a file was made in the game folder";
    if (c.place == DENIED_FRESH)
    {
        EXPECT_EQ(Config_Bytes(5, 0, 0, 0), Game_Read_File(copy));
    }
    else if (c.copy_made)
    {
        EXPECT_EQ("GAMMA 3\r\nSOUND 2\r\n" + Config_Bytes(12, 0, 0, 0), Game_Read_File(copy));
    }
    else
    {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Virtual_Store_Copy(folder).c_str()))
            << "a copy was made where Windows would not redirect";
    }
    Remove_Virtual_Store_Copy(copy);
}

INSTANTIATE_TEST_SUITE_P(Denied, Denied, ::testing::ValuesIn(Denied_Cases), Case_Name<Denied_Case>);
