// An unattended installation: the switches of the command line, the answers taken from a file
// and the answers of an interactive run recorded into one.
#pragma once
#include <string>

#include "Rules/SwitchText.h"

// The run's first step: forgets the installer's own variables that the caller's environment may
// hold (ForgetInheritedVars), then reads the switches of the program's command line into
// Switches (RunState) and the script argument into Script. False for a bad command line, with
// the reason in Why: an unknown switch, a bad value, a switch given twice, an answer file that
// can't be read, a record file that can't be written. Whatever it returns, the run's doors are
// chosen then (Door.h): a quiet run's and a plan's questions are no longer shown.
bool ReadSwitches(std::string& Script, std::string& Why);

// The installation folder that the path dialog proposes instead of the script's: /dir, else
// the answer file's, a relative one made full against the directory the program was started in;
// "" when neither gives one.
std::string PresetFolder();

// The recorded answer to a conflict about the installed file B: the button (1 skip, 2 cancel,
// 4 overwrite), "always", the backup and its folder; from the answer file's entry for B, else
// from its Default. False when the file answers nothing for B.
struct TRecordedAnswer {
    int Button = 0;
    bool Always = false;
    bool Backup = false;
    std::string BackupDir;
};
bool RecordedAnswerFor(const std::string& B, TRecordedAnswer& Answer);

// The answer file's answer to every file in use; iaNone when it gives none.
TInUseAnswer RecordedInUseAnswer();

// With /record: writes the folder, one answered conflict, or the answer to a file in use (the
// last one given stands) into the record file.
void RecordFolder(const std::string& Folder);
void RecordInUse(TInUseAnswer Answer);
void RecordConflict(const std::string& B, const std::string& Installed, const std::string& New,
                    const TRecordedAnswer& Answer);
