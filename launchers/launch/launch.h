/*
 * launch: the installed game. Its check of the installer's registry entries.
 */
#ifndef VELMIRE_LAUNCHERS_LAUNCH_H
#define VELMIRE_LAUNCHERS_LAUNCH_H

#include "launcher.h"

#define INSTALLATION_MESSAGE \
    "Karnoth Velmire is not correctly installed. Run SETUP.EXE on the Karnoth Velmire CD"
#define INSTALLATION_CAPTION "Karnoth Velmire"

/* Room for a value of the installation key. */
enum
{
    INSTALLATION_VALUE_SIZE = 256
};

/* 1 when the installation key opens and "PATH" and "INSTALLCD" can be read. */
int Check_Installation(void);

#endif
