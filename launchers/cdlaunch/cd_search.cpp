/*
 * Finding the game CD: the drive recorded at installation first, then every
 * letter from A to Z; a CD-ROM drive with the marker file holds the game CD.
 */
#include "cdlaunch.h"

#include <stdio.h>

/* Room for a letter, a colon, a backslash and the terminator. */
enum
{
    RECORDED_DRIVE_SIZE = 4
};

int Is_Game_CD_Drive(char letter)
{
    char root[] = "X:\\";
    char marker[] = "X:\\Tamsel\\KV_CD.EXE";

    root[0] = letter;
    if (GetDriveTypeA(root) != DRIVE_CDROM)
        return 0;

    marker[0] = letter;
    /* An empty drive must fail quietly, not ask the player for a disc. */
    UINT error_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    FILE *file = fopen(marker, "rb");
    SetErrorMode(error_mode);
    if (!file)
        return 0;
    fclose(file);
    return 1;
}

static int Give_Drive(char *drive, char letter)
{
    if (drive)
        *drive = letter;
    return GAME_CD_FOUND;
}

int Find_Game_CD(char *drive)
{
    HKEY key;
    if (!Installation_Key_Open(&key))
        return GAME_CD_NO_INSTALLATION_KEY;

    unsigned char recorded[RECORDED_DRIVE_SIZE];
    DWORD size = sizeof recorded;
    LONG result = RegQueryValueExA(key, INSTALLATION_VALUE_CD_DRIVE, NULL, NULL, recorded, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return GAME_CD_NO_RECORDED_DRIVE;

    /* An empty value records no drive: the scan alone decides. */
    int has_recorded = size > 0;
    char recorded_letter = has_recorded ? (char)recorded[0] : 0;
    if (has_recorded && Is_Game_CD_Drive(recorded_letter))
        return Give_Drive(drive, recorded_letter);

    for (char letter = 'A'; letter <= 'Z'; ++letter)
    {
        if (has_recorded && letter == recorded_letter)
            continue; /* already asked */
        if (Is_Game_CD_Drive(letter))
            return Give_Drive(drive, letter);
    }
    return GAME_CD_NOT_FOUND;
}
