/*
 * gfxsetup's flow: read the four entries, detect the hardware on a first run,
 * show the main dialog until it is not asked for again, write the entries.
 * It works on the file the game reads: the VirtualStore copy once there is
 * one (virtual_store.cpp), kept in step with the settings file itself.
 */
#include "gfxsetup.h"
#include "resource.h"

#include "config_store.h"

#include <string.h>

static const WCHAR SETUP_FOLDER[] = L"tamsel";
static const WCHAR SETUP_FILE_NAME[] = L"\\config.dat";

HINSTANCE Setup_Instance;
int32_t Setup_Platform;
int32_t Setup_Card;
int32_t Setup_Allow_Mipmap;
int32_t Setup_Allow_Palettised;
int32_t Setup_Type1_Shadows;
int32_t Setup_Show_Again;

static const char KEY_RENDERING_PLATFORM[] = "RENDERING_PLATFORM";
static const char KEY_ALLOW_MIPMAP[] = "D3D_ALLOW_MIPMAP";
static const char KEY_ALLOW_PALETTISED[] = "D3D_ALLOW_PALETTISED";
static const char KEY_TYPE1_SHADOWS[] = "D3D_TYPE1_SHADOWS";
static const char *const SETUP_KEYS[] = {KEY_RENDERING_PLATFORM, KEY_ALLOW_MIPMAP,
                                         KEY_ALLOW_PALETTISED, KEY_TYPE1_SHADOWS};

/* The settings file (its full long path) and its VirtualStore copy's place
 * (L"" where there is none), by their real names whatever the ANSI code page
 * holds, and the same two in UTF-8 for the store: on the stack, as they are
 * needed only in a run. */
struct Setup_Files
{
    WCHAR file[MAX_PATH];
    WCHAR copy[MAX_PATH];
    char file_name[CONFIG_PATH_SIZE];
    char copy_name[CONFIG_PATH_SIZE];
};

/* The path in UTF-8 (length characters, -1: to its end; into name, or only
 * checked); 0 where WC_ERR_INVALID_CHARS finds none (a lone surrogate, which
 * would come out as a substitute character), and on systems without the flag. */
static int Setup_Utf8(const WCHAR *path, int length, char *name, DWORD flags)
{
    return WideCharToMultiByte(CP_UTF8, flags, path, length, name, name ? CONFIG_PATH_SIZE : 0,
                               NULL, NULL) != 0;
}

/* The folder's full path, in its long form where the folder exists, then the
 * file's name; the relative path, which the game opens too, where that does
 * not fit or has no UTF-8 form. */
static void Setup_Find_Files(Setup_Files *files)
{
    /* GetLongPathNameW takes one buffer for both paths, and writes it only where it
     * succeeds. */
    DWORD length = GetFullPathNameW(SETUP_FOLDER, MAX_PATH, files->file, NULL);
    if (length && length < MAX_PATH)
    {
        DWORD long_length = GetLongPathNameW(files->file, files->file, MAX_PATH);
        if (long_length && long_length < MAX_PATH)
            length = long_length;
    }
    if (!length || length + sizeof SETUP_FILE_NAME / sizeof(WCHAR) > MAX_PATH ||
        !Setup_Utf8(files->file, length, NULL, WC_ERR_INVALID_CHARS))
    {
        length = sizeof SETUP_FOLDER / sizeof(WCHAR) - 1;
        memcpy(files->file, SETUP_FOLDER, sizeof SETUP_FOLDER);
    }
    memcpy(files->file + length, SETUP_FILE_NAME, sizeof SETUP_FILE_NAME);
    /* Checked above, or ASCII. */
    Setup_Utf8(files->file, -1, files->file_name, 0);
    if (!Virtual_Store_Path(files->file, files->copy) ||
        !Setup_Utf8(files->copy, -1, files->copy_name, WC_ERR_INVALID_CHARS))
        files->copy[0] = 0;
}

int Setup_Is_File(const WCHAR *path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

WCHAR *Setup_Widen(WCHAR *to, const char *from)
{
    while ((*to = (unsigned char)*from++) != 0)
        to++;
    return to;
}

static int Setup_Copy_Exists(const Setup_Files *files)
{
    return files->copy[0] && Setup_Is_File(files->copy);
}

/* The four entries into one file; the first failure's code, or 0. */
static DWORD Setup_Store(const char *name, const int32_t *values)
{
    DWORD error = 0;
    for (int i = 0; i < 4; i++)
    {
        DWORD failed = Config_Write_Setting_In(name, SETUP_KEYS[i], values[i]);
        if (!error)
            error = failed;
    }
    return error;
}

/* Any value the file held encodes back to itself; a new card on a platform
 * read from a huge value may not fit, so wrap instead of overflowing. */
static int32_t Setup_Rendering_Platform(void)
{
    return (int32_t)((uint32_t)Setup_Platform * PLATFORM_CARDS + (uint32_t)Setup_Card);
}

static void Setup_Load(Setup_Files *files)
{
    Setup_Find_Files(files);
    /* The file the game reads: the copy where it exists. */
    const char *game_file = Setup_Copy_Exists(files) ? files->copy_name : files->file_name;
    int32_t rendering_platform = 0;
    Config_Read_Setting_In(game_file, KEY_RENDERING_PLATFORM, rendering_platform);
    /* Truncating division: the card takes the value's sign. */
    Setup_Platform = rendering_platform / PLATFORM_CARDS;
    Setup_Card = rendering_platform - Setup_Platform * PLATFORM_CARDS;
    /* Only 0 means nothing chosen yet; 1 to 4 keep their card undetected. */
    if (rendering_platform == 0)
        Setup_Auto_Detect();

    Config_Read_Setting_In(game_file, KEY_ALLOW_MIPMAP, Setup_Allow_Mipmap);
    Config_Read_Setting_In(game_file, KEY_ALLOW_PALETTISED, Setup_Allow_Palettised);
    Config_Read_Setting_In(game_file, KEY_TYPE1_SHADOWS, Setup_Type1_Shadows);
}

static void Setup_Save(const Setup_Files *files)
{
    const int32_t values[] = {Setup_Rendering_Platform(), Setup_Allow_Mipmap,
                              Setup_Allow_Palettised, Setup_Type1_Shadows};
    DWORD error = Setup_Store(files->file_name, values);
    /* A copy that exists is kept in step (it is read again once UAC is on),
     * whatever became of the settings file. */
    int to_copy = Setup_Copy_Exists(files);
    DWORD attributes = GetFileAttributesW(files->file);
    if (to_copy)
        error = 0;
    /* Refused where Windows would have redirected the launchers' write: the
     * copy they would have made, only its folders where there is no file yet.
     * A read-only file is the player's choice; a file in use is no refusal. */
    else if (error == ERROR_ACCESS_DENIED && files->copy[0] &&
             (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) &&
             Virtual_Store_Active())
    {
        to_copy = 1;
        error = Virtual_Store_Make_Copy(files->file, files->copy);
    }
    if (to_copy && !error)
        error = Setup_Store(files->copy_name, values);
    /* Read back as the game will, and tell the player when a choice is not
     * there: in the copy once it is the file the game reads, or was to be. */
    const char *game_file = to_copy ? files->copy_name : files->file_name;
    for (int i = 0; i < 4; i++)
    {
        int32_t value = ~values[i]; /* stays unequal unless read */
        Config_Read_Setting_In(game_file, SETUP_KEYS[i], value);
        if (value != values[i])
        {
            Setup_Report_Not_Saved(to_copy ? files->copy : files->file, error, to_copy);
            return;
        }
    }
}

void Setup_Run(void)
{
    /* Our dialogs and messages crisp at any scale, laid out anew on each
     * monitor; not in the manifest, which would make the engine's detection
     * aware too (detect.cpp keeps it as it always ran). */
    Scale_Set_Thread_Context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    Setup_Files files;
    Setup_Load(&files);
    do
    {
        /* Not shown at all: leave the file as it was. */
        if (DialogBoxParamA(Setup_Instance, MAKEINTRESOURCEA(IDD_MAIN), NULL, Main_Dialog_Proc,
                            0) != 0)
            return;
    } while (Setup_Show_Again);
    /* Cancel too: detection and confirmed Advanced Settings are kept. */
    Setup_Save(&files);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show_state)
{
    Setup_Instance = instance;
    (void)previous;
    (void)command_line;
    (void)show_state;
    Setup_Run();
    return 0;
}
