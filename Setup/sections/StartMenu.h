// The program's start-menu folder and its shell links: [SetMnuLNK], and the link sections that
// stand in for a registry section that could not be written (ErrSection).
#pragma once
#include <string>

// Settles the start-menu folder (the variable MyStartMenu, else the user's Programs folder and
// [Strings] LnkName), records it as MyStartMenu in the environment and in [Strings] of
// TargetInf, and creates the links of [SetMnuLNK] of SourceInf in it. Each link that failed
// adds 1 to ErrorCount. Ends the run when a given MyStartMenu can be neither created nor
// replaced by the Programs folder.
void SetStartMenuLinks(const std::string& TargetInf, const std::string& SourceInf, bool UseSetupx);

// The user's Programs folder + "\" + [Strings] LnkName of InfPath, into Folder; published as
// MenuPath in the environment and in [Strings] of InfPath. 0, or -1 after showing and logging
// why it failed.
int LocateProgramsMenu(std::string& Folder, const std::string& InfPath);

// Creates a link for each line of Section of InfPath, in LinkDir unless the line's name has a
// directory of its own; LinkDir may be empty. Returns the number of failures; a line without a
// target or a link that can't be written ends the section.
int CreateSectionLinks(const std::string& Section, const std::string& LinkDir,
                       const std::string& InfPath);
