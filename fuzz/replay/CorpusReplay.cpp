// Replays the stored fuzz corpus: each file of <corpus>\<target>\ goes to that target's
// LLVMFuzzerTestOneInput, compiled here under the name Fuzz_<target>. A broken invariant or a
// crash ends the program with the input's name; a target without inputs fails too, so that a
// corpus that went missing does not pass as a clean one.
#include <windows.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_TARGET(Name) extern "C" int Fuzz_##Name(const uint8_t* Data, size_t Size);
#include "FuzzTargets.inc"
#undef FUZZ_TARGET

struct TFuzzTarget {
    const char* Name;
    int (*Entry)(const uint8_t* Data, size_t Size);
};

static const TFuzzTarget Targets[] = {
#define FUZZ_TARGET(Name) {#Name, Fuzz_##Name},
#include "FuzzTargets.inc"
#undef FUZZ_TARGET
};

static std::string Current;   // the input being replayed, for the report of a failure

static void OnAbort(int)
{
    std::fprintf(stderr, "failed on %s\n", Current.c_str());
    std::fflush(stderr);
    std::_Exit(3);
}

static bool ReadWhole(const std::string& Path, std::vector<uint8_t>& Bytes)
{
    FILE* File = std::fopen(Path.c_str(), "rb");
    if (File == nullptr)
        return false;
    Bytes.clear();
    uint8_t Block[4096];
    size_t Got;
    while ((Got = std::fread(Block, 1, sizeof Block, File)) > 0)
        Bytes.insert(Bytes.end(), Block, Block + Got);
    bool Ok = !std::ferror(File);
    std::fclose(File);
    return Ok;
}

// Feeds every file of Dir to Target; the number of inputs, or -1 when one can't be read.
static int ReplayFolder(const TFuzzTarget& Target, const std::string& Dir)
{
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA((Dir + "\\*").c_str(), &Found);
    if (Find == INVALID_HANDLE_VALUE)
        return 0;
    int Count = 0;
    std::vector<uint8_t> Bytes;
    do {
        if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        Current = Dir + "\\" + Found.cFileName;
        if (!ReadWhole(Current, Bytes)) {
            Count = -1;
            break;
        }
        // The fuzzer never passes a null pointer, not even for no bytes.
        Target.Entry(Bytes.empty() ? reinterpret_cast<const uint8_t*>("") : Bytes.data(),
                     Bytes.size());
        ++Count;
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
    return Count;
}

int main(int Argc, char** Argv)
{
    if (Argc != 2) {
        std::fprintf(stderr, "usage: FuzzCorpusReplay <corpus folder>\n");
        return 2;
    }
    std::signal(SIGABRT, OnAbort);
    int Failures = 0;
    for (const TFuzzTarget& Target : Targets) {
        int Count = ReplayFolder(Target, std::string(Argv[1]) + "\\" + Target.Name);
        if (Count < 0)
            std::fprintf(stderr, "%s: can't read %s\n", Target.Name, Current.c_str());
        else if (Count == 0)
            std::fprintf(stderr, "%s: no inputs\n", Target.Name);
        else
            std::printf("%s: %d inputs\n", Target.Name, Count);
        Failures += Count <= 0;
    }
    return Failures == 0 ? 0 : 1;
}
