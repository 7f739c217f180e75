/*
 * The installer's registry key, opened the one way both launchers need it.
 */
#include "launcher.h"

int Installation_Key_Open(HKEY *key)
{
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, INSTALLATION_KEY, 0, KEY_READ, key) ==
           ERROR_SUCCESS;
}
