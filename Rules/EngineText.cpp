#include "Rules/EngineText.h"

#include <algorithm>

#include "Rules/CaseText.h"
#include "Rules/PathParts.h"
#include "Rules/ProfileText.h"
#include "Rules/RegSyntax.h"

std::string EngineText(const std::string& Text)
{
    return TrimmedBlanks(Text.substr(0, Text.find(';')));
}

std::vector<std::string> NameList(const std::string& List)
{
    std::vector<std::string> Names;
    size_t Begin = 0;
    while (Begin <= List.size()) {
        size_t Comma = std::min(List.find(',', Begin), List.size());
        std::string Name = TrimmedBlanks(List.substr(Begin, Comma - Begin));
        if (!Name.empty())
            Names.push_back(Name);
        Begin = Comma + 1;
    }
    return Names;
}

std::string DestinationFolder(const std::string& Value)
{
    std::vector<std::string> Parts = NameList(EngineText(Value));
    if (Parts.empty())
        return std::string();
    if (Parts[0] == "-1" && Parts.size() > 1)
        return FoldedText(Parts[1]);
    if (Parts[0] == "17")
        return FoldedText("%InfPath%");
    return FoldedText("#" + Parts[0]);
}

bool SplitDelRegLine(const std::string& Line, TDelRegLine& Fields)
{
    std::string Text = EngineText(Line);
    std::vector<std::string> Parts;
    size_t Begin = 0;
    while (Begin <= Text.size() && Parts.size() < 3) {
        size_t Comma = std::min(Text.find(',', Begin), Text.size());
        Parts.push_back(Text.substr(Begin, Comma - Begin));
        Begin = Comma + 1;
    }
    if (Parts.size() < 2)
        return false;
    Fields.Root = Parts[0];
    Fields.SubKey = Parts[1];
    Fields.ValueName = Parts.size() > 2 ? TrimmedBlanks(Parts[2]) : "";
    return true;
}

std::string RegistryItem(const std::string& Root, const std::string& SubKey,
                         const std::string& ValueName)
{
    TRootKey Key = ScanRootKey(TrimmedBlanks(Root).c_str());
    std::string Item = FoldedText(std::string(RootKeyText(Key)) + "\\" + TrimmedBlanks(SubKey));
    DropAllTrailingBackslashes(Item);
    return ValueName.empty() ? Item : Item + "\\\\" + FoldedText(ValueName);
}

bool EngineTakesSignature(const std::string& Value)
{
    std::string Text = EngineText(Value);
    if (Text.size() >= 2 && Text.front() == '"' && Text.back() == '"')
        Text = Text.substr(1, Text.size() - 2);
    for (const char* Known : {"$CHICAGO$", "$Windows NT$", "$Windows 95$"})
        if (SameText(Text, Known))
            return true;
    return false;
}
