//===- Clipbrd.cpp - The clipboard object over Qt's clipboard ----------------===//
#include "platform/ui/printing/Clipbrd.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TMetafile.h"

#include "platform/gdi/metafile/EnhMetaFile.h"

#include "platform/rtl/AnsiString.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <map>
#include <mutex>

namespace {

const PublishedClass& ClipboardClass = PublishClass<TClipboard, TPersistent>("TClipboard");

constexpr UINT FirstRegisteredFormat = 0xC000;

/// Names of the formats this process registered, by number.
struct FormatNames {
    std::mutex mutex;
    std::map<UINT, std::string> names;
};
FormatNames& formatNames()
{
    static FormatNames Table;
    return Table;
}

std::string registeredName(UINT Format)
{
    FormatNames& Table = formatNames();
    std::lock_guard Lock(Table.mutex);
    auto It = Table.names.find(Format);
    return It == Table.names.end() ? std::string() : It->second;
}

/// The MIME type of a format; empty for formats the clipboard does not carry.
QString mimeTypeOf(UINT Format)
{
    if (Format == CF_TEXT)
        return QStringLiteral("text/plain");
    if (Format == CF_ENHMETAFILE)
        return QString::fromLatin1(SEmfMimeType);
    if (Format < FirstRegisteredFormat)
        return QString();
    const std::string Name = registeredName(Format);
    if (Name.empty())
        return QString();
    // Registered names match without regard to case in every process.
    return QStringLiteral("application/x-varnex.")
           + QString::fromLatin1(QUrl::toPercentEncoding(ui_private::toQString(AnsiLowerCase(Name))));
}

void ensureQtApplication()
{
    // The clipboard belongs to Qt's application; a program without one gets the class
    // library's, as it would when it opens its first window.
    if (!QCoreApplication::instance())
        Application->Initialize();
}

} // namespace

// --- Registered formats

UINT RegisterClipboardFormat(std::string_view Name)
{
    const UINT Format = RegisterWindowMessage(Name);
    if (Format >= FirstRegisteredFormat) {
        FormatNames& Table = formatNames();
        std::lock_guard Lock(Table.mutex);
        Table.names.emplace(Format, std::string(Name));
    }
    return Format;
}

int GetClipboardFormatName(UINT Format, char* Buffer, int Size)
{
    const std::string Name = registeredName(Format);
    if (Name.empty() || !Buffer || Size <= 0)
        return 0;
    const size_t Length = std::min(Name.size(), size_t(Size - 1));
    Name.copy(Buffer, Length);
    Buffer[Length] = '\0';
    return int(Length);
}

// --- TClipboard

struct TClipboard::Impl {
    int openCount = 0;
    // What this session has put; once set, it is what readers in the session see.
    std::unique_ptr<QMimeData> pending;

    const QMimeData* current() const
    {
        if (pending)
            return pending.get();
        ensureQtApplication();
        return QGuiApplication::clipboard()->mimeData();
    }
};

TClipboard::TClipboard() : FImpl(std::make_unique<Impl>()) {}

TClipboard::~TClipboard() = default;

void TClipboard::Open()
{
    if (FImpl->openCount++ == 0)
        FImpl->pending.reset();
}

void TClipboard::Close()
{
    if (FImpl->openCount == 0 || --FImpl->openCount > 0)
        return;
    if (!FImpl->pending)
        return;
    ensureQtApplication();
    // The clipboard takes the data over.
    QGuiApplication::clipboard()->setMimeData(FImpl->pending.release());
}

void TClipboard::Clear()
{
    Open();
    FImpl->pending = std::make_unique<QMimeData>();
    Close();
}

// --- Reading

bool TClipboard::HasFormat(UINT Format) const
{
    const QString Type = mimeTypeOf(Format);
    const QMimeData* Data = FImpl->current();
    return !Type.isEmpty() && Data && Data->hasFormat(Type);
}

std::vector<uint8_t> TClipboard::GetAsHandle(UINT Format) const
{
    const QMimeData* Data = FImpl->current();
    if (!Data)
        return {};
    if (Format == CF_TEXT) {
        if (!Data->hasText())
            return {};
        const std::string Text = ui_private::fromQString(Data->text());
        return std::vector<uint8_t>(Text.begin(), Text.end());
    }
    const QString Type = mimeTypeOf(Format);
    if (Type.isEmpty() || !Data->hasFormat(Type))
        return {};
    const QByteArray Bytes = Data->data(Type);
    return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

std::string TClipboard::GetAsText() const
{
    const std::vector<uint8_t> Bytes = GetAsHandle(CF_TEXT);
    return std::string(Bytes.begin(), Bytes.end());
}

// --- Writing

void TClipboard::put(UINT Format, std::vector<uint8_t> Bytes)
{
    const QString Type = mimeTypeOf(Format);
    if (Type.isEmpty())
        throw Exception(SUnknownClipboardFormat);
    Open();
    // The first put of a session empties the clipboard, as opening it for writing does.
    if (!FImpl->pending)
        FImpl->pending = std::make_unique<QMimeData>();
    if (Format == CF_TEXT)
        FImpl->pending->setText(
            ui_private::toQString(std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size())));
    else
        FImpl->pending->setData(Type, QByteArray(reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size())));
    Close();
}

void TClipboard::SetAsHandle(UINT Format, std::span<const uint8_t> Data)
{
    if (Format == CF_ENHMETAFILE && !SetEnhMetaFileBits(Data))
        throw EInvalidGraphic(SInvalidMetafile);
    put(Format, std::vector<uint8_t>(Data.begin(), Data.end()));
}

void TClipboard::SetAsText(std::string_view Text) { put(CF_TEXT, std::vector<uint8_t>(Text.begin(), Text.end())); }

void TClipboard::Assign(const TPersistent& Source)
{
    const auto* Metafile = dynamic_cast<const TMetafile*>(&Source);
    if (!Metafile) {
        TPersistent::Assign(Source);
        return;
    }
    if (const EnhMetaFile* Image = Metafile->GetHandle()) {
        put(CF_ENHMETAFILE, GetEnhMetaFileBits(*Image));
        return;
    }
    // An empty picture is put as nothing: the clipboard is emptied of what it held.
    Clear();
}

void TClipboard::AssignTo(TPersistent& Dest) const
{
    auto* Metafile = dynamic_cast<TMetafile*>(&Dest);
    const std::vector<uint8_t> Bytes = Metafile ? GetAsHandle(CF_ENHMETAFILE) : std::vector<uint8_t>();
    HENHMETAFILE Image = Bytes.empty() ? nullptr : SetEnhMetaFileBits(Bytes);
    if (!Image) {
        TPersistent::AssignTo(Dest);
        return;
    }
    Metafile->SetHandle(std::move(Image));
}

TClipboard* Clipboard()
{
    // Kept for the program's run, like the original's clipboard object.
    static TClipboard* Instance = new TClipboard;
    return Instance;
}
