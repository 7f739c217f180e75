/*
 * The Advanced Settings dialog: the 3D card and the three rendering options.
 * Its values go into the setup state only on OK.
 */
#include "gfxsetup.h"
#include "resource.h"

static const Help_Topic Advanced_Help_Topics[] = {
    {IDC_ADVANCED_3DFX, HELP_3DFX},
    {IDC_ADVANCED_ATI_RAGE, HELP_ATI_RAGE},
    {IDC_ADVANCED_D3D_PRIMARY, HELP_D3D_PRIMARY},
    {IDC_ADVANCED_D3D_SECONDARY, HELP_D3D_SECONDARY},
    {IDC_ADVANCED_16BIT_TEXTURES, HELP_16BIT_TEXTURES},
    {IDC_ADVANCED_NO_MIPMAP, HELP_NO_MIPMAP},
    {IDC_ADVANCED_SUBTRACTIVE, HELP_SUBTRACTIVE},
};

static INT_PTR Advanced_On_Init_Dialog(HWND dialog)
{
    /* A card outside 1 to 4 lies outside the range: nothing checked. */
    CheckRadioButton(dialog, IDC_ADVANCED_CARD_BASE, IDC_ADVANCED_D3D_SECONDARY,
                     IDC_ADVANCED_CARD_BASE + Setup_Card);
    /* The first two boxes say "off" for an entry that allows. */
    if (Setup_Allow_Palettised == 0)
        CheckDlgButton(dialog, IDC_ADVANCED_16BIT_TEXTURES, BST_CHECKED);
    if (Setup_Allow_Mipmap == 0)
        CheckDlgButton(dialog, IDC_ADVANCED_NO_MIPMAP, BST_CHECKED);
    if (Setup_Type1_Shadows != 0)
        CheckDlgButton(dialog, IDC_ADVANCED_SUBTRACTIVE, BST_CHECKED);
    return TRUE;
}

static int32_t Advanced_Is_Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static INT_PTR Advanced_On_OK(HWND dialog)
{
    for (int id = IDC_ADVANCED_CARD_BASE; id <= IDC_ADVANCED_D3D_SECONDARY; id++)
        if (Advanced_Is_Checked(dialog, id))
            Setup_Card = id - IDC_ADVANCED_CARD_BASE;
    Setup_Allow_Palettised = !Advanced_Is_Checked(dialog, IDC_ADVANCED_16BIT_TEXTURES);
    Setup_Allow_Mipmap = !Advanced_Is_Checked(dialog, IDC_ADVANCED_NO_MIPMAP);
    Setup_Type1_Shadows = Advanced_Is_Checked(dialog, IDC_ADVANCED_SUBTRACTIVE);
    EndDialog(dialog, 0);
    return TRUE;
}

static INT_PTR Advanced_On_Command(HWND dialog, WORD id)
{
    switch (id)
    {
    case IDOK:
        return Advanced_On_OK(dialog);
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK Advanced_Dialog_Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        return Advanced_On_Init_Dialog(dialog);
    case WM_COMMAND:
        return Advanced_On_Command(dialog, LOWORD(wParam));
    case WM_HELP:
        /* Handled, topic or not: the default processing would pass the
         * request on to the main dialog, which would show its own topic for
         * the same control id. */
        return Help_Show_Topic(dialog, (const HELPINFO *)lParam, Advanced_Help_Topics,
                               sizeof Advanced_Help_Topics / sizeof Advanced_Help_Topics[0]);
    }
    return FALSE;
}
