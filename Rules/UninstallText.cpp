#include "Rules/UninstallText.h"

#include <algorithm>
#include <vector>

#include "Rules/CaseText.h"

namespace {

// Where the arguments of Entry begin: past ",Entry " (letter case ignored) and the blanks after
// it; npos when the command does not call that entry point.
size_t EntryArguments(const std::string& Command, const std::string& Entry)
{
    size_t At = FoldedText(Command).find(FoldedText("," + Entry + " "));
    if (At == std::string::npos)
        return std::string::npos;
    return Command.find_first_not_of(' ', At + Entry.size() + 2);
}

size_t AdvancedArguments(const std::string& Command)
{
    size_t Begin = EntryArguments(Command, "LaunchINFSection");
    if (Begin == std::string::npos)
        Begin = EntryArguments(Command, "LaunchINFSectionEx");
    // Inside quotes (a path with blanks) the words are the path's, not an entry point's.
    if (Begin != std::string::npos &&
        std::count(Command.begin(), Command.begin() + long(Command.rfind(',', Begin)), '"') % 2)
        return std::string::npos;
    return Begin;
}

// The comma-separated fields from Begin on, trailing blanks dropped; a field that begins with a
// double quote ends at the next one and may hold commas.
std::vector<std::string> AdvancedFields(const std::string& Command, size_t Begin)
{
    std::vector<std::string> Fields;
    size_t At = Begin;
    while (At <= Command.size()) {
        size_t End;
        if (At < Command.size() && Command[At] == '"') {
            size_t Close = Command.find('"', At + 1);
            End = Close == std::string::npos ? Command.size() : Close;
            Fields.push_back(Command.substr(At + 1, End - At - 1));
            End = std::min(Command.find(',', End), Command.size());
        } else {
            End = std::min(Command.find(',', At), Command.size());
            std::string Field = Command.substr(At, End - At);
            Field.erase(std::min(Field.find_last_not_of(' ') + 1, Field.size()));
            Fields.push_back(Field);
        }
        At = End + 1;
    }
    if (Fields.empty())
        Fields.emplace_back();
    return Fields;
}

}   // namespace

std::string UninstallInfPath(const std::string& Command)
{
    size_t Advanced = AdvancedArguments(Command);
    if (Advanced != std::string::npos)
        return AdvancedFields(Command, Advanced)[0];
    if (Command.empty())
        return std::string();
    size_t Start, End;
    if (Command.back() == '"') {
        End = Command.size() - 1;
        size_t Open = End == 0 ? std::string::npos : Command.rfind('"', End - 1);
        Start = Open == std::string::npos ? 0 : Open + 1;
    } else {
        End = Command.size();
        size_t Blank = Command.rfind(' ');
        Start = Blank == std::string::npos ? 0 : Blank + 1;
    }
    if (Start == 0)
        return std::string();
    return Command.substr(Start, End - Start);
}

bool LineSubKey(const std::string& Line, std::string& SubKey)
{
    size_t First = Line.find(',');
    if (First == std::string::npos)
        return false;
    size_t Second = Line.find(',', First + 1);
    if (Second == std::string::npos)
        return false;
    SubKey = Line.substr(First + 1, Second - First - 1);
    return true;
}

std::string UninstallSection(const std::string& Command)
{
    size_t Advanced = AdvancedArguments(Command);
    if (Advanced != std::string::npos) {
        std::vector<std::string> Fields = AdvancedFields(Command, Advanced);
        return Fields.size() > 1 && !Fields[1].empty() ? Fields[1] : "DefaultInstall";
    }
    const std::string Word = "InstallHinfSection";
    size_t At = FoldedText(Command).find(FoldedText(Word));
    if (At == std::string::npos)
        return std::string();
    size_t Begin = Command.find_first_not_of(" \t", At + Word.size());
    if (Begin == std::string::npos)
        return std::string();
    size_t End = std::min(Command.find_first_of(" \t", Begin), Command.size());
    return Command.substr(Begin, End - Begin);
}
