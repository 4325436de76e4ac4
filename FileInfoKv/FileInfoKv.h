#pragma once

#include <cstdint>
#include <string>

// What the version resource of the file read last declares. The numbers are those of the product
// version, not of the file version.
struct TVersionInfo {
    uint16_t Major;            // high word of the product version's most significant part
    uint16_t Minor;            // low word of it
    uint16_t Release;          // high word of the product version's least significant part
    uint16_t Build;            // low word of it
    std::string Translation;   // first translation entry, code page then language: "04E40409"
    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string InternalName;
    std::string LegalCopyright;
    std::string OriginalFilename;
    std::string ProductName;
    std::string ProductVersion;
    std::string Comments;   // declared for callers' use; nothing here fills or reads them
    std::string LegalTrademarks;
    std::string PrivateBuild;
};

// Each read overwrites only what the new file provides: a string item or translation table that
// the new file lacks keeps the value of an earlier read.
extern TVersionInfo VersionInfo;

// Whether the file read last with version information had a translation table of its own; when
// not, VersionInfo.Translation is an earlier file's.
extern bool TranslationFound;

// Reads the version resource of FileName, a full path, or of the program's own file when FileName
// is null. Returns the version value and fills VersionText and VersionInfo; without usable
// version information returns -1, leaves VersionText empty and VersionInfo as it was.
int64_t ReadVersionInfo(const char* FileName, std::string& VersionText);

// Kind values of GetFileDate.
const int fdCreation = 1;
const int fdLastAccess = 2;
const int fdLastWrite = 3;

// Gives the file time that Kind selects, exactly as stored (UTC), and as text: the system's short
// date, a blank and its long time, at the 2-second resolution of the DOS form, the time left out
// at midnight; times the DOS form can't hold (before 1980, after 2107) are shown as they are at
// the same resolution. A file that can't be opened (missing, or being written by someone) gives
// FileTime 0 and an empty text, and so does an unknown Kind.
void GetFileDate(const char* FileName, int Kind, int64_t& FileTime, std::string& DateText);

// The text GetFileDate gives for a file time, for callers that read the time themselves.
std::string FileTimeText(int64_t FileTime);
