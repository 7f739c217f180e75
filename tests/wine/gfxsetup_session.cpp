/*
 * Runs of gfxsetup for the Wine tests.
 */
#include "gfxsetup_session.h"

#include <stdio.h>
#include <string.h>

enum
{
    SESSION_EXIT_TIMEOUT_MS = 30000
};

bool Session_Start(Session *session, const char *name, const char *config, int answer,
                   Session_Engine engine)
{
    session->running = false;
    session->folder = Game_Folder_Create(name, engine == ENGINE_STANDIN);
    std::string engine_path = session->folder.path + "\\Velmire.dll";
    if (engine == ENGINE_MISSING)
        DeleteFileA(engine_path.c_str()); /* left by an earlier run in the same folder */
    if (engine == ENGINE_EMPTY &&
        !CopyFileA((Game_Bin_Folder() + "\\gfxsetup_empty_engine.dll").c_str(), engine_path.c_str(),
                   FALSE))
        return false;
    std::string config_path = session->folder.path + "\\tamsel\\config.dat";
    DeleteFileA(config_path.c_str()); /* left by an earlier run in the same folder */
    if (config && !Game_Write_File(config_path, config))
        return false;
    char answer_text[16];
    snprintf(answer_text, sizeof answer_text, "%d", answer);
    SetEnvironmentVariableA("VELMIRE_STANDIN_DETECT", answer_text);
    session->running = Game_Start(session->folder, "gfxsetup.exe", NULL, &session->process);
    return session->running;
}

long Session_Finish(Session *session)
{
    if (!session->running)
        return -3;
    DWORD exit_code = 0;
    session->running = false;
    if (!Game_Wait_Exit(&session->process, SESSION_EXIT_TIMEOUT_MS, &exit_code))
        return -2;
    return (long)exit_code;
}

void Session_Kill(Session *session)
{
    if (!session->running)
        return;
    session->running = false;
    Game_Wait_Exit(&session->process, 0, NULL);
}

HWND Session_Window(const Session *session, const char *title)
{
    return Player_Wait_For_Window(title, DIALOG_CLASS, session->process.dwProcessId,
                                  PLAYER_TIMEOUT_MS);
}

std::string Session_Confirm_Box(const Session *session)
{
    HWND box = Session_Window(session, DETECT_CAPTION);
    char text[512] = "";
    if (!box)
        return "";
    Player_Message_Box_Text(box, text, sizeof text);
    Player_Press_OK(box);
    Player_Wait_Gone(box, PLAYER_TIMEOUT_MS);
    return text;
}

HWND Session_Open_Advanced(const Session *session, HWND main_dialog)
{
    if (!Player_Click(main_dialog, 1007))
        return NULL;
    return Session_Window(session, ADVANCED_TITLE);
}

bool Session_Close_With(HWND dialog, int button_id)
{
    return Player_Click(dialog, button_id) && Player_Wait_Gone(dialog, PLAYER_TIMEOUT_MS);
}

std::string Session_Config(const Session *session)
{
    return Game_Read_File(session->folder.path + "\\tamsel\\config.dat");
}

int Session_Detections(const Session *session)
{
    std::string log = Game_Engine_Log(session->folder);
    int count = 0;
    for (size_t at = log.find("Config_Search_For_Graphics_Driver"); at != std::string::npos;
         at = log.find("Config_Search_For_Graphics_Driver", at + 1))
        count++;
    return count;
}

bool Session_Send(HWND dialog, int control_id, UINT msg)
{
    HWND control = GetDlgItem(dialog, control_id);
    DWORD_PTR result;
    /* While it waits, this thread still takes messages sent to its windows. */
    return control &&
           SendMessageTimeoutA(control, msg, 0, 0, SMTO_NORMAL, PLAYER_TIMEOUT_MS, &result) != 0;
}

std::string Config_Bytes(int rendering_platform, int mipmap, int palettised, int shadows)
{
    char bytes[256];
    snprintf(bytes, sizeof bytes,
             "RENDERING_PLATFORM %d\r\nD3D_ALLOW_MIPMAP %d\r\nD3D_ALLOW_PALETTISED %d\r\n"
             "D3D_TYPE1_SHADOWS %d\r\n",
             rendering_platform, mipmap, palettised, shadows);
    return bytes;
}

std::string Gfxsetup_Test::Folder_Name() const
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char &c : name)
        if (c == '/' || c == '\\')
            c = '-';
    return base.empty() ? name : base + "\\" + name;
}

bool Gfxsetup_Test::Start(const char *config, int answer, Session_Engine engine)
{
    return Session_Start(&session, Folder_Name().c_str(), config, answer, engine);
}

static FARPROC User32_Entry(const char *name)
{
    return GetProcAddress(GetModuleHandleA("user32"), name);
}

bool Gfxsetup_Has_Dpi_Awareness()
{
    return User32_Entry("GetThreadDpiAwarenessContext") &&
           User32_Entry("GetAwarenessFromDpiAwarenessContext");
}

bool Gfxsetup_Has_Per_Monitor_V2()
{
    typedef BOOL(WINAPI * Valid_Entry)(DPI_AWARENESS_CONTEXT context);
    Valid_Entry valid = (Valid_Entry)(void (*)(void))User32_Entry("IsValidDpiAwarenessContext");
    return valid && valid(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

int Gfxsetup_Window_Dpi_Awareness(HWND window)
{
    typedef DPI_AWARENESS_CONTEXT(WINAPI * Window_Context_Entry)(HWND window);
    typedef DPI_AWARENESS(WINAPI * Awareness_Entry)(DPI_AWARENESS_CONTEXT context);
    Window_Context_Entry window_context =
        (Window_Context_Entry)(void (*)(void))User32_Entry("GetWindowDpiAwarenessContext");
    Awareness_Entry awareness =
        (Awareness_Entry)(void (*)(void))User32_Entry("GetAwarenessFromDpiAwarenessContext");
    if (!window_context || !awareness)
        return -1;
    return (int)awareness(window_context(window));
}
