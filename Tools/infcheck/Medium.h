// The medium as a folder of the file system, searched as Windows searches it: letter case
// ignored, * and ? in the last part of a name.
#pragma once
#include <string>
#include <vector>

#include "Tools/infcheck/Checker.h"

class TFolderMedium : public TMedium {
public:
    explicit TFolderMedium(const std::string& Dir) : Dir(Dir) {}
    bool Matches(const std::string& SubDir, const std::string& Pattern) const override;
    bool FileExists(const std::string& Path, bool& HasVersion) const override;
    std::vector<std::string> SignedScripts() const override;
    std::vector<TListedEntry> List(const std::string& SubDir) const override;

private:
    std::string Dir;
};
