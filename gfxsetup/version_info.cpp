/*
 * Whether a help viewer is the stub of Windows Vista and later, from its
 * version resource.
 */
#include "gfxsetup.h"

#include <string.h>

/* The module's version resource, VS_VERSIONINFO, and its size; NULL when none. */
static const BYTE *Version_Block(HMODULE module, DWORD *size)
{
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(1), RT_VERSION) : NULL;
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    *size = found ? SizeofResource(module, found) : 0;
    return loaded ? (const BYTE *)LockResource(loaded) : NULL;
}

/* The key and the value that mark the stub, as the block holds them: UTF-16,
 * each with its terminator. */
static const WCHAR INTERNAL_NAME_KEY[] = L"InternalName";
static const WCHAR STUB_INTERNAL_NAME[] = L"WINHSTB";

/*
 * The stub that Windows Vista and later keep as the Windows folder's
 * winhlp32.exe, which only shows "Why can't I get Help from this program?",
 * carries the internal name "WINHSTB" in its version resource; a real viewer
 * (the one of Windows XP and before, the one installed separately on Vista to
 * 8.1, Wine's) has another name or no version resource at all.
 */
int Version_Is_Help_Stub(const char *path)
{
    HMODULE module = LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
    DWORD size;
    const BYTE *block = Version_Block(module, &size);
    int stub = 0;
    /* The key at a 2-byte step; its value starts at the next 4-byte boundary. */
    for (const BYTE *at = block, *end = block + size;
         at && !stub && at + sizeof INTERNAL_NAME_KEY <= end; at += 2)
    {
        if (memcmp(at, INTERNAL_NAME_KEY, sizeof INTERNAL_NAME_KEY) != 0)
            continue;
        const BYTE *value = at + sizeof INTERNAL_NAME_KEY;
        value += (value - block) & 2;
        stub = value + sizeof STUB_INTERNAL_NAME <= end &&
               memcmp(value, STUB_INTERNAL_NAME, sizeof STUB_INTERNAL_NAME) == 0;
    }
    if (module)
        FreeLibrary(module);
    return stub;
}
