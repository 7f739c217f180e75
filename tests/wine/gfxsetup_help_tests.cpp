/*
 * gfxsetup's context help on Wine: F1 on every control of both dialogs, with
 * kvconfig.hlp in the game folder and Wine's viewer (the WinHelp request,
 * caught by a window of WinHelp's class in this process), without it, and with
 * it but the Windows folder's viewer replaced by a stand-in for the stub of
 * Windows Vista and later (our own pop-up, both times).
 */
#include "gfxsetup_session.h"
#include "help_texts.h"

#include <stdio.h>
#include <string.h>
#include <tuple>
#include <vector>

#define HELP_FILE "kvconfig.hlp"

/* F1 as a control gets it; the default processing makes it WM_HELP. */
static const UINT WM_KEYF1_MESSAGE = 0x004D;

struct Help_Case
{
    int control_id;
    DWORD context; /* 0: no help for this control */
};

struct Help_Dialog
{
    const char *name;
    bool advanced;
    std::vector<Help_Case> cases;
};

/* The Advanced dialog's group boxes, OK and Cancel have no topic: in
 * particular not the main dialog's topics for the same ids. */
static const Help_Dialog Help_Dialogs[] = {
    {"Main", false, {{1007, 1}, {1016, 2}, {1001, 3}, {1002, 4}, {IDOK, 5}, {IDCANCEL, 6}}},
    {"Advanced",
     true,
     {{-1, 0},
      {1001, 8},
      {1002, 9},
      {1003, 10},
      {1004, 11},
      {1008, 12},
      {1009, 13},
      {1010, 14},
      {IDOK, 0},
      {IDCANCEL, 0}}},
};

/* A WinHelp request as Wine's WinHelpA hands it to the help viewer's window. */
struct Help_Request
{
    HWND from;
    unsigned command;
    unsigned long data;
    std::string file;
};

static std::vector<Help_Request> Help_Requests;

/* How the system stands for help. */
enum Help_Viewer
{
    NO_HELP_FILE, /* no kvconfig.hlp */
    WINE_VIEWER,  /* kvconfig.hlp and Wine's own winhlp32.exe */
    WINDOWS_STUB  /* kvconfig.hlp and a winhlp32.exe marked as Windows' stub */
};

static const char *const Help_Viewer_Names[] = {"NoHelpFile", "WineViewer", "WindowsStub"};
static const char STUB_STARTED[] = "winhlp32-stub-started"; /* written by the stand-in */

/* The viewers that WinHelpA may start, in the Windows folder and the system
 * folder (a 64-bit prefix has only the latter). */
static std::vector<std::string> Help_Viewer_Paths()
{
    char windows[MAX_PATH] = "", system[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    return {std::string(windows) + "\\winhlp32.exe", std::string(system) + "\\winhlp32.exe"};
}

/* Puts Wine's viewers back (also after a run that ended before it could). */
static void Help_Restore_Viewers()
{
    for (const std::string &path : Help_Viewer_Paths())
        if (GetFileAttributesA((path + ".orig").c_str()) != INVALID_FILE_ATTRIBUTES)
            MoveFileExA((path + ".orig").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

static bool Help_Install_Stub()
{
    std::string stub = Game_Bin_Folder() + "\\winhlp32_stub.exe";
    int replaced = 0;
    for (const std::string &path : Help_Viewer_Paths())
    {
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        if (!MoveFileExA(path.c_str(), (path + ".orig").c_str(), MOVEFILE_REPLACE_EXISTING) ||
            !CopyFileA(stub.c_str(), path.c_str(), FALSE))
            return false;
        replaced++;
    }
    return replaced > 0;
}

static LRESULT CALLBACK Help_Catcher_Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_COPYDATA)
        return DefWindowProcA(window, msg, wParam, lParam);
    /* size, command, data, reserved, file name offset, data offset */
    const COPYDATASTRUCT *copy = (const COPYDATASTRUCT *)lParam;
    const unsigned char *record = (const unsigned char *)copy->lpData;
    Help_Request request = {(HWND)wParam, 0, 0, ""};
    WORD command = 0, file_offset = 0;
    LONG data = 0;
    if (copy->cbData >= 16)
    {
        memcpy(&command, record + 2, 2);
        memcpy(&data, record + 4, 4);
        memcpy(&file_offset, record + 12, 2);
        if (file_offset < copy->cbData)
            request.file.assign(
                (const char *)record + file_offset,
                strnlen((const char *)record + file_offset, copy->cbData - file_offset));
    }
    request.command = command;
    request.data = (unsigned long)data;
    Help_Requests.push_back(request);
    return TRUE;
}

class Context_Help : public Gfxsetup_Test,
                     public ::testing::WithParamInterface<std::tuple<Help_Dialog, Help_Viewer>>
{
  protected:
    HWND catcher = NULL;

    const Help_Dialog &Dialog() const
    {
        return std::get<0>(GetParam());
    }
    Help_Viewer Viewer() const
    {
        return std::get<1>(GetParam());
    }

    void SetUp() override
    {
        Help_Restore_Viewers();
        if (Viewer() == WINDOWS_STUB)
        {
            ASSERT_TRUE(Help_Install_Stub()) << "cannot put the stand-in in the viewers' place";
        }
        WNDCLASSA catcher_class = {};
        catcher_class.lpfnWndProc = Help_Catcher_Proc;
        catcher_class.hInstance = GetModuleHandleA(NULL);
        catcher_class.lpszClassName = "MS_WINHELP";
        RegisterClassA(&catcher_class);
        catcher = CreateWindowExA(0, "MS_WINHELP", "", 0, 0, 0, 0, 0, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
        Help_Requests.clear();
    }
    void TearDown() override
    {
        Gfxsetup_Test::TearDown();
        if (catcher)
            DestroyWindow(catcher);
        Help_Restore_Viewers();
    }

    /* Starts gfxsetup and opens the dialog under test. */
    HWND Open()
    {
        if (!Start("RENDERING_PLATFORM 12\r\n", 0))
            return NULL;
        if (Viewer() != NO_HELP_FILE)
            Game_Write_File(session.folder.path + "\\" HELP_FILE, "?_\3\0");
        HWND main_dialog = Session_Window(&session, MAIN_TITLE);
        if (!main_dialog || !Dialog().advanced)
            return main_dialog;
        return Session_Open_Advanced(&session, main_dialog);
    }
    void Expect_WinHelp_Requests(HWND dialog);
    void Expect_Own_Popups(HWND dialog);
};

/* The visible help pop-ups of the process. */
static std::vector<HWND> Help_Popups(DWORD process_id)
{
    HWND found[16];
    int count = Player_Find_Windows(process_id, HELP_POPUP_CLASS, 0, found, 16);
    return std::vector<HWND>(found, found + (count < 16 ? count : 16));
}

/* Only where the system can show the help file: the WinHelp requests. */
TEST_P(Context_Help, ShowsTheTopicWhereTheSystemCanElseItsOwnPopup)
{
    ASSERT_TRUE(catcher != NULL);
    HWND dialog = Open();
    ASSERT_TRUE(dialog != NULL);
    if (Viewer() == WINE_VIEWER)
        Expect_WinHelp_Requests(dialog);
    else
        Expect_Own_Popups(dialog);
    EXPECT_FALSE(Game_File_Exists(session.folder.path + "\\" + STUB_STARTED))
        << "the stub was started";
}

void Context_Help::Expect_WinHelp_Requests(HWND dialog)
{
    for (const Help_Case &c : Dialog().cases)
    {
        Help_Requests.clear();
        ASSERT_TRUE(Session_Send(dialog, c.control_id, WM_KEYF1_MESSAGE))
            << "control " << c.control_id;
        if (!c.context)
        {
            EXPECT_EQ(0u, Help_Requests.size()) << "help for control " << c.control_id;
            continue;
        }
        ASSERT_EQ(1u, Help_Requests.size()) << "requests for control " << c.control_id;
        const Help_Request &request = Help_Requests[0];
        EXPECT_EQ(dialog, request.from) << "control " << c.control_id;
        EXPECT_EQ((unsigned)HELP_CONTEXTPOPUP, request.command) << "control " << c.control_id;
        EXPECT_EQ(c.context, request.data) << "control " << c.control_id;
        EXPECT_EQ(HELP_FILE, request.file) << "control " << c.control_id;
    }
    EXPECT_EQ(0u, Help_Popups(session.process.dwProcessId).size());
}

/* Near the control, with the topic's text; closed by a key or a click. */
void Context_Help::Expect_Own_Popups(HWND dialog)
{
    bool close_with_key = true;
    for (const Help_Case &c : Dialog().cases)
    {
        ASSERT_TRUE(Session_Send(dialog, c.control_id, WM_KEYF1_MESSAGE))
            << "control " << c.control_id;
        std::vector<HWND> popups = Help_Popups(session.process.dwProcessId);
        if (!c.context)
        {
            EXPECT_EQ(0u, popups.size()) << "help for control " << c.control_id;
            continue;
        }
        ASSERT_EQ(1u, popups.size()) << "pop-ups for control " << c.control_id;
        char text[512];
        GetWindowTextA(popups[0], text, sizeof text);
        const char *topic = Help_Text(c.context);
        ASSERT_TRUE(topic != NULL) << "no topic " << c.context << " in gfxsetup";
        EXPECT_STREQ(topic, text) << "control " << c.control_id;

        RECT control, popup;
        GetWindowRect(GetDlgItem(dialog, c.control_id), &control);
        GetWindowRect(popups[0], &popup);
        bool below = popup.top >= control.bottom && popup.top - control.bottom <= 8;
        bool above = popup.bottom <= control.top && control.top - popup.bottom <= 8;
        EXPECT_TRUE(below || above)
            << "pop-up top " << popup.top << " bottom " << popup.bottom << ", control top "
            << control.top << " bottom " << control.bottom;
        EXPECT_TRUE(popup.left < control.right && popup.right > control.left)
            << "pop-up left " << popup.left << " right " << popup.right << ", control left "
            << control.left << " right " << control.right;

        /* A key or a click closes it, turn about. */
        if (close_with_key)
            PostMessageA(popups[0], WM_KEYDOWN, VK_ESCAPE, 0);
        else
            PostMessageA(popups[0], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        EXPECT_TRUE(Player_Wait_Gone(popups[0], PLAYER_TIMEOUT_MS))
            << "pop-up not closed by a " << (close_with_key ? "key" : "click");
        close_with_key = !close_with_key;
    }
    EXPECT_EQ(0u, Help_Requests.size()) << "WinHelp asked where the system cannot show help";
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, Context_Help,
    ::testing::Combine(::testing::ValuesIn(Help_Dialogs),
                       ::testing::Values(NO_HELP_FILE, WINE_VIEWER, WINDOWS_STUB)),
    [](const ::testing::TestParamInfo<std::tuple<Help_Dialog, Help_Viewer>> &info)
    {
        return std::string(std::get<0>(info.param).name) + "_" +
               Help_Viewer_Names[std::get<1>(info.param)];
    });

/* The pop-up's texts: one for each context that a control has, each its own
 * and short enough for the pop-up's 512-byte buffer; none for other numbers. */
TEST(Help_Texts, EachControlsContextHasItsOwnText)
{
    std::vector<std::string> seen;
    for (const Help_Dialog &dialog : Help_Dialogs)
        for (const Help_Case &c : dialog.cases)
        {
            if (!c.context)
                continue;
            const char *text = Help_Text(c.context);
            ASSERT_TRUE(text != NULL) << "context " << c.context;
            size_t length = strlen(text);
            EXPECT_TRUE(length > 0 && length <= 511)
                << "context " << c.context << ": " << length << " characters";
            for (const std::string &other : seen)
                EXPECT_NE(other, text) << "context " << c.context << " repeats a topic";
            seen.push_back(text);
        }
    for (DWORD context : {0ul, 7ul, 15ul, 16ul, 0xFFFFFFFFul})
        EXPECT_EQ(NULL, Help_Text(context)) << "context " << context;
}

/* The pop-up stays inside the work area of the dialog's monitor when the
 * dialog stands at its right or bottom edge, or past them, and off a control
 * that is in sight. */
struct Edge_Case
{
    const char *name;
    int right_overhang;  /* the dialog's right edge past the work area's, pixels */
    int bottom_overhang; /* likewise at the bottom; negative: short of it */
};

static const Edge_Case Edge_Cases[] = {
    {"AtTheRightEdge", 0, -200},     {"PastTheRightEdge", 120, -200}, {"AtTheBottomEdge", -200, 0},
    {"PastTheBottomEdge", -200, 60}, {"InTheCorner", 0, 0},
};

class Popup_Edges : public Gfxsetup_Test, public ::testing::WithParamInterface<Edge_Case>
{
};

TEST_P(Popup_Edges, ThePopupStaysInsideTheWorkArea)
{
    const Edge_Case &c = GetParam();
    ASSERT_TRUE(Start("RENDERING_PLATFORM 12\r\n", 0));
    HWND dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(dialog != NULL);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT &work = monitor.rcWork;
    RECT frame;
    GetWindowRect(dialog, &frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(dialog, NULL, work.right + c.right_overhang - width,
                 work.bottom + c.bottom_overhang - height, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Help_Case &help : Help_Dialogs[0].cases)
    {
        ASSERT_TRUE(Session_Send(dialog, help.control_id, WM_KEYF1_MESSAGE));
        HWND found[4];
        ASSERT_EQ(1,
                  Player_Find_Windows(session.process.dwProcessId, HELP_POPUP_CLASS, 0, found, 4))
            << "control " << help.control_id;
        RECT popup;
        GetWindowRect(found[0], &popup);
        EXPECT_TRUE(popup.left >= work.left && popup.right <= work.right && popup.top >= work.top &&
                    popup.bottom <= work.bottom)
            << "control " << help.control_id << ": pop-up " << popup.left << "," << popup.top
            << " to " << popup.right << "," << popup.bottom << ", work area " << work.left << ","
            << work.top << " to " << work.right << "," << work.bottom;
        /* Beside a control that is in sight, not over it. */
        RECT control;
        GetWindowRect(GetDlgItem(dialog, help.control_id), &control);
        if (control.bottom <= work.bottom)
        {
            EXPECT_TRUE(popup.bottom <= control.top || popup.top >= control.bottom)
                << "control " << help.control_id << " is covered";
        }
        PostMessageA(found[0], WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(Player_Wait_Gone(found[0], PLAYER_TIMEOUT_MS));
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, Popup_Edges, ::testing::ValuesIn(Edge_Cases), Case_Name<Edge_Case>);

/* ------------------------------------------------- the display's scale */

static const char DESKTOP_KEY[] = "Control Panel\\Desktop";

/* The display's DPI for programs started from now on (Wine reads it at a
 * program's start); 0 takes the value away. */
static void Set_Display_Dpi(DWORD dpi)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    if (dpi)
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, (const BYTE *)&dpi, sizeof dpi);
    else
        RegDeleteValueA(key, "LogPixels");
    RegCloseKey(key);
}

struct Scale_Case
{
    const char *name;
    DWORD dpi;
};

static const Scale_Case Scale_Cases[] = {{"At100Percent", 96}, {"At150Percent", 144}};

class Display_Scale : public Gfxsetup_Test, public ::testing::WithParamInterface<Scale_Case>
{
  protected:
    void SetUp() override
    {
        Set_Display_Dpi(GetParam().dpi);
    }
    void TearDown() override
    {
        Gfxsetup_Test::TearDown();
        Set_Display_Dpi(0);
    }
};

/* The dialogs and the pop-up per-monitor aware where the system has v2, laid
 * out at the display's DPI, and again so after a detection, which ran
 * unaware. Without v2 (Wine 8) gfxsetup's calls are refused and nothing
 * changes; Wine 8 gives every window the process's awareness (per monitor)
 * whatever the thread's, so there only the pop-up's size at the dialog's DPI
 * (the display's) tells right from wrong. */
TEST_P(Display_Scale, DialogsAndPopupAtTheDisplaysDpi)
{
    const Scale_Case &c = GetParam();
    const bool v2 = Gfxsetup_Has_Per_Monitor_V2();
    static bool told;
    if (!v2 && !told)
    {
        told = true;
        printf("Display_Scale: no per-monitor v2 here (Wine 8): the windows' awareness is the "
               "process's whatever the thread's, so it is not checked; checked: the pop-up's "
               "width and gap at the dialog's DPI, and the dialogs at work after the refused "
               "calls\n");
    }
    ASSERT_TRUE(Start("RENDERING_PLATFORM 12\r\n", 2));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    const int awareness = Gfxsetup_Window_Dpi_Awareness(main_dialog);
    if (v2)
    {
        EXPECT_EQ(2, awareness) << "main dialog not per-monitor aware";
    }
    HWND advanced = Session_Open_Advanced(&session, main_dialog);
    ASSERT_TRUE(advanced != NULL);
    if (v2)
    {
        EXPECT_EQ(2, Gfxsetup_Window_Dpi_Awareness(advanced)) << "Advanced Settings";
    }
    EXPECT_TRUE(Session_Close_With(advanced, IDCANCEL));

    /* A long topic, wrapped to the pop-up's full width. */
    ASSERT_TRUE(Session_Send(main_dialog, 1016, WM_KEYF1_MESSAGE));
    std::vector<HWND> popups = Help_Popups(session.process.dwProcessId);
    ASSERT_EQ(1u, popups.size());
    if (v2)
    {
        EXPECT_EQ(2, Gfxsetup_Window_Dpi_Awareness(popups[0])) << "pop-up";
    }
    const int dpi = awareness > 0 ? (int)c.dpi : 96; /* an unaware one is stretched */
    RECT control, popup;
    GetWindowRect(GetDlgItem(main_dialog, 1016), &control);
    GetWindowRect(popups[0], &popup);
    int width = popup.right - popup.left;
    int most = 260 * dpi / 96;
    EXPECT_TRUE(width <= most && width > most * 4 / 5)
        << "pop-up " << width << " pixels wide at " << dpi << " DPI, at most " << most;
    EXPECT_EQ(2 * dpi / 96, popup.top - control.bottom) << "gap below the control";
    PostMessageA(popups[0], WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Player_Wait_Gone(popups[0], PLAYER_TIMEOUT_MS));

    /* The detection put the thread's context back. */
    Player_Click(main_dialog, 1016);
    EXPECT_EQ("D3D Primary Card detected.", Session_Confirm_Box(&session));
    EXPECT_TRUE(Player_Wait_Gone(main_dialog, PLAYER_TIMEOUT_MS));
    main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    if (v2)
    {
        EXPECT_EQ(2, Gfxsetup_Window_Dpi_Awareness(main_dialog)) << "after the detection";
    }
    EXPECT_TRUE(Session_Close_With(main_dialog, IDOK));
    EXPECT_EQ(0, Session_Finish(&session));
}

INSTANTIATE_TEST_SUITE_P(Scales, Display_Scale, ::testing::ValuesIn(Scale_Cases),
                         Case_Name<Scale_Case>);
