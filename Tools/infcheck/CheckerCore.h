// The checker's core, which every check shares: the script's sections as the profile functions
// show them, the findings, and the facts that one check gathers for the later ones. Each check
// is a routine of its concern's file; TChecker::Run calls them in the installer's order.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "Rules/Capacities.h"
#include "Rules/UninstallText.h"
#include "Tools/infcheck/Checker.h"

// The steps of the run that matter for variables, in their order.
enum TStep {
    stRegRead = 5,   // first pass; read again in step 11 with everything above
    stStrings = 6,   // first pass; the path dialog proposes MyProgramPath from it in step 7
    stPathDialog = 7,
    stProgramPath = 8,   // MyProgramPath set
    stInfCopy = 10,      // InfPath, ProjectVersion, rundll, setupx set
    stRegReadAgain = 11,
    stStringsAgain = 12,
    stRegWrite = 13,   // [RegWrite] and the links of its ErrSection
    stUninstallEntry = 14,
    stFiles = 16,
    stLinks = 17,   // MyStartMenu and MenuPath set just before
    stIniWrite = 18,
    stNever = 1000,
};

// The variables that SETUP.EXE sets once the script is copied (step 10 of the run).
const char* const InfCopyVariables[] = {"InfPath", "ProjectVersion", "rundll", "setupx"};
// The longest path of a link file that the system writes.
const size_t LinkPathLimit = SystemPathSize - 1;

// Whether all lines of the section are Key=Value for SETUP.EXE.
bool IsKeyValueSection(const std::string& Name);

// A section as the profile functions show it: the first of its name, each key's first line.
struct TSectionIndex {
    const TInfSection* Section = nullptr;
    std::vector<const TInfLine*> Keys;   // the first line of each key, in file order
    std::unordered_map<std::string, const TInfLine*> ByName;
};

// The ErrSection of [RegWrite] or [RegWriteUninstall]: its line, and the step of the run in which
// the links of the section it names stand in for a registry line that could not be written.
struct TErrSection {
    const TInfLine* Line;
    int Step;
};

// What [Files] installs, as the medium shows it: a file or a folder Name in the destination
// folder Dir (as written, with the subfolders below it).
struct TInstalled {
    const TInfLine* Line;
    std::string Dir;
    std::string Name;
    bool Folder;
    std::string Where;   // Dir\Name expanded with the sample values, folded
};

class TChecker {
public:
    TChecker(const TInfFile& File, const TCheckOptions& Options) : File(File), Options(Options) {}
    std::vector<TFinding> Run();

    const TInfFile& File;
    const TCheckOptions& Options;

    void Add(int Line, TSeverity Severity, const std::string& Text, const char* Check);
    const TSectionIndex* Find(const std::string& Name) const;
    const TInfLine* Key(const std::string& Section, const std::string& Name) const;
    // The first lines of a section's keys; none when the section is missing.
    const std::vector<const TInfLine*>& Keys(const std::string& Section) const;
    // The ErrSections that the script gives, [RegWrite]'s first.
    std::vector<TErrSection> ErrSections() const;
    // Text expanded with the sample values of the variables.
    std::string Expanded(const std::string& Text) const;
    // As SETUP.EXE sets a variable: a value the system can't take is not set at all.
    void SetSample(const std::string& Name, const std::string& Value);

    // Facts of the script, each gathered by one check for the later ones.
    std::unordered_set<std::string> NamedSections;   // folded names
    std::string UninstallSection;   // named by the uninstall command; empty when none
    std::string UninstallCommand;   // the UninstallString as written
    // The sections that the system's INF engine carries out to uninstall, as the script spells
    // them: the one the command names and [DefaultUninstall], those that the script has.
    std::vector<std::string> EngineSections;
    std::unordered_map<std::string, std::string> Sample;   // folded variable name
    std::vector<TInstalled> Installed;
    // Each [Files] line with its destination folder, expanded and folded like Where.
    std::vector<std::pair<const TInfLine*, std::string>> Destinations;

private:
    std::vector<TFinding> Findings;
    std::unordered_map<std::string, TSectionIndex> Sections;   // by folded name

    void IndexSections();
};

// A kind of line that the installer takes apart: its rule, and the finding (an error under
// Check) for a line that the rule can't take apart.
template <class TFields> struct TLineKind {
    bool (*Split)(const std::string& Line, TFields& Fields);
    const char* Syntax;
    const char* Check;
};

// Takes Line's value apart as Kind says; a line that it can't take apart is reported and gives
// false.
template <class TFields> bool SplitOrReport(TChecker& Checker, const TInfLine& Line,
                                            const TLineKind<TFields>& Kind, TFields& Fields)
{
    if (Kind.Split(Line.Value, Fields))
        return true;
    Checker.Add(Line.Line, svError, Kind.Syntax, Kind.Check);
    return false;
}

// CheckSections.cpp: the signature, the sections and the names of their keys.
void CheckSignature(TChecker& Checker);
void CollectNamedSections(TChecker& Checker);
void CheckSections(TChecker& Checker);

// CheckOptions.cpp: the values of [Options].
void CheckOptions(TChecker& Checker);

// CheckProduct.cpp: the product that /bundle names in the bundle's version resource.
void CheckProduct(TChecker& Checker);

// CheckRegistry.cpp: the lines that SETUP.EXE writes into the registry and INI files, and reads
// from the registry.
void CheckRegRead(TChecker& Checker);
void CheckRegWrite(TChecker& Checker, const std::string& Section);
void CheckIniWrite(TChecker& Checker);

// CheckFiles.cpp: [Files] destinations and the files of the medium.
void CheckFiles(TChecker& Checker);
void CheckMedium(TChecker& Checker);
void CheckLiteralNames(TChecker& Checker);
void CollectInstalled(TChecker& Checker);
bool InstalledByFiles(const TChecker& Checker, const std::string& Path, bool& ByKey);

// CheckLinks.cpp: link lines and their targets.
void CheckLinks(TChecker& Checker, const std::string& Section);
void CheckLinkTargets(TChecker& Checker, const std::string& Section, int Step);

// CheckVariables.cpp: %NAME% references and the [Strings] names that SETUP.EXE treats apart.
void CheckVariables(TChecker& Checker);
void CheckStringsKeys(TChecker& Checker);
void CheckEmptyStringsValues(TChecker& Checker);

// CheckLimits.cpp: the sample values of the variables, and the lengths they give.
void CheckLimits(TChecker& Checker);

// CheckUninstall.cpp: the uninstall entry, and what the uninstallation leaves behind.
void CheckUninstallEntry(TChecker& Checker);
void CheckUninstallCompleteness(TChecker& Checker);

// CheckVendorFolder.cpp: the folders above the installation folder that the run makes.
void CheckVendorFolder(TChecker& Checker);

// CheckEngine.cpp: the uninstall sections as the system's INF engine reads them.
void CheckUninstallSection(TChecker& Checker);

// CheckProfile.cpp: the HKCU values and links that a run as SYSTEM puts into SYSTEM's profile.
void CheckSystemProfile(TChecker& Checker);
