#include "Rules/OptionsText.h"

#include "Rules/CaseText.h"

bool ParseFilesInUse(const std::string& Text, TFilesInUse& Value)
{
    // In the order of the enum, so that the index is the value.
    const std::vector<std::string>& Values = FilesInUseValues();
    for (size_t I = 0; I < Values.size(); I++)
        if (SameText(Text, Values[I])) {
            Value = static_cast<TFilesInUse>(I);
            return true;
        }
    return false;
}

const std::vector<std::string>& FilesInUseValues()
{
    static const std::vector<std::string> Values = {"Fail", "Ask", "Restart"};
    return Values;
}

bool ParseRollback(const std::string& Text, bool& Value)
{
    if (!SameText(Text, "Yes") && !SameText(Text, "No"))
        return false;
    Value = SameText(Text, "Yes");
    return true;
}

const std::vector<std::string>& OptionsKeys()
{
    static const std::vector<std::string> Keys = {FilesInUseKey, RollbackKey};
    return Keys;
}
