/*
 * The main dialog: software or 3D hardware rendering, and the way to the
 * Advanced Settings dialog and to a new hardware detection.
 */
#include "gfxsetup.h"
#include "resource.h"

static const Help_Topic Main_Help_Topics[] = {
    {IDC_MAIN_ADVANCED, HELP_ADVANCED_SETTINGS},
    {IDC_MAIN_AUTO_DETECT, HELP_AUTO_DETECT},
    {IDC_MAIN_SOFTWARE, HELP_SOFTWARE},
    {IDC_MAIN_HARDWARE, HELP_HARDWARE},
    {IDOK, HELP_OK},
    {IDCANCEL, HELP_CANCEL},
};

static INT_PTR Main_On_Init_Dialog(HWND dialog)
{
    Setup_Show_Again = 0;
    /* A platform other than 1 or 2 lies outside the range: nothing checked. */
    CheckRadioButton(dialog, IDC_MAIN_PLATFORM_BASE, IDC_MAIN_HARDWARE,
                     IDC_MAIN_PLATFORM_BASE + Setup_Platform);
    return TRUE;
}

static void Main_On_OK(HWND dialog)
{
    for (int id = IDC_MAIN_PLATFORM_BASE; id <= IDC_MAIN_HARDWARE; id++)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            Setup_Platform = id - IDC_MAIN_PLATFORM_BASE;
}

static void Main_On_Auto_Detect(void)
{
    /* The radio buttons are not read: the flow shows the dialog anew with
     * the detected platform. */
    Setup_Auto_Detect();
    Setup_Show_Again = 1;
}

static INT_PTR Main_On_Command(HWND dialog, WORD id)
{
    switch (id)
    {
    case IDC_MAIN_ADVANCED:
        DialogBoxParamA(Setup_Instance, MAKEINTRESOURCEA(IDD_ADVANCED), dialog,
                        Advanced_Dialog_Proc, 0);
        return TRUE;
    case IDOK:
        Main_On_OK(dialog);
        break;
    case IDC_MAIN_AUTO_DETECT:
        Main_On_Auto_Detect();
        break;
    case IDCANCEL:
        break;
    default:
        return FALSE;
    }
    /* The other three buttons end the dialog. */
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR CALLBACK Main_Dialog_Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        return Main_On_Init_Dialog(dialog);
    case WM_COMMAND:
        return Main_On_Command(dialog, LOWORD(wParam));
    case WM_HELP:
        /* The main dialog has no owner to pass help on to: leave the
         * request to the default processing either way. */
        Help_Show_Topic(dialog, (const HELPINFO *)lParam, Main_Help_Topics,
                        sizeof Main_Help_Topics / sizeof Main_Help_Topics[0]);
        return FALSE;
    }
    return FALSE;
}
