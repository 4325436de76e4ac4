#include "Tools/infcheck/Checker.h"

#include <algorithm>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/SignatureText.h"
#include "Rules/VarExpandText.h"
#include "Tools/infcheck/CheckerCore.h"
#include "Tools/infcheck/LikelyName.h"

namespace {

// The sections whose lines are all Key=Value for SETUP.EXE.
const char* const KeyValueSections[] = {"Version",  "Info",   "Strings",           "RegRead",
                                        "RegWrite", "Files",  "RegWriteUninstall", "SetMnuLNK",
                                        "IniWrite", "Options"};

// The sample environment that Expanded expands with; ExpandText takes a plain function.
const std::unordered_map<std::string, std::string>* SampleEnvironment = nullptr;

// What one expansion may still insert. Past every limit that the checks compare with, a longer
// text tells nothing more, and a hostile script could make each line cost megabytes.
const size_t SampleBudget = size_t(1) << 20;
size_t SampleLeft = 0;

bool SampleLookup(const char* Name, std::string& Value)
{
    auto Found = SampleEnvironment->find(FoldedText(Name));
    if (Found == SampleEnvironment->end() || Found->second.size() > SampleLeft)
        return false;
    SampleLeft -= Found->second.size();
    Value = Found->second;
    return true;
}

// What a repeated key does: the profile functions give the first line's value for every
// repetition, so [Version] and [Info] read it once, the other sections once a repetition.
std::string RepeatedKeyText(const std::string& Section, const TInfLine& Line, int FirstLine)
{
    return "key '" + Line.Key + "' is given twice in [" + Section + "]: " +
           (SameText(Section, "Version") || SameText(Section, "Info") ||
                    SameText(Section, "Options")
                ? "only the first one counts, in line "
                : "SETUP.EXE carries it out each time with the value of line ") +
           std::to_string(FirstLine);
}

}   // namespace

bool IsKeyValueSection(const std::string& Name)
{
    return IsOneOf(Name, KeyValueSections);
}

void TChecker::Add(int Line, TSeverity Severity, const std::string& Text, const char* Check)
{
    Findings.push_back({Line, Severity, Text, Check});
}

const TSectionIndex* TChecker::Find(const std::string& Name) const
{
    auto Found = Sections.find(FoldedText(Name));
    return Found == Sections.end() ? nullptr : &Found->second;
}

const TInfLine* TChecker::Key(const std::string& Section, const std::string& Name) const
{
    const TSectionIndex* Index = Find(Section);
    if (!Index)
        return nullptr;
    auto Found = Index->ByName.find(FoldedText(Name));
    return Found == Index->ByName.end() ? nullptr : Found->second;
}

const std::vector<const TInfLine*>& TChecker::Keys(const std::string& Section) const
{
    static const std::vector<const TInfLine*> None;
    const TSectionIndex* Index = Find(Section);
    return Index ? Index->Keys : None;
}

std::vector<TErrSection> TChecker::ErrSections() const
{
    std::vector<TErrSection> Found;
    if (const TInfLine* Err = Key("RegWrite", "ErrSection"))
        Found.push_back({Err, stRegWrite});
    if (const TInfLine* Err = Key("RegWriteUninstall", "ErrSection"))
        Found.push_back({Err, stUninstallEntry});
    return Found;
}

std::string TChecker::Expanded(const std::string& Text) const
{
    SampleEnvironment = &Sample;
    SampleLeft = SampleBudget;
    return ExpandText(Text.c_str(), SampleLookup);
}

void TChecker::SetSample(const std::string& Name, const std::string& Value)
{
    if (Value.size() < SystemTextSize)
        Sample[FoldedText(Name)] = Value;
}

void TChecker::IndexSections()
{
    for (const TInfSection& Section : File.Sections) {
        TSectionIndex& Index = Sections[FoldedText(Section.Name)];
        if (Index.Section) {
            Add(Section.Line, svWarning,
                "[" + Section.Name + "] is given twice: only the first one, in line " +
                    std::to_string(Index.Section->Line) + ", is read",
                "duplicate-section");
            continue;
        }
        Index.Section = &Section;
        for (const TInfLine& Line : Section.Lines) {
            if (!Line.HasEquals)
                continue;
            auto Inserted = Index.ByName.emplace(FoldedText(Line.Key), &Line);
            if (Inserted.second)
                Index.Keys.push_back(&Line);
            else if (IsKeyValueSection(Section.Name))
                Add(Line.Line, svWarning,
                    RepeatedKeyText(Section.Name, Line, Inserted.first->second->Line),
                    "duplicate-key");
        }
    }
}

// The checks in the order in which the installer meets what they check; a line's findings come
// in this order.
std::vector<TFinding> TChecker::Run()
{
    IndexSections();
    CheckSignature(*this);
    CollectNamedSections(*this);
    CheckSections(*this);
    CheckOptions(*this);
    CheckProduct(*this);
    CheckRegRead(*this);
    CheckRegWrite(*this, "RegWrite");
    CheckRegWrite(*this, "RegWriteUninstall");
    CheckFiles(*this);
    CheckLinks(*this, "SetMnuLNK");
    for (const TErrSection& Err : ErrSections())
        CheckLinks(*this, Err.Line->Value);
    CheckIniWrite(*this);
    CheckMedium(*this);
    CheckVariables(*this);
    CheckLimits(*this);
    CheckUninstallEntry(*this);
    CheckUninstallSection(*this);
    CheckStringsKeys(*this);
    CheckEmptyStringsValues(*this);
    CheckLiteralNames(*this);
    CollectInstalled(*this);
    CheckLinkTargets(*this, "SetMnuLNK", stLinks);
    for (const TErrSection& Err : ErrSections())
        if (Find(Err.Line->Value))
            CheckLinkTargets(*this, Err.Line->Value, Err.Step);
    CheckUninstallCompleteness(*this);
    CheckSystemProfile(*this);
    CheckVendorFolder(*this);
    std::stable_sort(Findings.begin(), Findings.end(),
                     [](const TFinding& A, const TFinding& B) { return A.Line < B.Line; });
    return Findings;
}

bool CarriesSignature(const std::string& FormKv)
{
    return SignaturePosition(FormKv.substr(0, SignatureSize - 1).c_str()) > 0;
}

std::vector<TFinding> CheckScript(const TInfFile& File, const TCheckOptions& Options)
{
    return TChecker(File, Options).Run();
}
