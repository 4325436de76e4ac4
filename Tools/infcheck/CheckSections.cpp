// The signature that makes SETUP.EXE take a script, the sections it knows, and the names of the
// keys of the sections whose keys have a meaning.
#include "Tools/infcheck/CheckerCore.h"

#include <algorithm>

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/EngineText.h"
#include "Rules/OptionsText.h"
#include "Rules/RegWriteText.h"
#include "Rules/SignatureText.h"
#include "Rules/UninstallText.h"
#include "Tools/infcheck/LikelyName.h"

namespace {

// The sections that SETUP.EXE carries out, and the two that the system's INF engine always reads
// for the uninstallation. Any other section is named by one of these (ErrSection, the lists of
// the uninstall section) or is a mistake.
const char* const OwnSections[] = {
    "Version",           "Info",      "Strings",  "RegRead",          "RegWrite",        "Files",
    "RegWriteUninstall", "SetMnuLNK", "IniWrite", "DefaultUninstall", "DestinationDirs", "Options"};

// Keys of the sections whose keys have a meaning; the keys of the other sections are names the
// author chooses. Signature and AdvancedINF are for the system's INF engines; Product,
// ProductVersion and Publisher for /bundle.
const char* const VersionKeys[] = {"FormKv",  "ProjectVersionFile", "Signature", "AdvancedINF",
                                   "Product", "ProductVersion",     "Publisher"};
const char* const InfoKeys[] = {"Before", "BeforeTitle", "DifferentDir", "DifferentDirTitle",
                                "URL",    "After"};

// A slip in the word: a word of the value close to KELVOR; empty when there is none.
std::string MisspelledSignature(const std::string& Value)
{
    size_t Begin = Value.find_first_not_of(" \t");
    while (Begin != std::string::npos) {
        size_t End = std::min(Value.find_first_of(" \t", Begin), Value.size());
        std::string Word = Value.substr(Begin, End - Begin);
        if (Distance(Word, "KELVOR", 2) <= 2)
            return Word;
        Begin = Value.find_first_not_of(" \t", End);
    }
    return std::string();
}

template <class TNames> void CheckKeysOf(TChecker& Checker, const TSectionIndex& Index,
                                         const std::string& Name, const TNames& Known)
{
    for (const TInfLine* Line : Index.Keys) {
        if (IsOneOf(Line->Key, Known))
            continue;
        const char* Likely = LikelyName(Line->Key, Known);
        Checker.Add(Line->Line, svError,
                    "unknown key '" + Line->Key + "' in [" + Name + "]" +
                        (Likely ? std::string("; did you mean '") + Likely + "'?"
                                : ": SETUP.EXE never reads it"),
                    "unknown-key");
    }
}

void CheckKeyNames(TChecker& Checker, const TSectionIndex& Index, const std::string& Name)
{
    if (SameText(Name, "Version"))
        CheckKeysOf(Checker, Index, Name, VersionKeys);
    else if (SameText(Name, "Info"))
        CheckKeysOf(Checker, Index, Name, InfoKeys);
    else if (SameText(Name, OptionsSection))
        CheckKeysOf(Checker, Index, Name, OptionsKeys());
}

void CheckUnknownSection(TChecker& Checker, const TInfSection& Section)
{
    if (const char* Likely = LikelyName(Section.Name, OwnSections))
        Checker.Add(Section.Line, svError,
                    "unknown section [" + Section.Name + "]; did you mean [" + Likely + "]?",
                    "unknown-section");
    else
        Checker.Add(Section.Line, svWarning,
                    "unknown section [" + Section.Name +
                        "]: neither SETUP.EXE nor the uninstallation reads it",
                    "unknown-section");
}

}   // namespace

void CheckSignature(TChecker& Checker)
{
    const TSectionIndex* Version = Checker.Find("Version");
    const TInfLine* FormKv = Checker.Key("Version", "FormKv");
    if (!FormKv) {
        Checker.Add(Version ? Version->Section->Line : 1, svError,
                    "no signature: SETUP.EXE passes over a script without [Version] "
                    "FormKv=KELVOR",
                    "signature");
        return;
    }
    const std::string& Value = FormKv->Value;
    if (CarriesSignature(Value))
        return;
    std::string Word = MisspelledSignature(Value);
    if (SignaturePosition(Value.c_str()) > 0)
        Checker.Add(FormKv->Line, svError,
                    "the signature KELVOR must begin within the first " +
                        std::to_string(SignatureSize - 6) + " characters of FormKv",
                    "signature");
    else if (!Word.empty())
        Checker.Add(FormKv->Line, svError, "misspelled signature '" + Word + "': it must be KELVOR",
                    "signature");
    else
        Checker.Add(FormKv->Line, svError, "FormKv does not hold the signature KELVOR",
                    "signature");
}

void CollectNamedSections(TChecker& Checker)
{
    for (const TErrSection& Err : Checker.ErrSections())
        Checker.NamedSections.insert(FoldedText(Err.Line->Value));
    for (const TInfLine* Line : Checker.Keys("RegWriteUninstall")) {
        TRegWriteLine Fields;
        if (SplitRegWriteLine(Line->Value, Fields) &&
            SameText(Fields.ValueName, "UninstallString")) {
            Checker.UninstallSection = UninstallSection(Fields.Value);
            Checker.UninstallCommand = Fields.Value;
        }
    }
    const std::string& Uninstall = Checker.UninstallSection;
    if (!Uninstall.empty())
        Checker.NamedSections.insert(FoldedText(Uninstall));
    for (const std::string& Name : {Uninstall, std::string("DefaultUninstall")})
        if (const TSectionIndex* Index = Name.empty() ? nullptr : Checker.Find(Name))
            if (!IsOneOf(Name, Checker.EngineSections))
                Checker.EngineSections.push_back(Index->Section->Name);
    // The system's INF engine: every key of an uninstall section names sections, and so does
    // every key of [DestinationDirs].
    for (const std::string& Name : {std::string("DefaultUninstall"), Uninstall})
        for (const TInfLine* Line : Checker.Keys(Name))
            for (const std::string& Listed : NameList(Line->Value))
                Checker.NamedSections.insert(FoldedText(Listed));
    for (const TInfLine* Line : Checker.Keys("DestinationDirs"))
        Checker.NamedSections.insert(FoldedText(Line->Key));
}

void CheckSections(TChecker& Checker)
{
    for (const TInfSection& Section : Checker.File.Sections) {
        const TSectionIndex& Index = *Checker.Find(Section.Name);
        if (Index.Section != &Section)
            continue;   // a repetition, reported already
        if (IsKeyValueSection(Section.Name))
            for (const TInfLine& Line : Section.Lines)
                if (!Line.HasEquals)
                    Checker.Add(Line.Line, svError,
                                "line without '=' in [" + Section.Name +
                                    "]: it is no key, and SETUP.EXE skips it without a word; "
                                    "put a name and '=' in front",
                                "missing-equals");
        if (IsOneOf(Section.Name, OwnSections))
            CheckKeyNames(Checker, Index, Section.Name);
        else if (!Checker.NamedSections.count(FoldedText(Section.Name)))
            CheckUnknownSection(Checker, Section);
    }
}
