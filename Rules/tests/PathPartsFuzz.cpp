// Fuzz target: a path's parts, checked by round trips between them and by what each may hold.
#include "Rules/PathParts.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static bool EndsWith(const std::string& Text, const std::string& Tail)
{
    return Text.size() >= Tail.size() &&
           Text.compare(Text.size() - Tail.size(), Tail.size(), Tail) == 0;
}

static void CheckBackslash(const std::string& Path)
{
    std::string Added = Path;
    AddTrailingBackslash(Added);
    Check(!Added.empty() && Added.back() == '\\', "a backslash at the end");
    std::string Twice = Added;
    AddTrailingBackslash(Twice);
    Check(Twice == Added, "adding a backslash is idempotent");
    DropOneTrailingBackslash(Added);
    bool HadOne = !Path.empty() && Path.back() == '\\';
    Check(Added == (HadOne ? Path.substr(0, Path.size() - 1) : Path), "drop undoes add");
    std::string All = Added;
    DropAllTrailingBackslashes(All);
    Check((All.empty() || All.back() != '\\') && Path.compare(0, All.size(), All) == 0 &&
              Path.find_first_not_of('\\', All.size()) == std::string::npos,
          "dropping all leaves the path up to its run of trailing backslashes");
}

static void CheckPaths(const std::string& Dir, const std::string& Name)
{
    std::string Part = DirectoryPart(Dir);
    Check(Part.empty() || Part.back() == '\\', "directory part ends in a backslash");
    Check(Part + FileNamePart(Dir) == Dir, "directory part and file name rebuild the path");
    Check(Dir.find('\\', Part.size()) == std::string::npos, "up to the last backslash");

    std::string FileName = UpperAscii(FileNamePart(Name));
    Check(HasInfExtension(Name) == EndsWith(FileName, ".INF"), "file name ends in .inf");

    std::string Joined = JoinPath(Dir, Name);
    Check(Joined.compare(0, Dir.size(), Dir) == 0 && EndsWith(Joined, Name), "dir, then name");
    if (Name.find('\\') == std::string::npos)
        Check(DirectoryPart(Joined) == (EndsWith(Dir, "\\") ? Dir : Dir + "\\"),
              "the joined path's directory is Dir");
}

static void CheckDevicePath(const std::string& DevicePath)
{
    std::string First = FirstDevicePath(DevicePath);
    size_t Start = DevicePath.find_first_not_of(';');
    Check(First.empty() == (Start == std::string::npos), "empty only when only separators");
    if (!First.empty()) {
        Check(First.find(';') == std::string::npos, "one directory");
        Check(DevicePath.compare(Start, First.size(), First) == 0, "the first entry");
        size_t After = Start + First.size();
        Check(After == DevicePath.size() || DevicePath[After] == ';', "the whole entry");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TFuzzBytes In = {Data, Size};
    std::vector<std::string> Fields = TakeFields(In, 2);
    for (const std::string& Text : Fields) {
        CheckBackslash(Text);
        CheckDevicePath(Text);
    }
    CheckPaths(Fields[0], Fields[1]);
    CheckPaths(Fields[1], Fields[0]);
    return 0;
}
