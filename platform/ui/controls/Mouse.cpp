//===- Mouse.cpp - Where the mouse is, and moving or sizing a window with it ===//
#include "platform/ui/controls/Mouse.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/TWinControl.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

namespace {

TMoveSizeHook moveSizeHook;

/// Takes every mouse and key event of the application while the loop runs, as the platform's
/// modal move loop does: the controls under the mouse hear nothing of it.
class MoveSizeFilter : public QObject {
public:
    explicit MoveSizeFilter(TPoint Start) : Pos(Start) { QCoreApplication::instance()->installEventFilter(this); }
    ~MoveSizeFilter() override { QCoreApplication::instance()->removeEventFilter(this); }

    TPoint Pos;
    bool Moved = false;
    bool Done = false;
    bool Cancelled = false;

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        switch (Event->type()) {
        case QEvent::MouseMove:
            Pos = globalPos(*static_cast<QMouseEvent*>(Event));
            Moved = true;
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            Pos = globalPos(*static_cast<QMouseEvent*>(Event));
            Moved = true;
            Done = true;
            return true;
        case QEvent::KeyPress: {
            const int Key = static_cast<QKeyEvent*>(Event)->key();
            if (Key == Qt::Key_Escape)
                Cancelled = Done = true;
            else if (Key == Qt::Key_Return || Key == Qt::Key_Enter)
                Done = true;
            return true;
        }
        case QEvent::KeyRelease: return true;
        default: return false;
        }
    }

private:
    static TPoint globalPos(const QMouseEvent& Event)
    {
        const QPoint P = Event.globalPosition().toPoint();
        return Point(P.x(), P.y());
    }
};

/// Where the control goes when the mouse has moved from Start to Pos.
TRect trackedBounds(const TRect& Original, bool Sizing, TPoint Start, TPoint Pos)
{
    // 64-bit: a position far off the screen must not wrap the sum.
    const auto clampInt = [](long long V) {
        return static_cast<int>(std::clamp<long long>(V, -(1LL << 30), 1LL << 30));
    };
    const long long Dx = static_cast<long long>(Pos.X) - Start.X;
    const long long Dy = static_cast<long long>(Pos.Y) - Start.Y;
    if (Sizing)
        return Bounds(Original.Left, Original.Top, clampInt(std::max(0LL, Original.Width() + Dx)),
                      clampInt(std::max(0LL, Original.Height() + Dy)));
    return Bounds(clampInt(Original.Left + Dx), clampInt(Original.Top + Dy), Original.Width(), Original.Height());
}

} // namespace

bool GetCursorPos(POINT* Point)
{
    if (!Point)
        return false;
    Application->Initialize();
    const QPoint P = QCursor::pos();
    Point->x = P.x();
    Point->y = P.y();
    return true;
}

TMoveSizeHook SetMoveSizeHook(TMoveSizeHook Hook) { return std::exchange(moveSizeHook, std::move(Hook)); }

bool RunMoveSizeLoop(TWinControl& Control, WPARAM Command)
{
    const bool Sizing = (Command & 0xFFF0) == SC_SIZE;
    if (Sizing ? (Command & 0xF) != WMSZ_BOTTOMRIGHT : (Command & 0xFFF0) != SC_MOVE)
        return false;
    POINT Cursor;
    GetCursorPos(&Cursor);
    const TPoint Start = Point(Cursor.x, Cursor.y);
    const TRect Original = Control.GetBoundsRect();
    const auto track = [&](TPoint Pos) { Control.SetBoundsRect(trackedBounds(Original, Sizing, Start, Pos)); };

    if (moveSizeHook) {
        TMoveSizeHook Hook = moveSizeHook;
        for (TPoint Pos : Hook(Control)) {
            if (!ui_private::Access::alive(&Control))
                return true;
            track(Pos);
        }
        return true;
    }

    MoveSizeFilter Mouse(Start);
    while (!Mouse.Done) {
        Application->HandleMessage();
        // Something the loop dispatched may have freed the control.
        if (!ui_private::Access::alive(&Control))
            return true;
        if (std::exchange(Mouse.Moved, false) && !Mouse.Cancelled)
            track(Mouse.Pos);
    }
    if (Mouse.Cancelled)
        Control.SetBoundsRect(Original);
    return true;
}
