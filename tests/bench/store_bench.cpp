// Benchmark of the settings store: storing gfxsetup's four keys into settings
// files of 1 KB to 1 MB, beside a raw read-and-write copy of the same file,
// which is the least a rewrite can cost, and the same copy put on the disk
// (fsync) as the store puts its new file.
#include "config_store.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const char *const kKeys[] = {"RENDERING_PLATFORM", "D3D_ALLOW_MIPMAP", "D3D_ALLOW_PALETTISED",
                             "D3D_TYPE1_SHADOWS"};

// Other entries up to the size, then the four keys last, as gfxsetup leaves them.
void Make_Settings_File(long size)
{
    std::string tail;
    for (const char *key : kKeys)
        tail += std::string(key) + " 1\r\n";
    std::string text;
    char line[40];
    for (int n = 0; static_cast<long>(text.size() + tail.size()) < size; ++n)
    {
        std::snprintf(line, sizeof line, "OPTION_%05d %d\r\n", n, n % 1000);
        text += line;
    }
    text += tail;
    std::FILE *file = std::fopen("tamsel/config.dat", "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0)
        std::abort();
}

void BM_Store(benchmark::State &state)
{
    Make_Settings_File(state.range(0));
    int next = 0;
    for (auto _ : state)
    {
        Config_Write_Setting(kKeys[next], 1);
        next = (next + 1) % 4;
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void Raw_Copy(benchmark::State &state, bool flush)
{
    Make_Settings_File(state.range(0));
    static char buffer[5120];
    for (auto _ : state)
    {
        std::FILE *from = std::fopen("tamsel/config.dat", "rb");
        std::FILE *to = std::fopen("tamsel/copy.dat", "wb");
        if (!from || !to)
            std::abort();
        size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, from)) > 0)
            std::fwrite(buffer, 1, count, to);
        if (flush && (std::fflush(to) != 0 || fsync(fileno(to)) != 0))
            std::abort();
        std::fclose(from);
        std::fclose(to);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Raw_Copy(benchmark::State &state)
{
    Raw_Copy(state, false);
}

void BM_Raw_Copy_Flushed(benchmark::State &state)
{
    Raw_Copy(state, true);
}

void BM_Read(benchmark::State &state)
{
    Make_Settings_File(state.range(0));
    int32_t value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Config_Read_Setting("D3D_TYPE1_SHADOWS", value));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

#define SIZES Arg(1 << 10)->Arg(5 << 10)->Arg(64 << 10)->Arg(1 << 20)
BENCHMARK(BM_Store)->SIZES;
BENCHMARK(BM_Raw_Copy)->SIZES;
BENCHMARK(BM_Raw_Copy_Flushed)->SIZES;
BENCHMARK(BM_Read)->SIZES;

} // namespace

// The store works in the working folder: run in a fresh temporary one.
int main(int argc, char **argv)
{
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/store_bench.XXXXXX";
    if (!mkdtemp(&pattern[0]) || chdir(pattern.c_str()) != 0 || mkdir("tamsel", 0777) != 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove("tamsel/config.dat");
    std::remove("tamsel/copy.dat");
    std::remove("tamsel");
    if (chdir("/") == 0)
        std::remove(pattern.c_str());
    return 0;
}
