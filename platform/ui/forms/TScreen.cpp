//===- TScreen.cpp - The screen: its size, its forms, the active form and the cursor ===//
#include "platform/ui/forms/TScreen.h"

#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/forms/TForm.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Exception.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

#include <algorithm>

TScreen* Screen = nullptr;

namespace {

// Lives to the end of the process, as the application object does.
struct ScreenLifetime {
    ScreenLifetime() { Screen = new TScreen(nullptr); }
} screenLifetime;

} // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

namespace {

/// Centring on a fixed screen larger than the display would put windows partly off it.
QSize screenSize()
{
    if (QGuiApplication::instance() && !ui_private::offscreenPlatform())
        if (const QScreen* Primary = QGuiApplication::primaryScreen())
            return Primary->geometry().size();
    return QSize(ScreenWidth, ScreenHeight);
}

} // namespace

int TScreen::GetWidth() const { return screenSize().width(); }

int TScreen::GetHeight() const { return screenSize().height(); }

TForm* TScreen::GetActiveForm() const { return TForm::activeForm(); }

void TScreen::SetCursor(TCursor Value)
{
    if (Value == FCursor)
        return;
    Application->Initialize();
    // One override at a time: the previous one goes before the next is set.
    if (FCursor != crDefault)
        QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (FCursor != crDefault)
        QApplication::setOverrideCursor(QCursor(ui_private::toQCursor(FCursor)));
}

// --- Forms and data modules

namespace {

template <class T>
T* itemAt(const std::vector<T*>& List, int Index)
{
    if (Index < 0 || Index >= static_cast<int>(List.size()))
        throw EListError(Format(SListIndexError, { Index }));
    return List[static_cast<size_t>(Index)];
}

template <class T>
void removeFrom(std::vector<T*>& List, T* Item)
{
    List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

} // namespace

TForm* TScreen::Forms(int Index) const { return itemAt(FForms, Index); }

TDataModule* TScreen::DataModules(int Index) const { return itemAt(FDataModules, Index); }

void TScreen::removeForm(TForm* Form) { removeFrom(FForms, Form); }

void TScreen::removeDataModule(TDataModule* Module) { removeFrom(FDataModules, Module); }
