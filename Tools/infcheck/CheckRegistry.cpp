// The lines that SETUP.EXE reads from the registry ([RegRead]) and writes into it ([RegWrite],
// [RegWriteUninstall]) or into INI files ([IniWrite]).
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/CaseText.h"
#include "Rules/IniWriteText.h"
#include "Rules/ReferenceText.h"
#include "Rules/RegReadText.h"
#include "Rules/RegSyntax.h"
#include "Rules/RegWriteText.h"
#include "Tools/infcheck/LikelyName.h"

namespace {

const TLineKind<TRegWriteLine> RegWriteLines = {
    SplitRegWriteLine,
    "too few fields: a registry line is Root,SubKey,ValueName,Type,Value; SETUP.EXE stops the "
    "section at this line",
    "registry-line"};
const TLineKind<TRegReadLine> RegReadLines = {
    SplitRegReadLine,
    "no comma: a [RegRead] line is Root,SubKey[,ValueName[,Default]]; SETUP.EXE ends the run",
    "regread-line"};

// A registry line's root. SETUP.EXE expands the whole line before it reads the root, so a
// variable may give it: that is valid, and only the run shows what it names.
void CheckRoot(TChecker& Checker, int Line, const std::string& Root, const char* Code)
{
    if (HasReference(Root))
        Checker.Add(Line, svNote,
                    "the root '" + Root +
                        "' is known only at run time: SETUP.EXE ends the run unless it is HKLM, "
                        "HKCU or HKCR",
                    Code);
    else if (ScanRootKey(Root.c_str()) == rkNone)
        Checker.Add(Line, svError, "unknown root '" + Root + "': HKLM, HKCU or HKCR", Code);
}

void CheckRegWriteLine(TChecker& Checker, const TInfLine& Line)
{
    TRegWriteLine Fields;
    if (!SplitOrReport(Checker, Line, RegWriteLines, Fields))
        return;
    CheckRoot(Checker, Line.Line, Fields.Root, "registry-line");
    TValueType Type = ScanValueType(Fields.Type);
    if (!HasReference(Fields.Type) && Type == vtUnknown)
        Checker.Add(Line.Line, svError,
                    "unknown value type '" + Fields.Type +
                        "': Reg_SZ or Reg_DWORD (SETUP.EXE writes a string and fails the run)",
                    "registry-line");
    uint32_t Number;
    if (Type != vtDWord || HasReference(Fields.Value))
        return;
    TDWordScan Scan = ScanDWordText(Fields.Value.c_str(), Number);
    if (Scan != dsOk)
        Checker.Add(Line.Line, svError,
                    "Reg_DWORD value '" + Fields.Value + "' " +
                        (Scan == dsTooLong ? "has more than 8 hexadecimal digits"
                                           : "is not a hexadecimal number") +
                        "; SETUP.EXE stops the section at this line",
                    "registry-line");
}

}   // namespace

void CheckRegWrite(TChecker& Checker, const std::string& Section)
{
    for (const TInfLine* Line : Checker.Keys(Section))
        // The installer skips an empty value, and ErrSection names a section.
        if (!Line->Value.empty() && !SameText(Line->Key, "ErrSection"))
            CheckRegWriteLine(Checker, *Line);
    const TInfLine* Err = Checker.Key(Section, "ErrSection");
    if (!Err)
        return;
    if (!Checker.Find(Err->Value))
        Checker.Add(Err->Line, svError,
                    "ErrSection names [" + Err->Value + "], which the script does not have",
                    "missing-section");
    if (Checker.Keys(Section)[0] != Err)
        Checker.Add(Err->Line, svWarning,
                    "ErrSection holds only for the lines below it: a line above it whose key "
                    "can't be written has no links to stand in for it; write ErrSection first",
                    "registry-line");
}

void CheckRegRead(TChecker& Checker)
{
    for (const TInfLine* Line : Checker.Keys("RegRead")) {
        TRegReadLine Fields;
        if (Line->Value.empty() || !SplitOrReport(Checker, *Line, RegReadLines, Fields))
            continue;
        CheckRoot(Checker, Line->Line, Fields.Root, "regread-line");
        if (IsOneOf(Line->Key, InfCopyVariables))
            Checker.Add(Line->Line, svWarning,
                        "SETUP.EXE ignores a [RegRead] line named " + Line->Key +
                            ": it sets that variable itself",
                        "regread-line");
    }
}

void CheckIniWrite(TChecker& Checker)
{
    // Every key counts here, repeated ones too: the installer reads each one's first value.
    for (const TInfLine* Line : Checker.Keys("IniWrite")) {
        TIniWriteLine Fields;
        if (!SplitIniWriteLine(Line->Value, Fields))
            Checker.Add(Line->Line, svError,
                        "too few fields: an [IniWrite] line is Section,Key,Value,File; SETUP.EXE "
                        "shows \"" +
                            IniWriteSyntaxText(Line->Value) + "\" and fails the run",
                        "iniwrite-line");
    }
}
