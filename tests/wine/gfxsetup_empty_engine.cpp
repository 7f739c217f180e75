/*
 * An engine library without the detection entry, for gfxsetup's tests: it is
 * copied into a game folder as Velmire.dll. Tests only; never shipped.
 */
#include <windows.h>

extern "C" __declspec(dllexport) int __cdecl Not_The_Detection_Entry(void)
{
    return 0;
}
