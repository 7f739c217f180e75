/*
 * Whether the Windows folder's help viewer is the stub of Windows Vista and
 * later, from its version resource.
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

/* Where the block holds the UTF-16 text of the ASCII text (its terminator
 * included), at a 2-byte step from start; NULL when nowhere. */
static const BYTE *Version_Find(const BYTE *start, const BYTE *end, const char *text)
{
    int length = (int)strlen(text) + 1;
    for (const BYTE *at = start; at + 2 * length <= end; at += 2)
    {
        int i = 0;
        while (i < length && at[2 * i] == (BYTE)text[i] && at[2 * i + 1] == 0)
            i++;
        if (i == length)
            return at;
    }
    return NULL;
}

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
    for (const BYTE *at = block, *end = block + size;
         at && !stub && (at = Version_Find(at, end, "InternalName")) != NULL;)
    {
        at += sizeof "InternalName" * 2;
        at += (at - block) & 2; /* the value starts at a 4-byte boundary */
        stub = Version_Find(at, at + sizeof "WINHSTB" * 2, "WINHSTB") != NULL;
    }
    if (module)
        FreeLibrary(module);
    return stub;
}
