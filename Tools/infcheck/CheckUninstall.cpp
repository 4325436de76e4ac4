// The uninstall entry that [RegWriteUninstall] writes, and whether the uninstall section removes
// everything that the installation leaves: files, links, registry values, INI entries, and the
// installer's own log and script.
#include "Tools/infcheck/CheckerCore.h"

#include <unordered_set>

#include "Rules/CaseText.h"
#include "Rules/EngineText.h"
#include "Rules/FilesText.h"
#include "Rules/InUseText.h"
#include "Rules/IniWriteText.h"
#include "Rules/LinkText.h"
#include "Rules/LogFileName.h"
#include "Rules/OptionsText.h"
#include "Rules/PathMatch.h"
#include "Rules/PathParts.h"
#include "Rules/ReferenceText.h"
#include "Rules/RegSyntax.h"
#include "Rules/RegWriteText.h"
#include "Rules/UninstallText.h"

namespace {

const std::string UninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The same key as a 64-bit program sees it: SETUP.EXE, a 32-bit program, writes there.
const std::string UninstallKey64 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A later run looks for the earlier installation below the first line's subkey, in HKLM: true
// when First writes there, with a subkey as written (SubKey).
bool CheckEntryKey(TChecker& Checker, const TInfLine* First, std::string& SubKey)
{
    if (!First || !LineSubKey(First->Value, SubKey))
        return false;
    TRegWriteLine Fields;
    bool Split = SplitRegWriteLine(First->Value, Fields);
    if (HasReference(SubKey)) {
        Checker.Add(First->Line, svError,
                    "the first line's subkey holds a variable: a later run takes it as written, "
                    "so write it out",
                    "uninstall-entry");
        return false;
    }
    if (!StartsWithText(SubKey, UninstallKey) || SubKey.size() == UninstallKey.size() ||
        (Split && ScanRootKey(Fields.Root.c_str()) != rkHKLM)) {
        Checker.Add(First->Line, svError,
                    "the first line must write below HKLM\\" + UninstallKey +
                        "<Id>: a later run looks for the earlier installation there",
                    "uninstall-entry");
        return false;
    }
    return true;
}

// The uninstall command: where it is written, the script it names and the section it runs.
// EntryKey is the subkey of the first line when a later run finds it, else empty.
void CheckCommand(TChecker& Checker, const TInfLine* Command, const TRegWriteLine& Fields,
                  const TInfLine* First, const std::string& EntryKey)
{
    // A later run reads UninstallString below the first line's subkey, in HKLM, and nowhere else.
    std::string CommandKey;
    if (!EntryKey.empty() && Command != First && LineSubKey(Command->Value, CommandKey) &&
        !HasReference(CommandKey) && !HasReference(Fields.Root) &&
        RegistryItem("HKLM", EntryKey, "") != RegistryItem(Fields.Root, CommandKey, ""))
        Checker.Add(Command->Line, svError,
                    "UninstallString is written to " + Fields.Root + "\\" + CommandKey +
                        ", but a later run reads it below the first line's key HKLM\\" + EntryKey +
                        ": it does not find this installation",
                    "uninstall-entry");
    std::string Expected = "%InfPath%\\" + Checker.Options.ScriptName;
    if (!SameText(UninstallInfPath(Fields.Value), Expected))
        Checker.Add(Command->Line, svError,
                    "UninstallString must end with the installed script's path " + Expected +
                        ": a later run takes the earlier installation's script from there",
                    "uninstall-entry");
    const std::string& Section = Checker.UninstallSection;
    if (Section.empty())
        Checker.Add(Command->Line, svError,
                    "UninstallString runs no section: name one after InstallHinfSection, or "
                    "after the script's path behind LaunchINFSection",
                    "uninstall-entry");
    else if (!Checker.Find(Section))
        Checker.Add(Command->Line, svError,
                    "UninstallString names [" + Section + "], which the script does not have",
                    "missing-section");
}

// What the uninstall section removes: files by folder (as written in [DestinationDirs], folded)
// and name, and registry keys and values.
struct TRemoved {
    std::unordered_set<std::string> Files;   // folded "folder\name"
    std::vector<std::string> Keys;           // folded "ROOT\subkey" or "ROOT\subkey\\valuename"
    bool UpdatesInis = false;
};

// The files of a DelFiles list, in the folder that [DestinationDirs] gives it.
void CollectDelFiles(const TChecker& Checker, const std::string& List, TRemoved& Removed)
{
    const TInfLine* Dir = Checker.Key("DestinationDirs", List);
    if (!Dir)
        Dir = Checker.Key("DestinationDirs", "DefaultDestDir");
    std::string Folder = Dir ? DestinationFolder(Dir->Value) : "";
    if (const TSectionIndex* Index = Checker.Find(List))
        for (const TInfLine& Name : Index->Section->Lines)
            Removed.Files.insert(Folder + "\\" +
                                 FoldedText(EngineText(Name.Key.substr(0, Name.Key.find(',')))));
}

TRemoved CollectRemoved(const TChecker& Checker)
{
    TRemoved Removed;
    for (const TInfLine* Line : Checker.Keys(Checker.UninstallSection)) {
        if (SameText(Line->Key, "UpdateInis"))
            Removed.UpdatesInis = true;
        for (const std::string& List : NameList(Line->Value)) {
            if (SameText(Line->Key, "DelFiles")) {
                CollectDelFiles(Checker, List, Removed);
                continue;
            }
            const TSectionIndex* Index = Checker.Find(List);
            if (!SameText(Line->Key, "DelReg") || !Index)
                continue;
            for (const TInfLine& Reg : Index->Section->Lines) {
                TDelRegLine Fields;
                if (SplitDelRegLine(Reg.HasEquals ? Reg.Key + "=" + Reg.Value : Reg.Key, Fields))
                    Removed.Keys.push_back(
                        RegistryItem(Fields.Root, Fields.SubKey, Fields.ValueName));
            }
        }
    }
    return Removed;
}

bool FileRemoved(const TRemoved& Removed, const std::string& Folder, const std::string& Name)
{
    std::string Folded = FoldedText(Folder);
    DropAllTrailingBackslashes(Folded);
    return Removed.Files.count(Folded + "\\" + FoldedText(Name)) > 0;
}

// Whether a DelReg line removes the value (or the key below which it lies).
bool KeyRemoved(const TRemoved& Removed, const std::string& Key, const std::string& Value)
{
    for (const std::string& Item : Removed.Keys)
        if (Item == Value || (IsAtOrBelow(Key, Item) && Item.find("\\\\") == std::string::npos))
            return true;
    return false;
}

void Missing(TChecker& Checker, const TInfLine* Line, const std::string& What)
{
    Checker.Add(Line->Line, svWarning,
                What + " is installed, but [" + Checker.UninstallSection + "] does not remove it",
                "uninstall-incomplete");
}

// Whether a [Files] key names its files by a pattern, whose files only the medium tells.
bool IsPatternKey(const TFilesKey& Key)
{
    return Key.Pattern.find_first_of("*?") != std::string::npos || Key.Recursive;
}

void CheckFilesRemoved(TChecker& Checker, const TRemoved& Removed)
{
    for (const TInfLine* Line : Checker.Keys("Files")) {
        TFilesKey Key = SplitFilesKey(Line->Key);
        if (IsPatternKey(Key))
            continue;   // which files a pattern takes, only the medium tells
        std::string Folder = Line->Value.empty() ? "%MyProgramPath%" : Line->Value;
        if (!FileRemoved(Removed, Folder, Key.Pattern))
            Missing(Checker, Line, "the file " + Folder + "\\" + Key.Pattern);
    }
    for (const TInstalled& Item : Checker.Installed) {
        if (IsPatternKey(SplitFilesKey(Item.Line->Key)) && !Item.Folder &&
            !FileRemoved(Removed, Item.Dir, Item.Name))
            Missing(Checker, Item.Line,
                    "the file " + Item.Dir + "\\" + Item.Name + " (from " + Item.Line->Key +
                        " on the medium)");
    }
}

// The links of [SetMnuLNK], and those of an ErrSection that name their own folder.
void CheckLinksRemoved(TChecker& Checker, const TRemoved& Removed)
{
    std::vector<const TInfLine*> Links = Checker.Keys("SetMnuLNK");
    for (const TErrSection& Err : Checker.ErrSections())
        for (const TInfLine* Line : Checker.Keys(Err.Line->Value))
            if (Line->Value.find('\\') < Line->Value.find(','))
                Links.push_back(Line);
    for (const TInfLine* Line : Links) {
        TLinkLine Fields;
        if (!SplitLinkLine(Line->Value, Fields))
            continue;
        std::string Path = LinkFilePath(Fields.Name, "%MyStartMenu%");
        size_t Slash = Path.find_last_of("\\");
        std::string Folder = Path.substr(0, Slash), Name = Path.substr(Slash + 1);
        bool Gone = FileRemoved(Removed, Folder, Name) ||
                    (SameText(Folder, "%MyStartMenu%") && FileRemoved(Removed, "%MenuPath%", Name));
        if (!Gone)
            Missing(Checker, Line, "the link " + Path);
    }
}

// A registry line's value, removed as written; and on a 64-bit Windows, where the software list
// runs the 64-bit INF engine, which sees SETUP.EXE's entry below Wow6432Node.
void CheckValueRemoved(TChecker& Checker, const TRemoved& Removed, const TInfLine* Line,
                       const TRegWriteLine& Fields)
{
    std::string ValueName = Fields.ValueName.empty() ? "@" : Fields.ValueName;
    std::string What = "the registry value " + Fields.Root + "\\" + Fields.SubKey + "," +
                       (Fields.ValueName.empty() ? "(default)" : Fields.ValueName);
    if (!KeyRemoved(Removed, RegistryItem(Fields.Root, Fields.SubKey, ""),
                    RegistryItem(Fields.Root, Fields.SubKey, ValueName))) {
        Missing(Checker, Line, What);
        return;
    }
    if (ScanRootKey(Fields.Root.c_str()) != rkHKLM || !StartsWithText(Fields.SubKey, UninstallKey))
        return;
    std::string SubKey64 = UninstallKey64 + Fields.SubKey.substr(UninstallKey.size());
    if (!KeyRemoved(Removed, RegistryItem("HKLM", SubKey64, ""),
                    RegistryItem("HKLM", SubKey64, ValueName)))
        Checker.Add(Line->Line, svWarning,
                    What +
                        " is removed only as written: on a 64-bit Windows the INF engine sees "
                        "it below HKLM\\" +
                        UninstallKey64 +
                        "..., so name that key in a "
                        "DelReg line too",
                    "uninstall-incomplete");
}

void CheckIniRemoved(TChecker& Checker, const TRemoved& Removed)
{
    for (const TInfLine* Line : Checker.Keys("IniWrite")) {
        TIniWriteLine Fields;
        if (!SplitIniWriteLine(Line->Value, Fields) || Removed.UpdatesInis)
            continue;
        size_t Slash = Fields.File.find_last_of("\\");
        std::string Folder = Slash == std::string::npos ? "" : Fields.File.substr(0, Slash);
        if (!FileRemoved(Removed, Folder, Fields.File.substr(Slash + 1)))
            Missing(Checker, Line,
                    "the INI entry [" + Fields.Section + "] " + Fields.Key + " in " + Fields.File);
    }
}

// The files that SETUP.EXE itself leaves: its log and the copies of the script.
void CheckOwnFilesRemoved(TChecker& Checker, const TRemoved& Removed)
{
    const std::string& Section = Checker.UninstallSection;
    const std::string& Script = Checker.Options.ScriptName;
    int Line = Checker.Find(Section)->Section->Line;
    bool Installs = Checker.Find("Files") != nullptr;
    if (Installs && !FileRemoved(Removed, "%MyProgramPath%", LogFileName))
        Checker.Add(Line, svWarning,
                    std::string("the log %MyProgramPath%\\") + LogFileName + " is written, but [" +
                        Section + "] does not remove it",
                    "uninstall-incomplete");
    if (Installs && !FileRemoved(Removed, "%MyProgramPath%", Script))
        Checker.Add(Line, svWarning,
                    "the script is copied into the installation folder when the INF folder "
                    "refuses it, but [" +
                        Section + "] does not remove " + Script + " there",
                    "uninstall-incomplete");
    if (!FileRemoved(Removed, "%InfPath%", Script))
        Checker.Add(Line, svWarning,
                    "the installed copy of the script, " + Script +
                        " in the INF folder (17), is not removed by [" + Section + "]",
                    "uninstall-incomplete");
}

// With FilesInUse=Restart or Ask, a file in use waits beside its destination for the next start of
// Windows; an uninstall before that start removes the file, but not the waiting one, which Windows
// then moves into place. Each file that the uninstall deletes wants its waiting file deleted too.
void CheckWaitingFilesRemoved(TChecker& Checker, const TRemoved& Removed)
{
    const TInfLine* Option = Checker.Key(OptionsSection, FilesInUseKey);
    TFilesInUse Value = fuFail;
    if (!Option || !ParseFilesInUse(Option->Value, Value) || Value == fuFail)
        return;
    auto Check = [&](const TInfLine* Line, const std::string& Folder, const std::string& Name) {
        std::string Waiting = WaitingFileName(Name);
        if (FileRemoved(Removed, Folder, Name) && !FileRemoved(Removed, Folder, Waiting))
            Checker.Add(Line->Line, svWarning,
                        "with FilesInUse=" + Option->Value + ", " + Folder + "\\" + Name +
                            " may wait for the next start of Windows as " + Waiting + ", which [" +
                            Checker.UninstallSection +
                            "] does not delete: uninstalled before that start, the file comes "
                            "back; list " +
                            Waiting + " beside " + Name,
                        "uninstall-incomplete");
    };
    for (const TInfLine* Line : Checker.Keys("Files")) {
        TFilesKey Key = SplitFilesKey(Line->Key);
        if (!IsPatternKey(Key))
            Check(Line, Line->Value.empty() ? "%MyProgramPath%" : Line->Value, Key.Pattern);
    }
    for (const TInstalled& Item : Checker.Installed)
        if (!Item.Folder && IsPatternKey(SplitFilesKey(Item.Line->Key)))
            Check(Item.Line, Item.Dir, Item.Name);
}

}   // namespace

void CheckUninstallEntry(TChecker& Checker)
{
    const std::vector<const TInfLine*>& Lines = Checker.Keys("RegWriteUninstall");
    const TSectionIndex* Entry = Checker.Find("RegWriteUninstall");
    if (!Entry) {
        if (const TSectionIndex* Files = Checker.Find("Files"))
            Checker.Add(Files->Section->Line, svNote,
                        "no [RegWriteUninstall]: the software list gets no entry to remove the "
                        "installation, and a later run proposes no earlier folder",
                        "uninstall-entry");
        return;
    }
    const TInfLine* First = Lines.empty() ? nullptr : Lines[0];
    if (First && SameText(First->Key, "ErrSection"))
        First = Lines.size() > 1 ? Lines[1] : nullptr;
    std::string SubKey;
    if (!CheckEntryKey(Checker, First, SubKey))
        SubKey.clear();
    for (const TInfLine* Line : Lines) {
        TRegWriteLine Fields;
        if (SplitRegWriteLine(Line->Value, Fields) &&
            SameText(Fields.ValueName, "UninstallString")) {
            CheckCommand(Checker, Line, Fields, First, SubKey);
            return;
        }
    }
    Checker.Add(Entry->Section->Line, svError,
                "[RegWriteUninstall] writes no UninstallString: the software list can't remove "
                "the installation, and a later run does not find it",
                "uninstall-entry");
}

void CheckUninstallCompleteness(TChecker& Checker)
{
    if (Checker.UninstallSection.empty() || !Checker.Find(Checker.UninstallSection))
        return;
    TRemoved Removed = CollectRemoved(Checker);
    CheckFilesRemoved(Checker, Removed);
    CheckWaitingFilesRemoved(Checker, Removed);
    CheckLinksRemoved(Checker, Removed);
    for (const char* Section : {"RegWrite", "RegWriteUninstall"})
        for (const TInfLine* Line : Checker.Keys(Section)) {
            TRegWriteLine Fields;
            if (!SameText(Line->Key, "ErrSection") && SplitRegWriteLine(Line->Value, Fields))
                CheckValueRemoved(Checker, Removed, Line, Fields);
        }
    CheckIniRemoved(Checker, Removed);
    CheckOwnFilesRemoved(Checker, Removed);
}
