/*
 * Drives the programs under test as a player would, on a real Win32
 * implementation: windows found by title, controls by id, clicks, message
 * boxes and F1. Every wait has a timeout.
 */
#ifndef VELMIRE_TESTS_PLAYER_H
#define VELMIRE_TESTS_PLAYER_H

#include <windows.h>

enum
{
    PLAYER_TIMEOUT_MS = 15000
};

/* A visible top-level window with this title (any title when null; and this
 * class, when not null) belonging to the process (any process when 0), or
 * null after the timeout. */
HWND Player_Wait_For_Window(const char *title, const char *class_name, DWORD process_id,
                            DWORD timeout_ms);
/* The process's top-level windows of this class, hidden ones too when
 * include_hidden; stores up to max of them and returns how many there are. */
int Player_Find_Windows(DWORD process_id, const char *class_name, int include_hidden,
                        HWND *found, int max);
/* 1 once the window is gone, 0 after the timeout. */
int Player_Wait_Gone(HWND window, DWORD timeout_ms);

/* BST_CHECKED, BST_UNCHECKED, or -1 when the control does not exist. */
int Player_Check_State(HWND dialog, int control_id);
/* The control's text; 0 when the control does not exist. */
int Player_Control_Text(HWND dialog, int control_id, char *text, int size);
/* Clicks a button; posted, so a click that opens a modal dialog returns at once. */
int Player_Click(HWND dialog, int control_id);
/* F1 on a control: the key's message, which the control turns into WM_HELP. */
int Player_Press_F1(HWND dialog, int control_id);

/* The text of a message box (its static text). */
int Player_Message_Box_Text(HWND box, char *text, int size);
/* Presses the box's OK button. */
int Player_Press_OK(HWND box);

/* Saves a screenshot of the whole screen as a BMP file. */
int Player_Save_Screenshot(const char *path);

#endif
