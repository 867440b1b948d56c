//===- message_loop_test.cpp - Messages from another process: OnMessage, modal loops, boxes ===//
#include "tests/platform/ui/UiFixture.h"

#include "tests/platform/ui/UiTestForms.h"
#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/fonts/FontEngine.h"
#include "platform/ui/forms/Dialogs.h"
#include "platform/user/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr UINT LinkNotice = WM_USER + 0x101;
constexpr UINT ButtonOverride = 0x8D2;

/// The test form with a window procedure of its own: it answers the button-override message
/// and records everything else that reaches it.
class TMessageForm : public TUiTestForm {
public:
    using TUiTestForm::TUiTestForm;
    std::string FormResourceName() const override { return "TUiTestForm"; }

    std::vector<UINT> Received;
    bool Override = false;

protected:
    void WndProc(TMessage& Message) override
    {
        Received.push_back(Message.Msg);
        if (Message.Msg == ButtonOverride) {
            Override = static_cast<int32_t>(Message.WParam) > 0;
            Message.Result = Override ? 1 : 0;
            return;
        }
        TUiTestForm::WndProc(Message);
    }
};

struct Seen {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    HWND Window;
};

class MessageLoopTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Application->CreateForm(Form);
        Poster = std::make_unique<testsupport::ChildProcess>(
            std::vector<std::string> { testsupport::BinDir() + "/ui_test_poster" });
        Application->OnMessage = [this](MSG& Msg, bool& Handled) {
            Filtered.push_back({ Msg.message, Msg.wParam, Msg.lParam, Msg.hwnd });
            Handled = Msg.message == LinkNotice;
            if (OnLink && Handled)
                OnLink(Msg);
        };
    }
    void TearDown() override
    {
        Application->OnMessage = nullptr;
        UiTest::TearDown();
    }

    /// Posts from the other process; true when the post went through.
    bool post(HWND Window, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0)
    {
        return Poster->call1("post " + std::to_string(Window) + " " + std::to_string(Msg) + " "
                             + std::to_string(static_cast<long long>(WParam)) + " " + std::to_string(LParam))
               == "1";
    }
    bool filtered(UINT Msg) const
    {
        for (const Seen& S : Filtered)
            if (S.Msg == Msg)
                return true;
        return false;
    }
    bool received(UINT Msg) const
    {
        for (UINT M : Form->Received)
            if (M == Msg)
                return true;
        return false;
    }
    /// Runs the loop, waiting as it does, until Done holds; a failure that says the guard
    /// expired when it has not within a minute and a half (a guard against a hang, not a
    /// measurement).
    template <class F>
    ::testing::AssertionResult loopUntil(F Done)
    {
        constexpr int GuardMs = 90000;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(GuardMs);
        // The timer only wakes the loop now and then, so that the guard is looked at.
        const uintptr_t timer = SetTimer(0, 0, 50);
        bool done = Done();
        while (!done && std::chrono::steady_clock::now() < giveUp) {
            Application->HandleMessage();
            done = Done();
        }
        KillTimer(0, timer);
        return done ? ::testing::AssertionSuccess() : testsupport::GuardExpired(GuardMs);
    }

    TMessageForm* Form = nullptr;
    std::unique_ptr<testsupport::ChildProcess> Poster;
    std::vector<Seen> Filtered;
    std::function<void(MSG&)> OnLink;
};

TEST_F(MessageLoopTest, APostFromAnotherProcessReachesOnMessageDuringRun)
{
    if (Application->GetTerminated())
        GTEST_SKIP() << "an earlier test of this run ended the application (ctest runs each test alone)";
    const HWND Target = Application->GetHandle();
    Form->OnShow = [&](TObject*) { ASSERT_TRUE(post(Target, LinkNotice, 7, 0x3130)); };
    OnLink = [&](MSG&) { Form->Close(); };
    Application->Run();
    ASSERT_EQ(Filtered.size(), 1u);
    EXPECT_EQ(Filtered[0].Msg, LinkNotice);
    EXPECT_EQ(Filtered[0].WParam, 7u);
    EXPECT_EQ(Filtered[0].LParam, 0x3130);
    EXPECT_EQ(Filtered[0].Window, Target);
    EXPECT_TRUE(Application->GetTerminated()) << "closing the main form ended Run";
}

TEST_F(MessageLoopTest, AMessageTheFilterLeavesReachesTheFormsProcedure)
{
    ASSERT_TRUE(post(Form->GetHandle(), WM_USER + 5));
    Application->ProcessMessages();
    EXPECT_TRUE(filtered(WM_USER + 5));
    EXPECT_TRUE(received(WM_USER + 5));

    ASSERT_TRUE(post(Form->GetHandle(), LinkNotice));
    Application->ProcessMessages();
    EXPECT_TRUE(filtered(LinkNotice));
    EXPECT_FALSE(received(LinkNotice)) << "a handled message goes no further";
}

TEST_F(MessageLoopTest, APostFromAnotherProcessReachesOnMessageDuringShowModal)
{
    TUiDialog* Dialog = TForm::Create<TUiDialog>(Application);
    uitest::ModalAnswerer Answers;
    bool UpWhenSeen = false;
    OnLink = [&](MSG&) { UpWhenSeen = Dialog->GetVisible(); };
    Answers.Then([&](TForm& F) {
        ASSERT_TRUE(post(Application->GetHandle(), LinkNotice));
        EXPECT_TRUE(loopUntil([&] { return filtered(LinkNotice); }));
        uitest::Click(*static_cast<TUiDialog&>(F).btn_yes);
    });
    EXPECT_EQ(Dialog->ShowModal(), mrYes);
    EXPECT_TRUE(UpWhenSeen) << "seen by OnMessage while the modal form was up";
}

TEST_F(MessageLoopTest, APostReachesOnMessageInsideEveryModalLoop)
{
    // The loops of the platform's own boxes and dialogs, as the operator meets them; each is
    // closed once the notice posted while it was up has passed the filter.
    TSaveDialog Save(nullptr);
    TPrintDialog Print(nullptr);
    TPrinterSetupDialog PrinterSetup(nullptr);
    const std::vector<std::pair<std::string, std::function<void()>>> loops = {
        { "message box",
          [] { MessageBox(Application->GetHandle(), "Graphic was not saved, quit anyway?", "Attention", MB_YESNO); } },
        { "save dialog", [&] { Save.Execute(); } },
        { "print dialog", [&] { Print.Execute(); } },
        { "printer set-up dialog", [&] { PrinterSetup.Execute(); } },
    };
    for (const auto& [name, runLoop] : loops) {
        Filtered.clear();
        Form->Received.clear();
        bool posted = false, upWhenSeen = false;
        OnLink = [&](MSG&) { upWhenSeen = QApplication::activeModalWidget() != nullptr; };
        QTimer watch;
        watch.setInterval(0);
        // Only against a hang: the dialog goes when the second post is back, or after the guard.
        constexpr int GuardMs = 90000;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(GuardMs);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            // Order is kept per sender: once the second arrived, the first was handled before it.
            if (!posted)
                posted = post(Application->GetHandle(), LinkNotice) && post(Form->GetHandle(), WM_USER + 9);
            else if (received(WM_USER + 9))
                dialog->done(QDialog::Rejected);
            else if (std::chrono::steady_clock::now() > giveUp) {
                ADD_FAILURE() << "inside the " << name << ", the second post did not come back within the guard of "
                              << GuardMs << " ms";
                dialog->done(QDialog::Rejected);
            }
        });
        watch.start();
        runLoop();
        EXPECT_TRUE(posted) << name;
        EXPECT_TRUE(filtered(LinkNotice)) << "the notice reached OnMessage inside the " << name;
        EXPECT_TRUE(upWhenSeen) << "while the " << name << " was up";
    }
}

TEST_F(MessageLoopTest, WhileATestAnswersABoxPostedMessagesReachOnMessage)
{
    uitest::MessageBoxAnswerer Boxes;
    Boxes.WhileUp = [&](const uitest::BoxRecord&) {
        ASSERT_TRUE(post(Application->GetHandle(), LinkNotice));
        ASSERT_TRUE(post(Form->GetHandle(), WM_USER + 9));
        // Order is kept per sender: once the second arrived, the first was handled before it.
        EXPECT_TRUE(loopUntil([&] { return received(WM_USER + 9); }));
    };
    EXPECT_EQ(Application->MessageBox("Are You sure?", "Question", MB_YESNO), IDYES);
    EXPECT_TRUE(filtered(LinkNotice));
    EXPECT_TRUE(filtered(WM_USER + 9)) << "the filter saw it and let it pass";
    EXPECT_FALSE(received(LinkNotice)) << "a handled message goes no further";
}

TEST_F(MessageLoopTest, TheRealMessageBoxIsWideEnoughForItsCaptionOnTheTitleBar)
{
    const std::string Caption = "Laser Pulse Energy Statistic";
    int BoxWidth = 0, CaptionWidth = 0;
    uitest::RealBoxAnswerer Answer(
        [&] {
            QWidget* Box = QApplication::activeModalWidget();
            QFont TitleFont = Box->font();
            TitleFont.setBold(true);
            BoxWidth = Box->width();
            CaptionWidth = QFontMetrics(TitleFont).horizontalAdvance(QString::fromStdString(Caption));
            return true;
        },
        IDOK);
    EXPECT_EQ(MessageBox(Application->GetHandle(), " cannot start laser", Caption, MB_OK), IDOK);
    // Beside the caption the bar holds the window icon and three buttons of about 20 pixels.
    EXPECT_GE(BoxWidth, CaptionWidth + 80);
}

// The text is drawn by the font engine; a label sized by Qt's measure of the dialog font cut
// off the question mark of Tessaly's question. Every line gets the room it is drawn in.
TEST_F(MessageLoopTest, TheRealMessageBoxHasRoomForEveryLineAsItIsDrawn)
{
    const std::string Lines[] = { "Graphic was not saved, start anyway?", "Graphic was not saved, quit anyway?" };
    int Room = 0, Rows = 0;
    uitest::RealBoxAnswerer Answer(
        [&] {
            auto* Label = QApplication::activeModalWidget()->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            Room = Label ? Label->contentsRect().width() : 0;
            Rows = Label ? Label->contentsRect().height() : 0;
            return true;
        },
        IDYES);
    EXPECT_EQ(MessageBox(Application->GetHandle(), Lines[0] + "\r\n" + Lines[1], "Attention", MB_YESNO), IDYES);
    LOGFONTA Dialog {};
    Dialog.lfHeight = -11;
    std::strncpy(Dialog.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    const auto Font = RealizedFont::Realize(Dialog);
    for (const std::string& Line : Lines)
        EXPECT_GE(Room, Font->TextExtent(Line).cx) << Line;
    EXPECT_GE(Rows, 2 * Font->TextMetrics().tmHeight);
}

TEST_F(MessageLoopTest, AMessageSentToTheFormIsAnsweredByItsHandler)
{
    EXPECT_EQ(SendMessage(Form->GetHandle(), ButtonOverride, 5, 0), 1);
    EXPECT_TRUE(Form->Override);
    EXPECT_EQ(SendMessage(Form->GetHandle(), ButtonOverride, static_cast<WPARAM>(0xFFFFFFFDu), 0), 0)
        << "wParam is read as a signed 32-bit number";
    EXPECT_FALSE(Form->Override);
    EXPECT_EQ(SendMessage(0x7FFFFFFF, ButtonOverride, 5, 0), 0) << "a window that is not ours answers 0";
    EXPECT_TRUE(Filtered.empty()) << "sent messages do not pass the filter";
}

TEST_F(MessageLoopTest, ThePostedButtonOverrideReachesTheHandlerAfterTheFilter)
{
    ASSERT_TRUE(post(Form->GetHandle(), ButtonOverride, 1, 0));
    Application->ProcessMessages();
    EXPECT_TRUE(filtered(ButtonOverride));
    EXPECT_TRUE(Form->Override);
}

TEST_F(MessageLoopTest, WMCloseFromAnotherProcessClosesTheForm)
{
    TUiDialog* Dialog = TForm::Create<TUiDialog>(Application);
    Dialog->Show();
    ASSERT_TRUE(post(Dialog->GetHandle(), WM_CLOSE));
    EXPECT_TRUE(loopUntil([&] { return !Dialog->GetVisible(); }));
    EXPECT_NE(std::find(Dialog->Calls.begin(), Dialog->Calls.end(), "FormCloseQuery"), Dialog->Calls.end());
    EXPECT_TRUE(filtered(WM_CLOSE)) << "the filter saw it first";
}

TEST_F(MessageLoopTest, AnExceptionInAHandlerIsShownTitledWithTheApplicationTitleAndTheLoopGoesOn)
{
    Application->SetTitle("Heliant");
    uitest::MessageBoxAnswerer Boxes;
    int Notices = 0;
    OnLink = [&](MSG&) {
        if (++Notices == 1)
            throw Exception("Stream read Error");
    };
    ASSERT_TRUE(post(Application->GetHandle(), LinkNotice));
    ASSERT_TRUE(post(Application->GetHandle(), LinkNotice));
    Application->ProcessMessages();
    EXPECT_EQ(Notices, 2);
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].Caption, "Heliant");
    EXPECT_EQ(Boxes.Boxes()[0].Text, "Stream read Error.");
    EXPECT_EQ(Boxes.Boxes()[0].Type, MB_OK | MB_ICONERROR);
}

TEST_F(MessageLoopTest, AnExceptionInAClickHandlerIsShownAndTheFormStaysUsable)
{
    uitest::MessageBoxAnswerer Boxes;
    Form->Show();
    Form->btn_cancel->OnClick = [](TObject*) { throw Exception("to much Application"); };
    uitest::Click(*Form->btn_cancel);
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].Text, "to much Application.");
    uitest::Click(*Form->btn_start);
    EXPECT_EQ(Form->Calls.back(), "btn_startClick");
}

TEST_F(MessageLoopTest, APostToAWindowThatIsGoneFailsQuietly)
{
    const HWND Gone = Form->GetHandle();
    delete Form;
    Form = nullptr;
    EXPECT_FALSE(post(Gone, LinkNotice));
    Application->ProcessMessages();
    EXPECT_TRUE(Filtered.empty());
}

} // namespace
