/*
 * One run of gfxsetup in a fresh game folder, driven as a player would: its
 * settings file and detection answer set up front, its dialogs and message
 * boxes found by title in its process, the file read back after it ends.
 */
#ifndef VELMIRE_TESTS_GFXSETUP_SESSION_H
#define VELMIRE_TESTS_GFXSETUP_SESSION_H

#include "game.h"
#include "player.h"

#include <gtest/gtest.h>
#include <string>

#define MAIN_TITLE "Karnoth Velmire Graphics Setup"
#define ADVANCED_TITLE "Advanced Settings"
#define DETECT_CAPTION "Auto Detection"
#define DIALOG_CLASS "#32770"
#define HELP_POPUP_CLASS "Velmire_Help_Popup"

enum Session_Engine
{
    ENGINE_STANDIN, /* the stand-in Velmire.dll */
    ENGINE_MISSING, /* no Velmire.dll at all */
    ENGINE_EMPTY    /* a Velmire.dll without the detection entry */
};

struct Session
{
    Game_Folder folder;
    PROCESS_INFORMATION process;
    bool running;
};

/* A fresh folder NAME whose settings file holds CONFIG (no file when null),
 * the stand-in engine answering ANSWER; gfxsetup started in it. */
bool Session_Start(Session *session, const char *name, const char *config, int answer,
                   Session_Engine engine = ENGINE_STANDIN);
/* Waits for gfxsetup to end; its exit code, or -2 when it had to be killed. */
long Session_Finish(Session *session);
/* Ends a run that a failed test left behind. */
void Session_Kill(Session *session);

/* The program's visible dialog or message box with this title, or null. */
HWND Session_Window(const Session *session, const char *title);
/* Waits for the message box, reads its text and presses OK; "" when none came. */
std::string Session_Confirm_Box(const Session *session);
/* Opens the Advanced Settings dialog from the main dialog. */
HWND Session_Open_Advanced(const Session *session, HWND main_dialog);
/* Clicks a button that ends a dialog and waits until the dialog is gone. */
bool Session_Close_With(HWND dialog, int button_id);

std::string Session_Config(const Session *session);
/* How often the stand-in engine was asked for the hardware. */
int Session_Detections(const Session *session);
/* Sends a control a message and returns once the program has handled it,
 * with all it led to (a click that opens no dialog, WM_KEYF1). */
bool Session_Send(HWND dialog, int control_id, UINT msg);

/* A test with one gfxsetup run, in a folder named after the test; a run
 * that a failed check left behind is ended. */
class Gfxsetup_Test : public ::testing::Test
{
  protected:
    Session session = {};
    std::string base; /* the game folder's parent, a full path; "": the working folder */
    void TearDown() override
    {
        Session_Kill(&session);
    }
    bool Start(const char *config, int answer, Session_Engine engine = ENGINE_STANDIN);
    /* The game folder's name for Session_Start (a full path under base). */
    std::string Folder_Name() const;
};

/* The system's DPI awareness, as a program of the tests sees it: whether it
 * has awareness at all (Windows 10 and later, Wine), whether it has per-monitor
 * v2 (Windows 10 1703 and later, Wine 10), and a window's awareness: 0
 * unaware, 1 system, 2 per monitor; -1 where the system cannot tell. */
bool Gfxsetup_Has_Dpi_Awareness();
bool Gfxsetup_Has_Per_Monitor_V2();
int Gfxsetup_Window_Dpi_Awareness(HWND window);

/* Names table-driven cases by their name field. */
template <typename Case> std::string Case_Name(const ::testing::TestParamInfo<Case> &info)
{
    return info.param.name;
}

/* The settings file as gfxsetup writes its four entries. */
std::string Config_Bytes(int rendering_platform, int mipmap, int palettised, int shadows);

#endif
