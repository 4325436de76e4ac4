// Fuzz target: the system's list of renames at the next start, as the registry holds it, may be
// anything another program wrote there: reading it stays inside it. A list of names as the system
// writes it names a source exactly when one of its pairs has it; and a waiting file's name is
// known again, never as a killed run's file. Taking pairs out of it leaves a list the system reads.
#include "Rules/InUseText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    IsScheduledSource(std::string(reinterpret_cast<const char*>(Data), Size), "C:\\a");

    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Names = TakeFields(In, 5);
    for (std::string& Name : Names)
        Name = Name.c_str();   // as the system sees a name: up to a NUL
    const std::string Path = Names[0];
    std::string List;
    bool Named = false;
    for (size_t I = 1; I + 1 < Names.size(); I += 2) {
        if (Names[I].empty())
            break;   // an empty source ends the list
        List += Names[I] + '\0' + Names[I + 1] + '\0';
        Named = Named || UpperAscii(Names[I]) == UpperAscii("\\??\\" + Path);
    }
    Check(IsScheduledSource(List + '\0', Path) == Named, "finds exactly the sources of the pairs");

    // Written back without the pairs of one source, a whole list is whole again, keeps every
    // other pair and loses all of that source's.
    std::string Wide(reinterpret_cast<const char*>(Data), Size), Kept, Again;
    std::string Source = Wide.substr(0, 2);
    int Dropped = DropPendingPairs(Wide, Wide, Source, Kept);
    if (Dropped >= 0) {
        Check(DropPendingPairs(Kept, Kept, Source, Again) == 0 && Again == Kept,
              "no pair of the source stays");
        Check(Kept.size() <= Wide.size() + 2, "the list only shrinks");
    } else {
        Check(Kept.empty(), "a broken list is left alone");
    }

    std::string Waiting = WaitingFileName(Path);
    Check(Path.empty() || (IsWaitingFileName(Waiting) && !IsTempFileName(Waiting)),
          "a waiting name is one");
    return 0;
}
