// Fuzz target: the layout rules of a bundle. The PE reader takes any bytes (a download may be
// anything) and must stay inside them; names and records that pass are safe inside the folder a
// bundle unpacks into; a trailer comes back as written.
#include "Rules/BundleText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    // The bytes as the head of a program file of some length at least that long.
    std::vector<char> Head(Data, Data + Size);
    uint64_t FileSize = Size + (Size > 0 ? Data[0] : 0) * 4096u;
    TPeLayout Layout = ReadPeLayout(Head.data(), Head.size(), FileSize);
    Check(Layout.ImageEnd <= FileSize && Layout.DataEnd <= FileSize, "ends within the file");
    Check(Layout.DataEnd == FileSize || Layout.DataEnd >= Layout.ImageEnd,
          "a signature after the image");
    Check(Layout.DirectoryAt == 0 || Layout.DirectoryAt + 8 <= Size, "directory within the head");

    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Fields = TakeFields(In, 2);
    const std::string Path = Fields[0].c_str();   // as the system sees a name: up to a NUL
    std::string Parts = "\\" + Path + "\\";
    if (IsSafeMediumPath(Path.c_str()))
        Check(Parts.find("\\..\\") == std::string::npos && Parts.find("\\.\\") == std::string::npos,
              "no parent or same folder part");
    if (IsSafeMediumPath(Path.c_str()))
        Check(Path.find_first_of(":/") == std::string::npos && Path[0] != '\\' &&
                  Path.back() != '\\',
              "relative, backslashes, no empty part at the ends");
    TMediumRecord Record = {};
    std::memcpy(Record.Path, Path.data(), std::min(Path.size(), sizeof Record.Path));
    if (IsSafeMediumRecord(Record))
        Check(std::memchr(Record.Path, '\0', sizeof Record.Path) != nullptr, "an ended path");

    TBundleTrailer Out = {FileSize, Size, uint32_t(Size), Crc32(0, Data, Size)}, Back;
    std::string Bytes = EncodeBundleTrailer(Out);
    Check(Bytes.size() == BundleTrailerSize && DecodeBundleTrailer(Bytes.data(), Back) &&
              Back.PayloadSize == Out.PayloadSize && Back.Crc == Out.Crc,
          "the trailer comes back");
    Check(Crc32(Crc32(0, Data, Size / 2), Data + Size / 2, Size - Size / 2) == Out.Crc,
          "the checksum in parts");

    std::string OutArg, Bad;
    bool Quiet;
    std::vector<std::string> Args = {Fields[0], Fields[1]};
    if (ParseBundleArgs(Args, OutArg, Quiet, Bad) && Bad.empty())
        Check(!OutArg.empty(), "a bundle to write");
    return 0;
}
