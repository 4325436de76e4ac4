// What SETUP.EXE carries: its dialog templates exactly as laid out, the icon, the version and
// the manifest. The templates are read back from the built program, not from the script.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Rules/ProductText.h"
#include "Setup/base/DlgIds.h"

namespace {

struct TItem {
    int Id;
    std::string Class;   // "button", "edit", "static"
    std::string Text;
    short X, Y, Cx, Cy;
    DWORD Style;
};

struct TTemplate {
    DWORD Style;
    short X, Y, Cx, Cy;
    std::vector<TItem> Items;
};

HMODULE Program()
{
    static HMODULE Module = [] {
        const char* Path = std::getenv("SETUP_EXE");
        return Path ? LoadLibraryExA(Path, nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
    }();
    return Module;
}

const BYTE* Resource(const char* Type, const char* Name, DWORD* Size = nullptr)
{
    HRSRC Found = FindResourceA(Program(), Name, Type);
    if (Found == nullptr)
        return nullptr;
    if (Size)
        *Size = SizeofResource(Program(), Found);
    return static_cast<const BYTE*>(LockResource(LoadResource(Program(), Found)));
}

// Reads a string or ordinal field of a dialog template; ordinals come back as "#n".
std::string ReadSz(const WORD*& P)
{
    std::string Text;
    if (*P == 0xFFFF) {
        Text = "#" + std::to_string(P[1]);
        P += 2;
        return Text;
    }
    for (; *P; ++P)
        Text += char(*P);
    ++P;
    return Text;
}

TTemplate Parse(const BYTE* Data)
{
    auto* Head = reinterpret_cast<const DLGTEMPLATE*>(Data);
    TTemplate T{Head->style, Head->x, Head->y, Head->cx, Head->cy, {}};
    auto* P = reinterpret_cast<const WORD*>(Head + 1);
    ReadSz(P);   // menu
    ReadSz(P);   // class
    ReadSz(P);   // caption
    for (int I = 0; I < Head->cdit; ++I) {
        P = reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(P) + 3) & ~uintptr_t(3));
        auto* Item = reinterpret_cast<const DLGITEMTEMPLATE*>(P);
        P = reinterpret_cast<const WORD*>(Item + 1);
        std::string Class = ReadSz(P);
        if (Class == "#128")
            Class = "button";
        if (Class == "#129")
            Class = "edit";
        if (Class == "#130")
            Class = "static";
        for (char& C : Class)
            C = char(tolower(C));
        std::string Text = ReadSz(P);
        WORD Extra = *P++;
        P = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(P) + Extra);
        T.Items.push_back(
            {short(Item->id), Class, Text, Item->x, Item->y, Item->cx, Item->cy, Item->style});
    }
    return T;
}

const DWORD Child = WS_CHILD | WS_VISIBLE;
const DWORD Push = Child | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD DefPush = Child | WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD Check = Child | WS_TABSTOP | BS_CHECKBOX;
const DWORD Edit = Child | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
const DWORD Left = Child | WS_GROUP | SS_LEFT;
const DWORD Centre = Child | WS_GROUP | SS_CENTER;
const DWORD Frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

void ExpectTemplate(const char* Name, const TTemplate& Want)
{
    SCOPED_TRACE(Name);
    const BYTE* Data = Resource(MAKEINTRESOURCEA(5), Name);   // RT_DIALOG
    ASSERT_NE(nullptr, Data);
    TTemplate Got = Parse(Data);
    EXPECT_EQ(Want.Style, Got.Style & ~DS_SETFONT);
    EXPECT_EQ(0u, Got.Style & DS_SETFONT) << "the templates name no font";
    EXPECT_EQ(Want.X, Got.X);
    EXPECT_EQ(Want.Y, Got.Y);
    EXPECT_EQ(Want.Cx, Got.Cx);
    EXPECT_EQ(Want.Cy, Got.Cy);
    ASSERT_EQ(Want.Items.size(), Got.Items.size());
    for (size_t I = 0; I < Want.Items.size(); ++I) {
        const TItem& W = Want.Items[I];
        const TItem& G = Got.Items[I];
        SCOPED_TRACE("control " + std::to_string(W.Id));
        EXPECT_EQ(W.Id, G.Id);
        EXPECT_EQ(W.Class, G.Class);
        EXPECT_EQ(W.Text, G.Text);
        EXPECT_EQ(W.X, G.X);
        EXPECT_EQ(W.Y, G.Y);
        EXPECT_EQ(W.Cx, G.Cx);
        EXPECT_EQ(W.Cy, G.Cy);
        EXPECT_EQ(W.Style, G.Style) << std::hex << W.Style << " / " << G.Style;
    }
}

TEST(SetupBinary, DialogTemplatesAreLaidOutExactly)
{
    ASSERT_NE(nullptr, Program()) << "SETUP_EXE not set or not loadable";
    ExpectTemplate("PATHSEL", {Frame,
                               10,
                               35,
                               187,
                               63,
                               {
                                   {IDOK, "button", "&OK", 31, 44, 38, 15, Push},
                                   {idText, "static", "The program will be installed to:", 6, 10,
                                    123, 12, Child | SS_LEFT},
                                   {IDCANCEL, "button", "Cancel", 86, 44, 43, 15, Push},
                                   {idBuf, "edit", "", 7, 26, 149, 12, Edit},
                                   {idBrowse, "button", "...", 162, 27, 15, 9, Push},
                               }});
    ExpectTemplate("MSGBOXSOC",
                   {Frame,
                    18,
                    18,
                    233,
                    95,
                    {
                        {idAlways, "button", "always", 39, 44, 39, 12, Check},
                        {IDOK, "button", "Skip copy", 8, 56, 47, 14,
                         DefPush},   // the one default: Enter skips
                        {idOverwrite, "button", "Overwrite", 77, 56, 55, 14, Push},
                        {idBackup, "button", "with Backup to", 76, 70, 63, 12, Check},
                        {idBuf, "edit", "FilePath", 5, 80, 205, 11, Edit},
                        {idBrowse, "button", "...", 215, 80, 12, 10, Push},
                        {IDCANCEL, "button", "Cancel Install", 161, 56, 56, 14, Push},
                        {idText, "static", "Continue Installation?", 5, 4, 215, 38, Left},
                    }});
    ExpectTemplate("MSGBOXINUSE",
                   {Frame,
                    18,
                    18,
                    233,
                    66,
                    {
                        {idRetry, "button", "Retry", 8, 46, 47, 14, DefPush},
                        {idAtRestart, "button", "Replace at restart", 68, 46, 80, 14, Push},
                        {IDCANCEL, "button", "Cancel Install", 161, 46, 56, 14, Push},
                        {idText, "static", "File in use", 5, 4, 215, 38, Left},
                    }});
    ExpectTemplate("MSGBOXCONTINUE",
                   {Frame,
                    18,
                    18,
                    174,
                    68,
                    {
                        {IDOK, "button", "OK", 34, 34, 31, 14, DefPush},
                        {IDCANCEL, "button", "Cancel", 100, 34, 33, 14, Push},
                        {idText, "static", "Continue Installation?", 5, 4, 166, 24, Centre},
                        {idLink, "static", "", 3, 51, 169, 12, Left},
                    }});
    ExpectTemplate("MSGBOXLOGFILE",
                   {Frame,
                    18,
                    18,
                    203,
                    93,
                    {
                        {IDOK, "button", "Close", 136, 71, 59, 14, DefPush},
                        {idShowLog, "button", "show Logfile", 10, 62, 58, 14, Push},
                        {idText, "static", "Sucess?", 9, 10, 181, 29, Left},
                        {idLink, "static", "LogFilePath", 8, 50, 187, 10, Left},
                        {-1, "static", "Logfile:", 8, 41, 52, 8, Left},
                    }});
}

TEST(SetupBinary, CarriesIconVersionAndManifest)
{
    ASSERT_NE(nullptr, Program());
    EXPECT_NE(nullptr,
              Resource(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(idSetupIcon)));   // group icon
    // A bundle's product resource takes the version resource's room: the longest one fits.
    DWORD VersionSize = 0;
    const BYTE* Version = Resource(MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), &VersionSize);
    ASSERT_NE(nullptr, Version);
    std::string Longest(2 * (ProductTextSize - 1), 'W');   // two bytes a character
    EXPECT_GE(VersionSize,
              ProductVersionResource(Longest, "65535.65535.65535.65535", Longest).size());
    // The packer's own walk of the file finds the resource that the system finds.
    std::ifstream File(std::getenv("SETUP_EXE"), std::ios::binary);
    std::string Image((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
    TResourceSpot Spot;
    ASSERT_TRUE(FindVersionResource(Image.data(), Image.size(), Spot));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Version), VersionSize),
              Image.substr(size_t(Spot.DataAt), size_t(Spot.Length)));

    DWORD Size = 0;
    const BYTE* Manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), &Size);
    ASSERT_NE(nullptr, Manifest);
    std::string Text(reinterpret_cast<const char*>(Manifest), Size);
    EXPECT_NE(std::string::npos, Text.find("level=\"highestAvailable\""));
    EXPECT_NE(std::string::npos, Text.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, Text.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, Text.find("supportedOS"));
}

}   // namespace
