/*
 * Hardware detection: asks the engine library once per run which 3D hardware
 * the machine has, through a hidden window of its own, and maps the answer to
 * a platform and card with a message for the player.
 */
#include "gfxsetup.h"

#include "velmire.h"

int32_t Detect_Done;
int32_t Detect_Result;

static const char DETECT_CLASS[] = "KARNOTH";
static const char DETECT_TITLE[] = "Auto Detect";
static const char DETECT_CAPTION[] = "Auto Detection";

/* Without the engine: the one message, with what went wrong between its parts. */
static const char DETECT_NO_ENGINE_START[] = "The engine library VELMIRE.DLL ";
static const char DETECT_NO_ENGINE_END[] =
    ", so the 3D hardware could not be detected. Using software renderer.";
static const char DETECT_NO_LIBRARY_TEXT[] = "could not be loaded";
static const char DETECT_NO_ENTRY_TEXT[] = "has no hardware detection";

enum
{
    DETECT_KEEP_CARD = -1
};

enum Detect_Outcome
{
    DETECT_ASKED,
    DETECT_NO_LIBRARY,
    DETECT_NO_ENTRY
};

struct Detect_Mapping
{
    signed char platform;
    signed char card; /* DETECT_KEEP_CARD: the player's card stays */
    const char *message;
};

/* Indexed by the engine's answer. Answers and cards are numbered apart. */
static const Detect_Mapping Detect_Mappings[] = {
    {PLATFORM_SOFTWARE, DETECT_KEEP_CARD, "No 3D hardware found. Using software renderer."},
    {PLATFORM_HARDWARE, CARD_3DFX, "3DFX Glide Driver detected."},
    {PLATFORM_HARDWARE, CARD_D3D_PRIMARY, "D3D Primary Card detected."},
    {PLATFORM_HARDWARE, CARD_D3D_SECONDARY, "D3D Secondary Card detected."},
    {PLATFORM_HARDWARE, CARD_ATI_RAGE, "ATI Rage card detected."},
};

static const Detect_Mapping Detect_Unknown_Answer = {PLATFORM_HARDWARE, DETECT_KEEP_CARD, NULL};

LRESULT CALLBACK Detect_Window_Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE)
    {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

static HWND Detect_Create_Window(HINSTANCE instance)
{
    WNDCLASSA detect_class = {};
    detect_class.style = CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS;
    detect_class.lpfnWndProc = Detect_Window_Proc;
    detect_class.hInstance = instance;
    detect_class.lpszMenuName = DETECT_CLASS; /* no such menu: the window gets none */
    detect_class.lpszClassName = DETECT_CLASS;
    /* Already registered on a retry; either way the class is there. */
    RegisterClassA(&detect_class);
    /* Never shown: the engine only needs a window of ours to hold. */
    return CreateWindowExA(0, DETECT_CLASS, DETECT_TITLE, WS_OVERLAPPEDWINDOW, 200, 200, 326, 225,
                           NULL, NULL, instance, NULL);
}

/* Loads the engine for the one question and frees it again; the window is
 * gone before the library, and both before any message is shown. */
static Detect_Outcome Detect_Ask_Engine(void)
{
    /* The engine expects the unaware program it was made for: its window,
     * its load, the question and its free all happen so. */
    DPI_AWARENESS_CONTEXT dpi_context = Scale_Set_Thread_Context(DPI_AWARENESS_CONTEXT_UNAWARE);
    HWND window = Detect_Create_Window(Setup_Instance);
    /* A library that the engine needs and that is missing must fail the
     * load quietly, not put up the system's own box before ours. */
    UINT error_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    HMODULE library = LoadLibraryExA(VELMIRE_LIBRARY_NAME, NULL, 0);
    SetErrorMode(error_mode);
    Config_Search_For_Graphics_Driver_Entry search = NULL;
    if (library)
        search = (Config_Search_For_Graphics_Driver_Entry)(void (*)(void))GetProcAddress(
            library, VELMIRE_DETECT_ENTRY_NAME);
    if (search)
    {
        Detect_Result = search(0, window);
        Detect_Done = 1;
    }
    if (window)
        DestroyWindow(window);
    /* An engine that closed the window left a quit behind, which would end
     * the message box and the main dialog at once. */
    MSG quit;
    PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
    if (library)
        FreeLibrary(library);
    if (dpi_context)
        Scale_Set_Thread_Context(dpi_context);
    if (!library)
        return DETECT_NO_LIBRARY;
    return search ? DETECT_ASKED : DETECT_NO_ENTRY;
}

static void Detect_Apply(const Detect_Mapping *mapping, const WCHAR *message)
{
    Setup_Platform = mapping->platform;
    if (mapping->card != DETECT_KEEP_CARD)
        Setup_Card = mapping->card;
    /* No owner: the main dialog stays usable while the box is up. Shown as
     * the not-saved message is, in UTF-16: one message box for both. */
    WCHAR caption[sizeof DETECT_CAPTION];
    Setup_Widen(caption, DETECT_CAPTION);
    if (message[0])
        MessageBoxW(NULL, message, caption, MB_OK);
}

void Setup_Auto_Detect(void)
{
    const int32_t answers = (int32_t)(sizeof Detect_Mappings / sizeof Detect_Mappings[0]);
    /* The engine is asked once in a run; its answer is repeated after that. */
    Detect_Outcome outcome = Detect_Done ? DETECT_ASKED : Detect_Ask_Engine();
    const Detect_Mapping *mapping = &Detect_Unknown_Answer;
    WCHAR message[160] = L""; /* the longest: the no-engine one */
    if (outcome == DETECT_ASKED)
    {
        if (Detect_Result >= 0 && Detect_Result < answers)
            mapping = &Detect_Mappings[Detect_Result];
        if (mapping->message)
            Setup_Widen(message, mapping->message);
    }
    else
    {
        /* Without the engine, settle on software rendering and say why. The
         * engine was not asked, so a later request tries again. */
        mapping = &Detect_Mappings[DETECT_NO_3D_HARDWARE];
        Setup_Widen(Setup_Widen(Setup_Widen(message, DETECT_NO_ENGINE_START),
                                outcome == DETECT_NO_LIBRARY ? DETECT_NO_LIBRARY_TEXT
                                                             : DETECT_NO_ENTRY_TEXT),
                    DETECT_NO_ENGINE_END);
    }
    Detect_Apply(mapping, message);
}
