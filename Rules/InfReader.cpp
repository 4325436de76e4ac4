#include "Rules/InfReader.h"

#include "Rules/CaseText.h"
#include "Rules/ProfileText.h"

// The text from Begin up to End, its blanks trimmed.
static std::string Trimmed(const std::string& Text, size_t Begin, size_t End)
{
    return TrimmedBlanks(Text.substr(Begin, End - Begin));
}

static void AppendUtf8(std::string& Out, unsigned Code)
{
    if (Code < 0x80) {
        Out += char(Code);
    } else if (Code < 0x800) {
        Out += char(0xC0 | (Code >> 6));
        Out += char(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += char(0xE0 | (Code >> 12));
        Out += char(0x80 | ((Code >> 6) & 0x3F));
        Out += char(0x80 | (Code & 0x3F));
    } else {
        Out += char(0xF0 | (Code >> 18));
        Out += char(0x80 | ((Code >> 12) & 0x3F));
        Out += char(0x80 | ((Code >> 6) & 0x3F));
        Out += char(0x80 | (Code & 0x3F));
    }
}

// UTF-16 after its byte-order mark, little- or big-endian, as UTF-8; a lone
// surrogate and an odd last byte become U+FFFD, so that nothing is lost
// silently and nothing stops the reading.
static std::string FromUtf16(const std::string& Bytes, bool BigEndian)
{
    std::string Out;
    Out.reserve(Bytes.size() / 2);
    auto Unit = [&](size_t I) {
        unsigned char A = Bytes[I], B = Bytes[I + 1];
        return BigEndian ? unsigned(A) << 8 | B : unsigned(B) << 8 | A;
    };
    size_t I = 2;
    for (; I + 1 < Bytes.size(); I += 2) {
        unsigned Code = Unit(I);
        if (Code >= 0xD800 && Code < 0xDC00 && I + 3 < Bytes.size()) {
            unsigned Low = Unit(I + 2);
            if (Low >= 0xDC00 && Low < 0xE000) {
                AppendUtf8(Out, 0x10000 + ((Code - 0xD800) << 10) + (Low - 0xDC00));
                I += 2;
                continue;
            }
        }
        AppendUtf8(Out, Code >= 0xD800 && Code < 0xE000 ? 0xFFFD : Code);
    }
    if (I < Bytes.size())
        AppendUtf8(Out, 0xFFFD);
    return Out;
}

static void ReadLine(const std::string& Text, size_t Begin, size_t End, int Number, TInfFile& File)
{
    while (Begin < End && IsBlank(Text[Begin]))
        ++Begin;
    if (Begin == End || Text[Begin] == ';')
        return;
    if (Text[Begin] == '[') {
        size_t Close = Text.find(']', Begin);
        // A section name runs to its bracket; without one, to the end of the line.
        size_t NameEnd = Close < End ? Close : End;
        File.Sections.push_back({Trimmed(Text, Begin + 1, NameEnd), Number, {}});
        return;
    }
    if (File.Sections.empty())
        return;   // lines before the first section belong to none
    TInfLine Line{Number, false, "", ""};
    size_t Equals = Text.find('=', Begin);
    if (Equals < End) {
        Line.HasEquals = true;
        Line.Key = Trimmed(Text, Begin, Equals);
        Line.Value = UnquotedValue(Trimmed(Text, Equals + 1, End));
    } else {
        Line.Key = Trimmed(Text, Begin, End);
    }
    File.Sections.back().Lines.push_back(std::move(Line));
}

TInfFile ReadInfText(const std::string& Bytes)
{
    std::string Converted;
    const std::string* Text = &Bytes;
    if (Bytes.size() >= 2 && (unsigned char)Bytes[0] == 0xFF && (unsigned char)Bytes[1] == 0xFE)
        Text = &(Converted = FromUtf16(Bytes, false));
    else if (Bytes.size() >= 2 && (unsigned char)Bytes[0] == 0xFE &&
             (unsigned char)Bytes[1] == 0xFF)
        Text = &(Converted = FromUtf16(Bytes, true));
    else if (Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        Text = &(Converted = Bytes.substr(3));

    TInfFile File;
    int Number = 1;
    size_t Begin = 0, Size = Text->size();
    while (Begin <= Size) {
        size_t End = Text->find_first_of("\r\n", Begin);
        if (End == std::string::npos)
            End = Size;
        ReadLine(*Text, Begin, End, Number, File);
        if (End == Size)
            break;
        Begin = End + ((*Text)[End] == '\r' && End + 1 < Size && (*Text)[End + 1] == '\n' ? 2 : 1);
        ++Number;
    }
    return File;
}

const TInfSection* FindSection(const TInfFile& File, const std::string& Name)
{
    for (const TInfSection& Section : File.Sections)
        if (SameText(Section.Name, Name))
            return &Section;
    return nullptr;
}

const TInfLine* FindKey(const TInfSection& Section, const std::string& Key)
{
    for (const TInfLine& Line : Section.Lines)
        if (Line.HasEquals && SameText(Line.Key, Key))
            return &Line;
    return nullptr;
}
