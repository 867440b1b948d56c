//===- TIniFile.cpp - INI profile files: sections of name=value lines -----===//
#include "platform/kernel/TIniFile.h"

#include "platform/kernel/WinExec.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/FileNames.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"
#include "platform/rtl/TStringList.h"
#include "platform/rtl/UniqueFd.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// Message texts ('%s' the file name, then the reason).
constexpr const char* SIniFileWriteError = "Unable to write to %s. %s";
constexpr const char* SIniBadSection = "The section name \"%s\" cannot be stored in an INI file";
constexpr const char* SIniBadIdent = "The key name \"%s\" cannot be stored in an INI file";
constexpr const char* SIniBadValue = "A value cannot hold a line break";

// --- The file as lines

enum class LineKind { Other, Section, Key };

struct IniLine {
    std::string text;
    LineKind kind = LineKind::Other;
    std::string name;  // section or key name, without the blanks around it
    std::string value; // key value, without the blanks around it
};

struct IniDocument {
    std::vector<IniLine> lines;
    std::string lineEnd = "\r\n";
};

IniLine parseLine(std::string Text)
{
    IniLine Line;
    const std::string Body = TrimLeft(Text);
    if (!Body.empty() && Body[0] == '[') {
        const size_t Close = Body.find(']');
        Line.kind = LineKind::Section;
        Line.name = Trim(std::string_view(Body).substr(1, Close == std::string::npos ? std::string::npos : Close - 1));
    } else if (!Body.empty() && Body[0] != ';') {
        const size_t Eq = Body.find('=');
        if (Eq != std::string::npos) {
            Line.kind = LineKind::Key;
            Line.name = Trim(std::string_view(Body).substr(0, Eq));
            Line.value = Trim(std::string_view(Body).substr(Eq + 1));
        }
    }
    Line.text = std::move(Text);
    return Line;
}

/// The file's bytes; nothing when it is missing or cannot be read (the defaults apply then).
std::optional<std::string> readFileBytes(const std::string& FileName)
{
    try {
        TFileStream File(FileName, fmOpenRead | fmShareDenyNone);
        std::string Bytes(static_cast<size_t>(File.GetSize()), '\0');
        Bytes.resize(static_cast<size_t>(File.Read(Bytes.data(), static_cast<int32_t>(Bytes.size()))));
        return Bytes;
    } catch (const EStreamError&) {
        return std::nullopt;
    }
}

IniDocument loadDocument(const std::string& FileName)
{
    IniDocument Doc;
    const std::optional<std::string> Bytes = readFileBytes(FileName);
    if (!Bytes)
        return Doc;
    if (Bytes->find("\r\n") == std::string::npos && Bytes->find('\n') != std::string::npos)
        Doc.lineEnd = "\n";
    TStringList Lines;
    Lines.SetText(*Bytes);
    for (const std::string& Text : Lines)
        Doc.lines.push_back(parseLine(Text));
    return Doc;
}

std::string documentText(const IniDocument& Doc)
{
    std::string Text;
    for (const IniLine& Line : Doc.lines)
        Text += Line.text + Doc.lineEnd;
    return Text;
}

constexpr size_t none = static_cast<size_t>(-1);

size_t findSection(const IniDocument& Doc, std::string_view Section, size_t From = 0)
{
    const std::string Wanted = Trim(Section);
    for (size_t I = From; I < Doc.lines.size(); ++I)
        if (Doc.lines[I].kind == LineKind::Section && AnsiSameText(Doc.lines[I].name, Wanted))
            return I;
    return none;
}

/// One past the last line of the section whose header is at Header.
size_t sectionEnd(const IniDocument& Doc, size_t Header)
{
    size_t I = Header + 1;
    while (I < Doc.lines.size() && Doc.lines[I].kind != LineKind::Section)
        ++I;
    return I;
}

size_t findKey(const IniDocument& Doc, std::string_view Section, std::string_view Ident)
{
    const size_t Header = findSection(Doc, Section);
    if (Header == none)
        return none;
    const std::string Wanted = Trim(Ident);
    for (size_t I = Header + 1; I < sectionEnd(Doc, Header); ++I)
        if (Doc.lines[I].kind == LineKind::Key && AnsiSameText(Doc.lines[I].name, Wanted))
            return I;
    return none;
}

// --- Writing

[[noreturn]] void raiseWriteError(const std::string& FileName, const std::string& Reason)
{
    throw EIniFileException(Format(SIniFileWriteError, { FileName, Reason }));
}

[[noreturn]] void raiseWriteError(const std::string& FileName, int Error)
{
    raiseWriteError(FileName, std::generic_category().message(Error));
}

/// A new file beside the target that disappears again unless it is committed.
class TempFile {
public:
    TempFile(const std::string& FileName, const std::string& Target) : fileName_(FileName)
    {
        static std::atomic<unsigned> counter { 0 };
        for (int Attempt = 0; Attempt < 100; ++Attempt) {
            path_ = Target + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++);
            fd_.reset(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (fd_ || errno != EEXIST)
                break;
        }
        if (!fd_)
            raiseWriteError(fileName_, errno);
    }
    ~TempFile()
    {
        if (!committed_)
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void write(const std::string& Bytes, mode_t Mode, bool KeepMode)
    {
        if (KeepMode && ::fchmod(fd_.get(), Mode & 07777) != 0)
            raiseWriteError(fileName_, errno);
        for (size_t Done = 0; Done < Bytes.size();) {
            const ssize_t N = ::write(fd_.get(), Bytes.data() + Done, Bytes.size() - Done);
            if (N < 0 && errno == EINTR)
                continue;
            if (N <= 0)
                raiseWriteError(fileName_, N < 0 ? errno : EIO);
            Done += static_cast<size_t>(N);
        }
        // On the disk before it replaces the old file, so a crash leaves one or the other.
        if (::fsync(fd_.get()) != 0 || ::close(fd_.release()) != 0)
            raiseWriteError(fileName_, errno);
    }

    void replace(const std::string& Target)
    {
        if (::rename(path_.c_str(), Target.c_str()) != 0)
            raiseWriteError(fileName_, errno);
        committed_ = true;
    }

private:
    std::string fileName_;
    std::string path_;
    UniqueFd fd_;
    bool committed_ = false;
};

/// Replaces the file's contents as one step: a failure at any point leaves the old file whole.
void writeAtomically(const std::string& FileName, const std::string& Content)
{
    std::string Target = AnsiToUtf8(FileName);
    // Through a symbolic link to the file it names, which keeps the link.
    struct stat Link {};
    if (::lstat(Target.c_str(), &Link) == 0 && S_ISLNK(Link.st_mode)) {
        char Resolved[PATH_MAX];
        if (::realpath(Target.c_str(), Resolved))
            Target = Resolved;
    }
    struct stat Old {};
    const bool HadOld = ::stat(Target.c_str(), &Old) == 0;
    if (HadOld && S_ISDIR(Old.st_mode))
        raiseWriteError(FileName, EISDIR);
    TempFile Temp(FileName, Target);
    Temp.write(Content, Old.st_mode, HadOld);
    Temp.replace(Target);
}

void checkSectionName(const std::string& FileName, std::string_view Section)
{
    const std::string Name = Trim(Section);
    if (Name.empty() || Name.find_first_of("]\r\n") != std::string::npos)
        raiseWriteError(FileName, Format(SIniBadSection, { Section }));
}

void checkKeyName(const std::string& FileName, std::string_view Ident)
{
    const std::string Name = Trim(Ident);
    if (Name.empty() || Name[0] == '[' || Name[0] == ';' || Name.find_first_of("=\r\n") != std::string::npos)
        raiseWriteError(FileName, Format(SIniBadIdent, { Ident }));
}

} // namespace

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)) {}

TIniFile::~TIniFile() = default;

// --- Reading

std::string TIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) const
{
    const IniDocument Doc = loadDocument(FFileName);
    const size_t Key = findKey(Doc, Section, Ident);
    return Key == none ? std::string(Default) : Doc.lines[Key].value;
}

int32_t TIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default) const
{
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view Section) const
{
    TStringList Keys;
    ReadSection(Section, Keys);
    return Keys.Count() > 0;
}

bool TIniFile::ValueExists(std::string_view Section, std::string_view Ident) const
{
    return findKey(loadDocument(FFileName), Section, Ident) != none;
}

void TIniFile::ReadSection(std::string_view Section, TStringList& Strings) const
{
    Strings.Clear();
    const IniDocument Doc = loadDocument(FFileName);
    const size_t Header = findSection(Doc, Section);
    if (Header == none)
        return;
    for (size_t I = Header + 1; I < sectionEnd(Doc, Header); ++I)
        if (Doc.lines[I].kind == LineKind::Key)
            Strings.Add(Doc.lines[I].name);
}

void TIniFile::ReadSections(TStringList& Strings) const
{
    Strings.Clear();
    for (const IniLine& Line : loadDocument(FFileName).lines)
        if (Line.kind == LineKind::Section && Strings.IndexOf(Line.name) < 0)
            Strings.Add(Line.name);
}

// --- Writing

void TIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value)
{
    checkSectionName(FFileName, Section);
    checkKeyName(FFileName, Ident);
    if (Value.find_first_of("\r\n") != std::string_view::npos)
        raiseWriteError(FFileName, SIniBadValue);

    IniDocument Doc = loadDocument(FFileName);
    const size_t Key = findKey(Doc, Section, Ident);
    if (Key != none) {
        // The name keeps the spelling the file gave it.
        Doc.lines[Key] = parseLine(Doc.lines[Key].name + "=" + std::string(Value));
    } else {
        const std::string NewLine = Trim(Ident) + "=" + std::string(Value);
        const size_t Header = findSection(Doc, Section);
        if (Header == none) {
            Doc.lines.push_back(parseLine("[" + Trim(Section) + "]"));
            Doc.lines.push_back(parseLine(NewLine));
        } else {
            // After the section's last key, so that comments and blank lines before the next
            // section stay where they are.
            size_t At = Header + 1;
            for (size_t I = Header + 1; I < sectionEnd(Doc, Header); ++I)
                if (Doc.lines[I].kind == LineKind::Key)
                    At = I + 1;
            Doc.lines.insert(Doc.lines.begin() + static_cast<ptrdiff_t>(At), parseLine(NewLine));
        }
    }
    writeAtomically(FFileName, documentText(Doc));
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view Section)
{
    IniDocument Doc = loadDocument(FFileName);
    bool Changed = false;
    for (size_t Header = findSection(Doc, Section); Header != none; Header = findSection(Doc, Section, Header)) {
        Doc.lines.erase(Doc.lines.begin() + static_cast<ptrdiff_t>(Header),
                        Doc.lines.begin() + static_cast<ptrdiff_t>(sectionEnd(Doc, Header)));
        Changed = true;
    }
    if (Changed)
        writeAtomically(FFileName, documentText(Doc));
}

void TIniFile::DeleteKey(std::string_view Section, std::string_view Ident)
{
    IniDocument Doc = loadDocument(FFileName);
    const size_t Key = findKey(Doc, Section, Ident);
    if (Key == none)
        return;
    Doc.lines.erase(Doc.lines.begin() + static_cast<ptrdiff_t>(Key));
    writeAtomically(FFileName, documentText(Doc));
}

std::string IniFileBesideExecutable() { return ChangeFileExt(ExecutablePath(), ".INI"); }
