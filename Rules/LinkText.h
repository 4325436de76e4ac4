// Text rules of link lines ([SetMnuLNK] and the sections that ErrSection names) that need no
// system call: the fields, the link file's path, the icon index and the rundll rule.
#pragma once
#include <cstdint>
#include <string>

// The fields of an expanded link line. An absent field is empty.
struct TLinkLine {
    std::string Name;           // 1: link name, maybe with a directory; as written
    std::string RawTarget;      // 2 after its leading blanks, quotes still on
    std::string RawArguments;   // 3 likewise
    std::string Target;         // 2 dequoted
    std::string Arguments;      // 3 dequoted
    std::string IconFile;       // 4 after its leading blanks, dequoted
    std::string IconIndex;      // 5 as written
    std::string WorkDir;        // 6 dequoted
};

// Splits Line into its fields, each ending where FieldEnd says. False when no comma follows the
// link name: the line has no target.
bool SplitLinkLine(const std::string& Line, TLinkLine& Fields);

// Where the link of Name goes: into the directory part of Name when it has one (up to its last
// backslash or colon), else into LinkDir; ".LNK" is always appended.
std::string LinkFilePath(const std::string& Name, const std::string& LinkDir);

// The icon index of field 5: a decimal integer, blanks around it allowed. Empty text, any other
// text and numbers beyond 32 bits give 0.
int32_t IconIndexOf(const std::string& Text);

// A target starting with "rundll" and arguments that are a quoted DLL path holding a blank
// (their first comma comes after their first blank): the DLL and the working directory need
// care, or rundll would split the path at the blank.
bool IsRundllCase(const TLinkLine& Fields);

// The arguments and working directory of a rundll link. Without a blank in the arguments' file
// name part and without a working directory, the link starts in the DLL's directory and names
// the DLL alone; then ShortDll is false. Otherwise ShortDll is true: the caller puts the 8.3 form
// of DllPath (the text before the arguments' first comma) in front of Arguments (the rest, from
// that comma on).
struct TRundllLink {
    bool ShortDll;
    std::string DllPath;
    std::string Arguments;
    std::string WorkDir;
};
TRundllLink RundllLink(const TLinkLine& Fields);
