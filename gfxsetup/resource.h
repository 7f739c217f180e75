/*
 * Resource ids of gfxsetup: the two dialog templates, their controls, the
 * help topics and the icon.
 */
#ifndef GFXSETUP_RESOURCE_H
#define GFXSETUP_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

/* Main dialog. A radio button's id is 1000 + the platform it stands for. */
#define IDD_MAIN                    101
#define IDC_MAIN_PLATFORM_BASE      1000
#define IDC_MAIN_SOFTWARE           1001
#define IDC_MAIN_HARDWARE           1002
#define IDC_MAIN_ADVANCED           1007
#define IDC_MAIN_AUTO_DETECT        1016

/* Advanced Settings dialog. A radio button's id is 1000 + the card it stands for. */
#define IDD_ADVANCED                104
#define IDC_ADVANCED_CARD_BASE      1000
#define IDC_ADVANCED_3DFX           1001
#define IDC_ADVANCED_ATI_RAGE       1002
#define IDC_ADVANCED_D3D_PRIMARY    1003
#define IDC_ADVANCED_D3D_SECONDARY  1004
#define IDC_ADVANCED_16BIT_TEXTURES 1008
#define IDC_ADVANCED_NO_MIPMAP      1009
#define IDC_ADVANCED_SUBTRACTIVE    1010

/* The program's icon. */
#define IDI_GFXSETUP                106

#endif
