#include "Tools/infcheck/Medium.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "Rules/CaseText.h"
#include "Rules/InfReader.h"
#include "Rules/PathMatch.h"

namespace fs = std::filesystem;

namespace {

// The entry of Dir whose name is Name in any letter case; empty when there is none. A native
// medium is often a copy whose names differ in case from the script's.
fs::path FindEntry(const fs::path& Dir, const std::string& Name)
{
    std::error_code Error;
    if (Name.empty() || Name == ".")
        return Dir;
    if (Name == "..")
        return Dir / "..";
    for (fs::directory_iterator It(Dir, Error), End; !Error && It != End; It.increment(Error))
        if (SameText(It->path().filename().string(), Name))
            return It->path();
    return fs::path();
}

// Path below Dir, each part found in any letter case; empty when a part is missing.
fs::path FindPath(const fs::path& Dir, const std::string& Path)
{
    fs::path At = Dir;
    size_t Begin = 0;
    while (Begin <= Path.size() && !At.empty()) {
        size_t End = std::min(Path.find_first_of("\\/", Begin), Path.size());
        At = FindEntry(At, Path.substr(Begin, End - Begin));
        Begin = End + 1;
    }
    return At;
}

}   // namespace

bool TFolderMedium::Matches(const std::string& SubDir, const std::string& Pattern) const
{
    fs::path Folder = FindPath(Dir, SubDir);
    std::error_code Error;
    if (Folder.empty())
        return false;
    for (fs::directory_iterator It(Folder, Error), End; !Error && It != End; It.increment(Error))
        if (WildcardMatch(Pattern, It->path().filename().string()))
            return true;
    return false;
}

bool TFolderMedium::FileExists(const std::string& Path, bool& HasVersion) const
{
    fs::path File = FindPath(Dir, Path);
    std::error_code Error;
    if (File.empty() || !fs::is_regular_file(File, Error))
        return false;
    // A version resource holds its key "VS_VERSION_INFO" in UTF-16.
    std::ifstream In(File, std::ios::binary);
    std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    const std::string Key("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30);
    HasVersion = Bytes.compare(0, 2, "MZ") == 0 && Bytes.find(Key) != std::string::npos;
    return true;
}

std::vector<std::string> TFolderMedium::SignedScripts() const
{
    std::vector<std::string> Names;
    std::error_code Error;
    for (fs::directory_iterator It(Dir, Error), End; !Error && It != End; It.increment(Error)) {
        std::string Name = It->path().filename().string();
        if (!WildcardMatch("*.INF", Name) || !fs::is_regular_file(It->path(), Error))
            continue;
        std::ifstream In(It->path(), std::ios::binary);
        TInfFile File = ReadInfText(
            std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>()));
        const TInfSection* Version = FindSection(File, "Version");
        const TInfLine* FormKv = Version ? FindKey(*Version, "FormKv") : nullptr;
        if (FormKv && CarriesSignature(FormKv->Value))
            Names.push_back(Name);
    }
    std::sort(Names.begin(), Names.end());
    return Names;
}

std::vector<TListedEntry> TFolderMedium::List(const std::string& SubDir) const
{
    std::vector<TListedEntry> Entries;
    fs::path Folder = FindPath(Dir, SubDir);
    std::error_code Error, KindError;
    if (Folder.empty())
        return Entries;
    for (fs::directory_iterator It(Folder, Error), End; !Error && It != End; It.increment(Error))
        Entries.push_back({It->path().filename().string(), It->is_directory(KindError)});
    // The order of a directory listing differs between file systems; findings must not.
    std::sort(Entries.begin(), Entries.end(),
              [](const TListedEntry& A, const TListedEntry& B) { return A.Name < B.Name; });
    return Entries;
}
