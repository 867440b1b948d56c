//===- TScreen.cpp - The screen: its size, the active form and the application's cursor ===//
#include "platform/ui/TScreen.h"

#include "platform/ui/QtConvert_p.h"
#include "platform/ui/TApplication.h"
#include "platform/ui/TForm.h"

#include <QApplication>
#include <QCursor>

TScreen* Screen = nullptr;

namespace {

// Lives to the end of the process, as the application object does.
struct ScreenLifetime {
    ScreenLifetime() { Screen = new TScreen(nullptr); }
} screenLifetime;

} // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) { }

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
