//===- move_size_test.cpp - Moving and sizing a window control with the mouse ===//
#include "tests/platform/ui/UiFixture.h"

#include "platform/ui/controls/Mouse.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/ui/forms/TForm.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

class MoveSizeTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 600, 400);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(50, 40, 200, 100);
        Form->Show();
    }
    void TearDown() override
    {
        SetMoveSizeHook(nullptr);
        UiTest::TearDown();
    }

    TPoint cursor() const
    {
        POINT P;
        EXPECT_TRUE(GetCursorPos(&P));
        return Point(P.x, P.y);
    }

    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
};

TEST_F(MoveSizeTest, TheCommandsFollowTheMouseFromWhereItWas)
{
    struct Case {
        WPARAM Command;
        std::vector<TPoint> Moves; // from the cursor's place when the command came
        TRect Expected;
    };
    const Case Cases[] = {
        { SC_SIZE + WMSZ_BOTTOMRIGHT, { { 10, 5 }, { 30, -20 } }, Bounds(50, 40, 230, 80) },
        { SC_MOVE + 2, { { 10, 5 }, { -60, 25 } }, Bounds(-10, 65, 200, 100) },
        { SC_SIZE + WMSZ_BOTTOMRIGHT, { { -500, -500 } }, Bounds(50, 40, 0, 0) },
        // Sizing from another edge is not handled: the control stays.
        { SC_SIZE + 1, { { 30, 30 } }, Bounds(50, 40, 200, 100) },
    };
    for (const Case& C : Cases) {
        Panel->SetBounds(50, 40, 200, 100);
        const TPoint Start = cursor();
        int Calls = 0;
        SetMoveSizeHook([&](TWinControl& Control) {
            ++Calls;
            EXPECT_EQ(&Control, Panel);
            std::vector<TPoint> Path;
            for (TPoint Move : C.Moves)
                Path.push_back(Point(Start.X + Move.X, Start.Y + Move.Y));
            return Path;
        });
        EXPECT_EQ(Panel->Perform(WM_SYSCOMMAND, C.Command, 0), 0);
        EXPECT_EQ(Panel->GetBoundsRect(), C.Expected) << "command " << C.Command;
        EXPECT_EQ(Calls, C.Command == SC_SIZE + 1 ? 0 : 1);
    }
}

/// Counts the mouse events that reach it.
class TCountingWidget : public QWidget {
public:
    int MouseEvents = 0;

protected:
    void mouseMoveEvent(QMouseEvent*) override { ++MouseEvents; }
    void mouseReleaseEvent(QMouseEvent*) override { ++MouseEvents; }
};

// The loop itself, fed with the mouse and key events that Qt would deliver.
class MouseLoopTest : public MoveSizeTest {
protected:
    void SetUp() override
    {
        MoveSizeTest::SetUp();
        Receiver = std::make_unique<TCountingWidget>();
    }
    void TearDown() override
    {
        Receiver.reset();
        MoveSizeTest::TearDown();
    }
    void post(QEvent* Event) { QCoreApplication::postEvent(Receiver.get(), Event); }
    void postMouse(QEvent::Type Type, TPoint Global)
    {
        const QPointF P(Global.X, Global.Y);
        const Qt::MouseButton Button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons Held = Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        post(new QMouseEvent(Type, P, P, Button, Held, Qt::NoModifier));
    }
    std::unique_ptr<TCountingWidget> Receiver;
};

TEST_F(MouseLoopTest, TheControlFollowsUntilTheButtonIsReleasedAndNothingElseHearsTheMouse)
{
    QCursor::setPos(700, 500);
    const TPoint Start = cursor();
    EXPECT_EQ(Start, Point(700, 500));
    postMouse(QEvent::MouseMove, Point(Start.X + 30, Start.Y + 20));
    postMouse(QEvent::MouseButtonRelease, Point(Start.X + 40, Start.Y + 25));
    Panel->Perform(WM_SYSCOMMAND, SC_MOVE + 2, 0);
    EXPECT_EQ(Panel->GetBoundsRect(), Bounds(90, 65, 200, 100));
    EXPECT_EQ(Receiver->MouseEvents, 0);
}

TEST_F(MouseLoopTest, EscapePutsTheControlBack)
{
    const TPoint Start = cursor();
    postMouse(QEvent::MouseMove, Point(Start.X + 30, Start.Y + 20));
    post(new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    Panel->Perform(WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, 0);
    EXPECT_EQ(Panel->GetBoundsRect(), Bounds(50, 40, 200, 100));
}

} // namespace
