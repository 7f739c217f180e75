/*
 * cdlaunch: starts the game from its CD, unless the game is already running,
 * and tells the engine which drive holds the CD. Exit code 0 on every path.
 */
#include "cdlaunch.h"

const int32_t Launcher_Installed_Launch_Flag = 0;

/* Both class and title: either alone may belong to another program. */
static int Is_Game_Running(void)
{
    return FindWindowA(ENGINE_WINDOW_CLASS, ENGINE_WINDOW_TITLE) != NULL;
}

/* No drive found is no reason to stop: the engine copes without one. */
void Launcher_Drive_Step(void)
{
    char drive;
    if (Find_Game_CD(&drive) == GAME_CD_FOUND)
        Config_Set_CD_Drive(drive);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show_state)
{
    (void)previous;
    /* One game at a time; the running one is left alone, not brought forward. */
    if (Is_Game_Running())
        return 0;
    Launcher_Start(instance, command_line, show_state);
    return Launch_Game();
}
