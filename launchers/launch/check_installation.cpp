/*
 * The installation check of launch: the installer's key and its two values
 * must be readable; their contents do not matter.
 */
#include "launch.h"

/* Reads a value into room of INSTALLATION_VALUE_SIZE bytes; 1 on success. */
static int Installation_Value_Readable(HKEY key, const char *name)
{
    unsigned char value[INSTALLATION_VALUE_SIZE];
    DWORD type;
    DWORD size = sizeof value;
    return RegQueryValueExA(key, name, NULL, &type, value, &size) == ERROR_SUCCESS;
}

int Check_Installation(void)
{
    HKEY key;
    if (!Installation_Key_Open(&key))
        return 0;
    int installed = Installation_Value_Readable(key, INSTALLATION_VALUE_PATH) &&
                    Installation_Value_Readable(key, INSTALLATION_VALUE_CD_DRIVE);
    RegCloseKey(key);
    return installed;
}
