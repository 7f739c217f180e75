// Helpers shared by the settings store tests (see store_test_support.h).
#include "store_test_support.h"

#include "config_store.h"
#include "config_store_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace store_test
{

const char kFile[] = "tamsel/config.dat";
const char kTemp[] = "tamsel/config.new";

bool Exists(const char *path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void Put(const char *path, const std::string &bytes)
{
    std::FILE *file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

std::string Get(const char *path)
{
    std::string bytes;
    std::FILE *file = std::fopen(path, "rb");
    if (!file)
        return "<missing>";
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    return bytes;
}

void MakeDir(const char *path)
{
#ifdef _WIN32
    ASSERT_NE(CreateDirectoryA(path, nullptr), 0) << path;
#else
    ASSERT_EQ(mkdir(path, 0777), 0) << path;
#endif
}

std::vector<std::string> List(const char *dir)
{
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    std::string pattern = std::string(dir) + "\\*";
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
#else
    if (DIR *d = opendir(dir))
    {
        while (dirent *entry = readdir(d))
            names.push_back(entry->d_name);
        closedir(d);
    }
#endif
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string &n) { return n == "." || n == ".."; }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}

#ifdef _WIN32
void CheckTodoWine(bool passed, const char *condition, const std::string &what, const char *file,
                   int line)
{
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
    {
        if (!passed)
            ADD_FAILURE_AT(file, line) << condition << " is false: " << what;
        return;
    }
    if (passed)
        ADD_FAILURE_AT(file, line) << condition << " passed on Wine, where it is marked as a "
                                   << "known difference: remove the mark";
    else
        std::printf("%s:%d: known difference of Wine (todo_wine): %s\n", file, line, what.c_str());
}
#endif

Read ReadKey(const char *key)
{
    Read read = {0, kPreset};
    read.found = Config_Read_Setting(key, read.value);
    return read;
}

void StoreTest::SetUp()
{
    home_ = std::filesystem::current_path().string();
#ifdef _WIN32
    char base[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, base), 0u);
    for (unsigned n = 0; work_.empty(); ++n)
    {
        std::string name = std::string(base) + "store_test_" + std::to_string(GetCurrentProcessId()) +
                           "_" + std::to_string(GetTickCount()) + "_" + std::to_string(n);
        if (CreateDirectoryA(name.c_str(), nullptr))
            work_ = name;
        ASSERT_LT(n, 1000u) << "no temporary folder";
    }
    ASSERT_EQ(_chdir(work_.c_str()), 0);
#else
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/store_test.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    work_ = name.data();
    ASSERT_EQ(chdir(work_.c_str()), 0);
#endif
    MakeDir("tamsel");
}

void StoreTest::TearDown()
{
    std::error_code error;
    std::filesystem::current_path(home_, error);
    if (!work_.empty())
    {
        // Read-only files would stop the removal on Windows.
        for (auto &entry : std::filesystem::recursive_directory_iterator(work_, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(work_, error);
    }
}

} // namespace store_test
