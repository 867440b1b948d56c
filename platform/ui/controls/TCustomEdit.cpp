//===- TCustomEdit.cpp - Single-line edit fields ----------------------------===//
#include "platform/ui/controls/TCustomEdit.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/qt/View_p.h"

#include "platform/user/Dialogs.h"

#include <QLineEdit>

#include <algorithm>
#include <climits>

namespace {

template <class T>
void publishEdit(Published<T>& P)
{
    P.String("Text", &TCustomEdit::GetText, &TCustomEdit::SetText);
    P.Int("MaxLength", &TCustomEdit::GetMaxLength, &TCustomEdit::SetMaxLength);
    P.Bool("ReadOnly", &TCustomEdit::GetReadOnly, &TCustomEdit::SetReadOnly);
    P.Event("OnChange", &TCustomEdit::OnChange);
}

const PublishedClass& CustomEditClass = PublishClass<TCustomEdit, TWinControl>("TCustomEdit");
const PublishedClass& EditClass = PublishClass<TEdit, TCustomEdit>("TEdit", publishEdit<TEdit>);
const PublishedClass& MaskEditClass = PublishClass<TMaskEdit, TCustomEdit>("TMaskEdit", publishEdit<TMaskEdit>);

/// The edit's widget. The class library changes its text itself (typing, pasting, the
/// program); textEdited reports what the operator did by Qt's own means (Delete, cut, undo).
class EditView : public ui_private::View {
public:
    EditView(TCustomEdit& Edit, QWidget* Parent) : View(Edit, new ui_private::Bridge<QLineEdit>(&Edit, Parent))
    {
        QLineEdit* Line = line();
        Line->setFocusPolicy(Qt::StrongFocus);
        // Pasting goes through the class library's rules; Qt's menu and drops would bypass them.
        Line->setContextMenuPolicy(Qt::NoContextMenu);
        Line->setAcceptDrops(false);
        TCustomEdit* Control = &Edit;
        QObject::connect(Line, &QLineEdit::textEdited, Line, [Line, Control](const QString& Text) {
            if (dynamic_cast<ui_private::BridgeBase*>(Line)->control)
                ui_private::Access::editEdited(Control, ui_private::fromQString(Text));
        });
    }

    QLineEdit* line() const { return static_cast<QLineEdit*>(widget()); }

    void setText(const std::string& Text, int Caret)
    {
        if (!line())
            return;
        const QSignalBlocker Quiet(line());
        line()->setText(ui_private::toQString(Text));
        line()->setCursorPosition(Caret);
    }
};

EditView* viewOf(TCustomEdit& Edit) { return dynamic_cast<EditView*>(ui_private::Access::viewOf(Edit)); }

} // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = { csClickEvents, csDoubleClicks };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

std::unique_ptr<ui_private::View> TCustomEdit::CreateView()
{
    auto View = std::make_unique<EditView>(*this, ui_private::Access::containerOf(*GetParent()));
    View->setText(FText, FSelStart);
    View->line()->setReadOnly(FReadOnly);
    if (FSelLength > 0)
        View->line()->setSelection(FSelStart, FSelLength);
    return View;
}

// --- Text

const std::string& TCustomEdit::GetText() const { return FText; }

void TCustomEdit::SetText(const std::string& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    // The original's edit puts the caret at the start of a text set by the program.
    FSelStart = 0;
    FSelLength = 0;
    if (EditView* View = viewOf(*this))
        View->setText(FText, 0);
    Change();
}

void TCustomEdit::SetMaxLength(int Value) { FMaxLength = std::max(0, Value); }

void TCustomEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    if (EditView* View = viewOf(*this))
        View->line()->setReadOnly(Value);
}

void TCustomEdit::DoEnter()
{
    if (!FEnteredByMouse)
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

// --- Selection

int TCustomEdit::GetSelStart() const
{
    if (EditView* View = viewOf(const_cast<TCustomEdit&>(*this)))
        return View->line()->hasSelectedText() ? View->line()->selectionStart() : View->line()->cursorPosition();
    return FSelStart;
}

int TCustomEdit::GetSelLength() const
{
    if (EditView* View = viewOf(const_cast<TCustomEdit&>(*this)))
        return View->line()->hasSelectedText() ? static_cast<int>(View->line()->selectedText().size()) : 0;
    return FSelLength;
}

void TCustomEdit::SetSelStart(int Value)
{
    FSelStart = std::clamp(Value, 0, static_cast<int>(FText.size()));
    FSelLength = 0;
    if (EditView* View = viewOf(*this))
        View->line()->setCursorPosition(FSelStart);
}

void TCustomEdit::SetSelLength(int Value)
{
    FSelStart = GetSelStart();
    FSelLength = std::clamp(Value, 0, static_cast<int>(FText.size()) - FSelStart);
    if (EditView* View = viewOf(*this))
        View->line()->setSelection(FSelStart, FSelLength);
}

std::string TCustomEdit::GetSelText() const { return FText.substr(GetSelStart(), GetSelLength()); }

void TCustomEdit::SelectAll()
{
    SetSelStart(0);
    SetSelLength(static_cast<int>(FText.size()));
}

// --- Editing

int TCustomEdit::room() const
{
    if (FMaxLength == 0)
        return INT_MAX;
    return std::max(0, FMaxLength - (static_cast<int>(FText.size()) - GetSelLength()));
}

void TCustomEdit::replaceSelection(const std::string& Text)
{
    const int Start = GetSelStart(), Length = GetSelLength();
    FText = FText.substr(0, Start) + Text + FText.substr(Start + Length);
    FSelStart = Start + static_cast<int>(Text.size());
    FSelLength = 0;
    if (EditView* View = viewOf(*this))
        View->setText(FText, FSelStart);
    Change();
}

void TCustomEdit::typeChar(char Key)
{
    if (FReadOnly)
        return;
    if (Key == '\b') {
        if (GetSelLength() == 0) {
            const int Start = GetSelStart();
            if (Start == 0)
                return;
            FSelStart = Start - 1;
            FSelLength = 1;
            if (EditView* View = viewOf(*this))
                View->line()->setSelection(FSelStart, 1);
        }
        replaceSelection(std::string());
        return;
    }
    if (room() < 1) {
        // The original's edit control refuses the character with a beep.
        MessageBeep(0);
        return;
    }
    replaceSelection(std::string(1, Key));
}

void TCustomEdit::PasteText(const std::string& Text)
{
    if (FReadOnly)
        return;
    // A single-line edit takes the first line of what is pasted.
    std::string Line = Text.substr(0, Text.find_first_of("\r\n"));
    const int Room = room();
    if (static_cast<int>(Line.size()) > Room)
        Line.resize(static_cast<size_t>(Room));
    if (Line.empty() && GetSelLength() == 0)
        return;
    replaceSelection(Line);
}

void TCustomEdit::textEdited(const std::string& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    Change();
}
