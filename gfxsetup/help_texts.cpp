/*
 * The help topics that gfxsetup shows in its own pop-up when kvconfig.hlp is
 * not in the game folder. Kept as 8-bit text here rather than in the string
 * table, where every character would take two bytes.
 */
#include "help_texts.h"

#include <string.h>

/* The topics in context order, each ended by its own NUL; empty where a
 * context has no topic. One block: no table of addresses to relocate. */
/* clang-format off */
static const char HELP_TEXTS[] =
    /* 0 */ "\0"
    /* 1 HELP_ADVANCED_SETTINGS */
    "Opens Advanced Settings: the 3D card for hardware rendering and three rendering "
    "options.\0"
    /* 2 HELP_AUTO_DETECT */
    "Asks the game engine which 3D hardware this computer has, says what it found and "
    "selects the matching renderer and card.\0"
    /* 3 HELP_SOFTWARE */
    "Draws the game in 256 colours without a 3D card. Works on every computer; choose"
    " it when 3D hardware gives trouble.\0"
    /* 4 HELP_HARDWARE */
    "Draws the game through your 3D card, with smoother, more detailed pictures. "
    "Choose the card under Advanced Settings.\0"
    /* 5 HELP_OK */
    "Saves your choices and closes Graphics Setup. The game uses them when it next "
    "starts.\0"
    /* 6 HELP_CANCEL */
    "Closes Graphics Setup without this window's rendering choice. A detected "
    "renderer, and a card and options confirmed under Advanced Settings, are still "
    "saved.\0"
    /* 7 */ "\0"
    /* 8 HELP_3DFX */
    "3D hardware rendering on a 3DFX Voodoo card, through its Glide driver.\0"
    /* 9 HELP_ATI_RAGE */
    "3D hardware rendering on an ATI 3D Rage card.\0"
    /* 10 HELP_D3D_PRIMARY */
    "3D hardware rendering through Direct3D on your main display card.\0"
    /* 11 HELP_D3D_SECONDARY */
    "3D hardware rendering through Direct3D on a second, 3D-only card such as an "
    "add-on accelerator.\0"
    /* 12 HELP_16BIT_TEXTURES */
    "Converts palettised textures to 16-bit colour. Try this when textures show "
    "wrong colours on your card.\0"
    /* 13 HELP_NO_MIPMAP */
    "Turns off mipmapping (smaller copies of textures for distant surfaces). Try this"
    " when distant textures look wrong or texture memory runs short.\0"
    /* 14 HELP_SUBTRACTIVE */
    "Draws shadows by darkening what lies beneath them. Looks better on some cards; "
    "turn it off if shadows look too dark or blocky.\0";
/* clang-format on */

const char *Help_Text(DWORD context)
{
    if (context >= HELP_CONTEXT_LIMIT)
        return NULL;
    const char *text = HELP_TEXTS;
    for (; context > 0; --context)
        text += strlen(text) + 1;
    return *text ? text : NULL;
}
