/*
 * cdlaunch: the game started from its CD. Its single-instance test and the
 * search for the drive that holds the game CD.
 */
#ifndef VELMIRE_LAUNCHERS_CDLAUNCH_H
#define VELMIRE_LAUNCHERS_CDLAUNCH_H

#include "launcher.h"

/* The main window of a running game. */
#define ENGINE_WINDOW_CLASS "Orvane RVX Engine 2.0"
#define ENGINE_WINDOW_TITLE "Karnoth Velmire"

/* Results of Find_Game_CD. */
enum
{
    GAME_CD_FOUND = 0,
    GAME_CD_NO_INSTALLATION_KEY = 1,
    GAME_CD_NO_RECORDED_DRIVE = 2, /* "INSTALLCD" absent or longer than 4 bytes */
    GAME_CD_NOT_FOUND = 3
};

/* The recorded drive first, then A to Z. On GAME_CD_FOUND the letter goes
 * through drive when it is not null; otherwise *drive is left alone. */
int Find_Game_CD(char *drive);
/* 1 when the drive is a CD-ROM drive holding the game CD, else 0. */
int Is_Game_CD_Drive(char letter);

#endif
