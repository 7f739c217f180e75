/*
 * gfxsetup's flow: read the four entries, detect the hardware on a first run,
 * show the main dialog until it is not asked for again, write the entries.
 */
#include "gfxsetup.h"
#include "resource.h"

#include "config_store.h"

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

/* Any value the file held encodes back to itself; a new card on a platform
 * read from a huge value may not fit, so wrap instead of overflowing. */
static int32_t Setup_Rendering_Platform(void)
{
    return (int32_t)((uint32_t)Setup_Platform * PLATFORM_CARDS + (uint32_t)Setup_Card);
}

static void Setup_Load(void)
{
    int32_t rendering_platform = 0;
    Config_Read_Setting(KEY_RENDERING_PLATFORM, rendering_platform);
    /* Truncating division: the card takes the value's sign. */
    Setup_Platform = rendering_platform / PLATFORM_CARDS;
    Setup_Card = rendering_platform - Setup_Platform * PLATFORM_CARDS;
    /* Only 0 means nothing chosen yet; 1 to 4 keep their card undetected. */
    if (rendering_platform == 0)
        Setup_Auto_Detect();

    Config_Read_Setting(KEY_ALLOW_MIPMAP, Setup_Allow_Mipmap);
    Config_Read_Setting(KEY_ALLOW_PALETTISED, Setup_Allow_Palettised);
    Config_Read_Setting(KEY_TYPE1_SHADOWS, Setup_Type1_Shadows);
}

static void Setup_Save(void)
{
    static const char *const keys[] = {KEY_RENDERING_PLATFORM, KEY_ALLOW_MIPMAP,
                                       KEY_ALLOW_PALETTISED, KEY_TYPE1_SHADOWS};
    const int32_t values[] = {Setup_Rendering_Platform(), Setup_Allow_Mipmap,
                              Setup_Allow_Palettised, Setup_Type1_Shadows};
    for (int i = 0; i < 4; i++)
        Config_Write_Setting(keys[i], values[i]);
    /* The store reports nothing: read back as the game will, and tell the
     * player when a choice is not there. */
    for (int i = 0; i < 4; i++)
    {
        int32_t value = ~values[i]; /* stays unequal unless read */
        Config_Read_Setting(keys[i], value);
        if (value != values[i])
        {
            Setup_Report_Not_Saved();
            return;
        }
    }
}

void Setup_Run(void)
{
    Setup_Load();
    do
    {
        /* Not shown at all: leave the file as it was. */
        if (DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN), NULL,
                            Main_Dialog_Proc, 0) != 0)
            return;
    } while (Setup_Show_Again);
    /* Cancel too: detection and confirmed Advanced Settings are kept. */
    Setup_Save();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show_state)
{
    (void)instance;
    (void)previous;
    (void)command_line;
    (void)show_state;
    Setup_Run();
    return 0;
}
