/*
 * launch: starts the installed game once the installer's registry entries
 * are there, and tells the engine the CD drive recorded at installation.
 * Exit code 0 after play, -1 when the installation is incomplete.
 */
#include "launch.h"

const int32_t Launcher_Installed_Launch_Flag = 1;

/* Same room as the check, so a value that passed it gives its letter here
 * too ("D:\" as the installer writes it). The drive is not tested. */
void Launcher_Drive_Step(void)
{
    HKEY key;
    if (!Installation_Key_Open(&key))
        return;
    unsigned char recorded[INSTALLATION_VALUE_SIZE];
    DWORD size = sizeof recorded;
    LONG result =
        RegQueryValueExA(key, INSTALLATION_VALUE_CD_DRIVE, NULL, NULL, recorded, &size);
    RegCloseKey(key);
    /* An empty value has no letter to give. */
    if (result == ERROR_SUCCESS && size > 0)
        Config_Set_CD_Drive((char)recorded[0]);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show_state)
{
    (void)previous;
    /* The callback goes to the engine whatever the check finds. */
    Launcher_Start(instance, command_line, show_state);
    if (!Check_Installation())
    {
        MessageBoxA(NULL, INSTALLATION_MESSAGE, INSTALLATION_CAPTION, MB_OK);
        return -1;
    }
    return Launch_Game();
}
