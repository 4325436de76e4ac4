#include "Setup/base/Unattended.h"

#include <windows.h>

#include <vector>

#include "Rules/CaseText.h"
#include "Rules/CommandLineText.h"
#include "Rules/PathParts.h"
#include "Setup/base/Door.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"

namespace {

// One conflict of the answer file, its File as recorded (the installation folder written as
// %MyProgramPath%, so that the answer holds wherever the folder is).
struct TAnswerEntry {
    std::string File;
    TRecordedAnswer Answer;
};

std::vector<TAnswerEntry> Entries;
std::string AnswerFolder;
TInUseAnswer InUseAnswer = iaNone;
bool HasDefault = false;
TRecordedAnswer DefaultAnswer;
int Recorded = 0;

// B as the answer file names it: the installation folder written as %MyProgramPath%.
std::string RecordedName(const std::string& B)
{
    std::string Folder;
    if (!ReadEnv("MyProgramPath", Folder) || Folder.empty())
        return B;
    DropOneTrailingBackslash(Folder);
    if (B.size() > Folder.size() && B[Folder.size()] == '\\' &&
        SameText(B.substr(0, Folder.size()), Folder))
        return "%MyProgramPath%" + B.substr(Folder.size());
    return B;
}

bool LoadAnswers(const std::string& File, std::string& Why)
{
    if (GetFileAttributesA(File.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Why = "the answer file " + File + " can't be read";
        return false;
    }
    if (ReadProfile(AnswersSection, "Version", File) != AnswersVersion) {
        Why = "the answer file " + File + " has no [" + std::string(AnswersSection) +
              "] Version=" + AnswersVersion;
        return false;
    }
    // Folders, like the file names of the command line, are taken from the directory the program
    // was started in, and kept whole: a relative one would mean another place for every later
    // reader of the folder (the installed INF, the uninstallation, the next run).
    AnswerFolder = AbsolutePath(ReadProfile(AnswersSection, "Folder", File));
    std::string InUse = ReadProfile(AnswersSection, InUseAnswerKey, File);
    InUseAnswer = InUseAnswerOf(InUse);
    if (!InUse.empty() && InUseAnswer == iaNone) {
        Why = "the answer file's InUse is " + InUse + ", not restart or cancel";
        return false;
    }
    std::string Policy = ReadProfile(AnswersSection, "Default", File);
    if (!Policy.empty()) {
        HasDefault = ParsePolicy(Policy, DefaultAnswer.Button, DefaultAnswer.Backup);
        if (!HasDefault) {
            Why = "the answer file's Default is " + Policy + ", not skip, overwrite or backup";
            return false;
        }
    }
    for (int Number = 1;; ++Number) {
        std::string Section = ConflictSection(Number);
        TAnswerEntry Entry;
        Entry.File = ReadProfile(Section.c_str(), "File", File);
        if (Entry.File.empty())
            return true;
        std::string Button = ReadProfile(Section.c_str(), "Answer", File);
        Entry.Answer.Button = ButtonOfAnswer(Button);
        if (Entry.Answer.Button == 0) {
            Why = "the answer file's [" + Section + "] Answer is " + Button +
                  ", not skip, overwrite or cancel";
            return false;
        }
        Entry.Answer.Always = ReadProfile(Section.c_str(), "Always", File) == "1";
        Entry.Answer.Backup = ReadProfile(Section.c_str(), "Backup", File) == "1";
        Entry.Answer.BackupDir = AbsolutePath(ReadProfile(Section.c_str(), "BackupDir", File));
        Entries.push_back(Entry);
    }
}

// The record file's text, kept whole, for the file is written whole at each answer (a file in a
// folder that others may write to is never written through a link or second name put there):
// the lines of the last answers to the folder and to files in use, and each conflict's section.
std::string RecordedFolder, RecordedInUse, RecordedConflicts;

// One line of the record, ended.
std::string RecordLine(const std::string& Key, const std::string& Value)
{
    return Key + "=" + Value + "\r\n";
}

bool SaveRecord()
{
    // An answers file read through the profile functions in this run is written anew here.
    bool Saved = WriteAtomic("[" + std::string(AnswersSection) + "]\r\n" +
                                 RecordLine("Version", AnswersVersion) + RecordedFolder +
                                 RecordedInUse + RecordedConflicts,
                             Switches.Record);
    if (Saved)
        ProfileFileReplaced(Switches.Record);
    return Saved;
}

// ReadSwitches, but for the choice of the run's doors; Plan: the run is a plan.
bool TakeSwitches(std::string& Script, std::string& Why, bool& Plan)
{
    // The first thing the run does, so the caller's environment can't stand in for values that
    // only the run decides.
    ForgetInheritedVars();
    std::vector<std::string> Args = CommandArguments(GetCommandLineA());
    std::string Bad;
    TSwitchScan Scan = ParseSwitches(Args, Switches, Script, Bad);
    if (Scan != ssOk) {
        // Quiet is quiet even when another switch is bad.
        Switches.Any = true;
        for (const std::string& Arg : Args)
            Switches.Quiet = Switches.Quiet || SameText(Arg, "/quiet");
        Why = (Scan == ssTwice ? "switch given twice " : "unknown switch or bad value ") + Bad;
        return false;
    }
    if (!Switches.Plan.empty()) {
        // A plan records nothing: the record would be the one file it writes besides itself.
        if (!Switches.Record.empty()) {
            Why = "/record can't go with /plan";
            return false;
        }
        // Relative to the directory the program was started in, like the answer file.
        Switches.Plan = FullPath(Switches.Plan);
        Plan = true;
    }
    Switches.Dir = AbsolutePath(Switches.Dir);   // as the answer file's folder, below
    if (!Switches.Answers.empty()) {
        // Relative to the directory the program was started in, which the run leaves for the
        // script's.
        Switches.Answers = FullPath(Switches.Answers);
        if (!LoadAnswers(Switches.Answers, Why))
            return false;
    }
    if (!Switches.Record.empty()) {
        // A record tells one run: the file is written anew.
        Switches.Record = FullPath(Switches.Record);
        if (!SaveRecord()) {
            Why = "the record file " + Switches.Record + " can't be written";
            return false;
        }
    }
    return true;
}

}   // namespace

bool ReadSwitches(std::string& Script, std::string& Why)
{
    bool Plan = false;
    bool Read = TakeSwitches(Script, Why, Plan);
    // Once the switches say whether the run is quiet, and before anything is asked or changed.
    ChooseDoors(Plan);
    // A plan asks nothing, as a quiet run: where a step still asks whether the run is quiet, the
    // plan takes the quiet way.
    if (Plan)
        Switches.Quiet = true;
    return Read;
}

std::string PresetFolder()
{
    return !Switches.Dir.empty() ? Switches.Dir : AnswerFolder;
}

bool RecordedAnswerFor(const std::string& B, TRecordedAnswer& Answer)
{
    std::string Name = RecordedName(B);
    for (const TAnswerEntry& Entry : Entries) {
        if (SameText(Entry.File, Name) || SameText(Entry.File, B)) {
            Answer = Entry.Answer;
            return true;
        }
    }
    if (!HasDefault)
        return false;
    Answer = DefaultAnswer;
    return true;
}

TInUseAnswer RecordedInUseAnswer()
{
    return InUseAnswer;
}

void RecordInUse(TInUseAnswer Answer)
{
    if (Switches.Record.empty())
        return;
    RecordedInUse = RecordLine(InUseAnswerKey, InUseAnswerName(Answer));
    SaveRecord();
}

void RecordFolder(const std::string& Folder)
{
    if (Switches.Record.empty())
        return;
    RecordedFolder = RecordLine("Folder", Folder);
    SaveRecord();
}

void RecordConflict(const std::string& B, const std::string& Installed, const std::string& New,
                    const TRecordedAnswer& Answer)
{
    if (Switches.Record.empty())
        return;
    RecordedConflicts += "\r\n[" + ConflictSection(++Recorded) + "]\r\n" +
                         RecordLine("File", RecordedName(B)) + RecordLine("Installed", Installed) +
                         RecordLine("New", New) +
                         RecordLine("Answer", AnswerOfButton(Answer.Button)) +
                         RecordLine("Always", Answer.Always ? "1" : "0") +
                         RecordLine("Backup", Answer.Backup ? "1" : "0");
    if (Answer.Backup)
        RecordedConflicts += RecordLine("BackupDir", Answer.BackupDir);
    SaveRecord();
}
