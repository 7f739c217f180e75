/*
 * gfxsetup's help contexts: the topic numbers in kvconfig.hlp, and the texts
 * of its own pop-up for the same topics.
 */
#ifndef GFXSETUP_HELP_TEXTS_H
#define GFXSETUP_HELP_TEXTS_H

#include <windows.h>

enum
{
    HELP_ADVANCED_SETTINGS = 1,
    HELP_AUTO_DETECT = 2,
    HELP_SOFTWARE = 3,
    HELP_HARDWARE = 4,
    HELP_OK = 5,
    HELP_CANCEL = 6,
    HELP_3DFX = 8,
    HELP_ATI_RAGE = 9,
    HELP_D3D_PRIMARY = 10,
    HELP_D3D_SECONDARY = 11,
    HELP_16BIT_TEXTURES = 12,
    HELP_NO_MIPMAP = 13,
    HELP_SUBTRACTIVE = 14,
    HELP_CONTEXT_LIMIT = 15 /* contexts are below this */
};

/* The topic's text for the pop-up, or NULL when the context has none. */
const char *Help_Text(DWORD context);

#endif
