/*
 * What the launcher tests share: the installer's key, launcher runs, and CD
 * drives made with Wine's mount manager.
 */
#include "launchers_support.h"

#include <winioctl.h>
#include <ctype.h>
#include <string.h>

void Installation_Key_Delete()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, TEST_INSTALLATION_KEY);
    /* The maker's key too, unless something else lives there. */
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane Interactive");
}

bool Installation_Key_Create()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, TEST_INSTALLATION_KEY, 0, NULL, 0, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Installation_Value_Set(const char *name, DWORD type, const std::string &bytes)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, TEST_INSTALLATION_KEY, 0, NULL, 0, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name, 0, type, (const BYTE *)bytes.data(),
                                 (DWORD)bytes.size());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool Installation_Key_Make_Read_Only()
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    char acl_buffer[256];
    PACL acl = (PACL)acl_buffer;
    SECURITY_DESCRIPTOR descriptor;
    bool ok = InitializeAcl(acl, sizeof acl_buffer, ACL_REVISION) &&
              AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | DELETE | WRITE_DAC, everyone) &&
              InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
              SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    HKEY key;
    if (ok && RegOpenKeyExA(HKEY_LOCAL_MACHINE, TEST_INSTALLATION_KEY, 0, WRITE_DAC, &key) ==
                  ERROR_SUCCESS)
    {
        ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    else
        ok = false;
    FreeSid(everyone);
    /* Proof that the mask would matter: a full-access open now fails. */
    if (ok && RegOpenKeyExA(HKEY_LOCAL_MACHINE, TEST_INSTALLATION_KEY, 0, KEY_ALL_ACCESS, &key) ==
                  ERROR_SUCCESS)
    {
        RegCloseKey(key);
        ok = false;
    }
    return ok;
}

static std::vector<std::string> Split_Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

Launcher_Run Launcher_Run_Command_Line(const Game_Folder &folder, const char *exe,
                                       const std::string &command_line, int show_state)
{
    Launcher_Run run = {false, false, 0, {}};
    DeleteFileA(folder.log_path.c_str());
    PROCESS_INFORMATION process;
    run.started = Game_Start_Command_Line(folder, exe, command_line.c_str(), show_state, &process);
    if (!run.started)
        return run;
    run.ended = Game_Wait_Exit(&process, LAUNCHER_TIMEOUT_MS, &run.exit_code);
    run.log = Engine_Log_Lines(folder);
    return run;
}

std::vector<std::string> Engine_Log_Lines(const Game_Folder &folder)
{
    return Split_Lines(Game_Engine_Log(folder));
}

Launcher_Run Launcher_Run_Plain(const Game_Folder &folder, const char *exe)
{
    return Launcher_Run_Command_Line(folder, exe, "\"" + folder.path + "\\" + exe + "\"", -1);
}

std::vector<std::string> Log_Calls(const std::vector<std::string> &log)
{
    std::vector<std::string> calls;
    for (const std::string &line : log)
        calls.push_back(line.substr(0, line.find_first_of(" =")));
    return calls;
}

std::vector<std::string> Launch_Calls(bool with_drive)
{
    std::vector<std::string> calls = {"W95_Set_Message_Loop_Caller",
                                      "Read_Default_Values_From_Config_File"};
    if (with_drive)
        calls.push_back("Config_Set_CD_Drive");
    calls.insert(calls.end(), {"Play_Win32_Karnoth", "W95_Serve_Message", "callback_returned"});
    return calls;
}

std::vector<std::string> Log_Lines_Of(const std::vector<std::string> &log, const char *name)
{
    std::vector<std::string> lines;
    for (const std::string &line : log)
        if (line.compare(0, strlen(name), name) == 0)
            lines.push_back(line);
    return lines;
}

/* Wine's mount manager: its own requests define and query drive letters
 * (the way winecfg does it), making the dosdevices link and the drive type. */
#define MOUNTMGR_CONTROL_TYPE ((ULONG)'m')
#define IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE                                                        \
    CTL_CODE(MOUNTMGR_CONTROL_TYPE, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS)
#define IOCTL_MOUNTMGR_QUERY_UNIX_DRIVE                                                         \
    CTL_CODE(MOUNTMGR_CONTROL_TYPE, 33, METHOD_BUFFERED, FILE_READ_ACCESS)

struct Mountmgr_Unix_Drive
{
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;
    USHORT device_offset;
    USHORT label_offset;
};

/* The folder that holds the test drives; a drive mounted below it is ours. */
static const char TEST_DRIVES_FOLDER[] = "velmire-test-drives";

static bool Mount_Manager_Request(DWORD code, char *buffer, DWORD in_size, DWORD out_size)
{
    HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    BOOL ok = DeviceIoControl(manager, code, buffer, in_size, out_size ? buffer : NULL, out_size,
                              &got, NULL);
    CloseHandle(manager);
    return ok != 0;
}

static bool Mount_Unix_Drive(char letter, UINT type, const std::string &unix_path)
{
    char buffer[1024] = {};
    Mountmgr_Unix_Drive *drive = (Mountmgr_Unix_Drive *)buffer;
    drive->size = sizeof *drive;
    drive->type = type;
    drive->letter = (WCHAR)letter;
    DWORD size = sizeof *drive;
    if (!unix_path.empty())
    {
        if (unix_path.size() + 1 > sizeof buffer - size)
            return false;
        drive->mount_point_offset = (USHORT)size;
        memcpy(buffer + size, unix_path.c_str(), unix_path.size() + 1);
        size += (DWORD)unix_path.size() + 1;
    }
    return Mount_Manager_Request(IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE, buffer, size, 0);
}

/* Where the drive is mounted on the Unix side; empty when not defined. */
static std::string Mounted_Unix_Path(char letter)
{
    char buffer[1024] = {};
    Mountmgr_Unix_Drive *drive = (Mountmgr_Unix_Drive *)buffer;
    drive->size = sizeof *drive;
    drive->letter = (WCHAR)letter;
    if (!Mount_Manager_Request(IOCTL_MOUNTMGR_QUERY_UNIX_DRIVE, buffer, sizeof *drive,
                               sizeof buffer - 1))
        return "";
    if (!drive->mount_point_offset || drive->mount_point_offset >= sizeof buffer)
        return "";
    return buffer + drive->mount_point_offset;
}

/* The working directory lies on Z:, which Wine maps to the Unix root. */
static std::string Unix_Path(const std::string &windows_path)
{
    std::string path;
    if (windows_path.size() < 2 || toupper((unsigned char)windows_path[0]) != 'Z' ||
        windows_path[1] != ':')
        return path;
    for (size_t i = 2; i < windows_path.size(); ++i)
        path += windows_path[i] == '\\' ? '/' : windows_path[i];
    return path;
}

bool Test_Drive_Define(char letter, Test_Drive_Kind kind)
{
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof here, here);
    std::string folder = std::string(here) + "\\" + TEST_DRIVES_FOLDER;
    CreateDirectoryA(folder.c_str(), NULL);
    folder += std::string("\\") + letter;
    if (kind == CD_EMPTY)
        folder += "-no-disc"; /* never made: the drive has nothing to show */
    else
    {
        CreateDirectoryA(folder.c_str(), NULL);
        CreateDirectoryA((folder + "\\Tamsel").c_str(), NULL);
        std::string marker = folder + "\\Tamsel\\KV_CD.EXE";
        /* The folder may hold an earlier case's disc. */
        if (kind == CD_WITHOUT_MARKER)
            DeleteFileA(marker.c_str());
        else if (!Game_Write_File(marker, "MZ marker"))
            return false;
    }
    std::string unix_path = Unix_Path(folder);
    if (unix_path.empty())
        return false;
    return Mount_Unix_Drive(letter, kind == FIXED_WITH_MARKER ? DRIVE_FIXED : DRIVE_CDROM,
                            unix_path);
}

bool Test_Drive_Remove(char letter)
{
    std::string mounted = Mounted_Unix_Path(letter);
    if (mounted.empty() && Test_Drive_Type(letter) == DRIVE_NO_ROOT_DIR)
        return true;
    if (mounted.find(std::string("/") + TEST_DRIVES_FOLDER + "/") == std::string::npos)
        return false;
    return Mount_Unix_Drive(letter, DRIVE_NO_ROOT_DIR, "");
}

UINT Test_Drive_Type(char letter)
{
    char root[] = "X:\\";
    root[0] = letter;
    return GetDriveTypeA(root);
}
