//===- controls_test.cpp - Hints, inherited looks, standard controls, menus, dialogs, closing ===//
#include "tests/platform/ui/UiFixture.h"
#include "tests/platform/ui/UiTestForms.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/ui/forms/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>

namespace {

using ControlsTest = ShownTestFormTest;

TEST_F(ControlsTest, TheToolTipIsTheShortHintWithItsLineBreaks)
{
    EXPECT_EQ(uitest::ToolTipOf(*Form->btn_start), "start\nnow");
    EXPECT_EQ(uitest::ToolTipOf(*Form->Panel1), "short hint");
    EXPECT_EQ(uitest::ToolTipOf(*Form->btn_cancel), "") << "its own ShowHint is off";
}

TEST_F(ControlsTest, ControlsWithParentShowHintFollowTheForm)
{
    Form->SetShowHint(false);
    EXPECT_EQ(uitest::ToolTipOf(*Form->Panel1), "");
    EXPECT_EQ(uitest::ToolTipOf(*Form->btn_start), "");
    EXPECT_FALSE(Form->lab_inner->GetShowHint()) << "grandchildren follow too";
    Form->SetShowHint(true);
    EXPECT_EQ(uitest::ToolTipOf(*Form->Panel1), "short hint");
    EXPECT_FALSE(Form->btn_cancel->GetShowHint()) << "a control with its own ShowHint stays";
}

TEST_F(ControlsTest, ALabelTakesItsParentsColour)
{
    EXPECT_TRUE(Form->lab_inner->GetParentColor());
    EXPECT_EQ(Form->lab_inner->GetColor(), clBtnFace);
    Form->Panel1->SetColor(clYellow);
    EXPECT_EQ(Form->lab_inner->GetColor(), clYellow);
    Form->lab_inner->SetColor(clAqua);
    EXPECT_FALSE(Form->lab_inner->GetParentColor());
    Form->Panel1->SetColor(clRed);
    EXPECT_EQ(Form->lab_inner->GetColor(), clAqua);
}

TEST_F(ControlsTest, ButtonWidgetsShowTheirCaptions)
{
    EXPECT_EQ(uitest::WidgetText(*Form->btn_start), "&Start");
    Form->btn_start->SetCaption("&REPETITION ON");
    EXPECT_EQ(uitest::WidgetText(*Form->btn_start), "&REPETITION ON");
    EXPECT_EQ(uitest::WidgetText(*Form->Edit1), "abc");
    EXPECT_EQ(uitest::WidgetText(*Form), "Test form");
}

TEST_F(ControlsTest, HiddenControlsAreNotSeenAndDisabledOnesTakeNoClicks)
{
    Form->btn_start->SetVisible(false);
    EXPECT_FALSE(uitest::WidgetVisible(*Form->btn_start));
    Form->btn_start->SetVisible(true);
    EXPECT_TRUE(uitest::WidgetVisible(*Form->btn_start));
    Form->btn_start->SetEnabled(false);
    uitest::Click(*Form->btn_start);
    EXPECT_TRUE(Form->Calls.empty());
}

TEST_F(ControlsTest, EveryChangeOfACheckBoxRaisesOnClick)
{
    int Clicks = 0;
    Form->CheckBox1->OnClick = [&](TObject*) { ++Clicks; };
    Form->CheckBox1->SetChecked(false);
    EXPECT_EQ(Clicks, 1) << "a change by the program counts";
    Form->CheckBox1->SetChecked(false);
    EXPECT_EQ(Clicks, 1) << "no change, no click";
    uitest::Click(*Form->CheckBox1);
    EXPECT_TRUE(Form->CheckBox1->GetChecked());
    EXPECT_EQ(Clicks, 2);
}

TEST_F(ControlsTest, CheckingARadioButtonUnchecksItsSiblings)
{
    auto* A = new TRadioButton(Form);
    A->SetParent(Form);
    auto* B = new TRadioButton(Form);
    B->SetParent(Form);
    B->SetTop(20);
    int Clicks = 0;
    B->OnClick = [&](TObject*) { ++Clicks; };
    A->SetChecked(true);
    uitest::Click(*B);
    EXPECT_TRUE(B->GetChecked());
    EXPECT_FALSE(A->GetChecked());
    EXPECT_EQ(Clicks, 1);
}

TEST_F(ControlsTest, ARadioGroupKeepsItsIndexWithinItsItems)
{
    EXPECT_EQ(Form->RadioGroup1->GetItemIndex(), 1);
    Form->RadioGroup1->SetItemIndex(3);
    EXPECT_EQ(Form->RadioGroup1->GetItemIndex(), -1);
    Form->RadioGroup1->SetItemIndex(2);
    TStringList Fewer;
    Fewer.Add("off");
    Form->RadioGroup1->SetItems(Fewer);
    EXPECT_EQ(Form->RadioGroup1->GetItemIndex(), -1) << "the checked item went";
}

TEST_F(ControlsTest, ARightClickShowsThePopupMenuAtTheScreenPoint)
{
    auto* Menu = new TPopupMenu(Form);
    Menu->SetName("PopupMenu1");
    auto* Item = new TMenuItem(Form);
    Item->SetName("Item_Copy");
    Item->SetCaption("&Copy");
    int Chosen = 0;
    Item->OnClick = [&](TObject*) { ++Chosen; };
    Menu->GetItems()->Add(Item);
    Form->Panel1->SetPopupMenu(Menu);

    uitest::PopupAnswerer Popups;
    Popups.Choose("Item_Copy");
    uitest::MousePress(*Form->lab_inner, mbRight, 3, 4);
    uitest::MouseRelease(*Form->lab_inner, mbRight, 3, 4);
    ASSERT_EQ(Popups.Shown().size(), 1u) << "the label has none; its parent's serves";
    const TPoint Expected = Form->lab_inner->ClientToScreen(Point(3, 4));
    EXPECT_EQ(Popups.Shown()[0].X, Expected.X);
    EXPECT_EQ(Popups.Shown()[0].Y, Expected.Y);
    EXPECT_EQ(Chosen, 1);
    EXPECT_EQ(Menu->PopupComponent, Form->lab_inner);

    delete Menu;
    EXPECT_EQ(Form->Panel1->GetPopupMenu(), nullptr) << "a freed menu is forgotten";
}

TEST_F(ControlsTest, ClientCoordinatesMapToTheScreenThroughTheFrame)
{
    // bsSingle: a 3-pixel frame and a 19-pixel caption; the menu bar below them.
    EXPECT_EQ(Form->GetWidth(), 320 + 6);
    EXPECT_EQ(Form->GetHeight(), 220 + 6 + 19 + 20);
    EXPECT_EQ(Form->btn_start->ClientToScreen(Point(1, 2)), Point(100 + 3 + 8 + 1, 50 + 3 + 19 + 20 + 60 + 2));
    EXPECT_EQ(Form->btn_start->ScreenToClient(Point(112, 154)), Point(1, 2));
}

TEST_F(ControlsTest, SettingTheClientHeightChangesTheFormHeight)
{
    Form->SetClientHeight(266);
    const int ShortHeight = Form->GetHeight();
    Form->SetClientHeight(359);
    EXPECT_EQ(Form->GetHeight(), ShortHeight + 93);
    EXPECT_EQ(Form->GetClientHeight(), 359);
    Form->SetMenu(nullptr);
    EXPECT_EQ(Form->GetClientHeight(), 359) << "the client area keeps its size without the menu";
}

TEST_F(ControlsTest, OnResizeFollowsEveryChangeOfSize)
{
    int Resizes = 0;
    Form->OnResize = [&](TObject*) { ++Resizes; };
    Form->SetClientHeight(300);
    EXPECT_EQ(Resizes, 1);
    Form->SetLeft(20);
    EXPECT_EQ(Resizes, 1) << "moving is no resize";
    Form->SetClientHeight(300);
    EXPECT_EQ(Resizes, 1);
}

TEST_F(ControlsTest, MenuItemsTakeCaptionsAndStatesAndMayBeHidden)
{
    Form->Menu_Exit->SetChecked(true);
    Form->Menu_Exit->SetVisible(false);
    Form->Menu_File->SetCaption("&Datei");
    EXPECT_EQ(Form->Menu_File->IndexOf(Form->Menu_Exit), 0);
    auto* Extra = new TMenuItem(Form);
    Form->Menu_File->Insert(0, Extra);
    EXPECT_EQ(Form->Menu_File->GetCount(), 2);
    EXPECT_THROW(Form->Menu_File->Add(Extra), Exception) << "an item has one place";
    delete Extra;
    EXPECT_EQ(Form->Menu_File->GetCount(), 1) << "a freed item leaves its menu";
}

TEST_F(ControlsTest, SpeedButtonsOfAGroupReleaseEachOther)
{
    auto* A = new TSpeedButton(Form);
    A->SetParent(Form);
    A->SetGroupIndex(1);
    auto* B = new TSpeedButton(Form);
    B->SetParent(Form);
    B->SetGroupIndex(1);
    B->SetLeft(30);
    int Clicks = 0;
    A->OnClick = B->OnClick = [&](TObject*) { ++Clicks; };
    uitest::Click(*A);
    EXPECT_TRUE(A->GetDown());
    uitest::Click(*B);
    EXPECT_TRUE(B->GetDown());
    EXPECT_FALSE(A->GetDown());
    EXPECT_EQ(Clicks, 2);
    uitest::Click(*B);
    EXPECT_TRUE(B->GetDown()) << "without AllowAllUp the last one stays down";
}

TEST_F(ControlsTest, ASpeedButtonReleasedOutsideDoesNotClick)
{
    auto* A = new TSpeedButton(Form);
    A->SetParent(Form);
    int Clicks = 0;
    A->OnClick = [&](TObject*) { ++Clicks; };
    uitest::MousePress(*A, mbLeft, 5, 5);
    uitest::MouseRelease(*A, mbLeft, 50, 5);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(ControlsTest, APanelClicksOnlyWhenReleasedInsideAndDoubleClicks)
{
    int Double = 0;
    Form->Panel1->OnDblClick = [&](TObject*) { ++Double; };
    uitest::MousePress(*Form->Panel1, mbLeft, 5, 5);
    uitest::MouseRelease(*Form->Panel1, mbLeft, 500, 5);
    EXPECT_TRUE(Form->Calls.empty());
    uitest::DoubleClick(*Form->Panel1, 5, 5);
    EXPECT_EQ(count("Panel1Click"), 1);
    EXPECT_EQ(Double, 1);
}

TEST_F(ControlsTest, MouseEventsCarryButtonShiftAndClientCoordinates)
{
    std::vector<std::string> Seen;
    Form->Panel1->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
        Seen.push_back("down " + std::to_string(int(B)) + " " + std::to_string(S.Bits()) + " " + std::to_string(X) + ","
                       + std::to_string(Y));
    };
    Form->Panel1->OnMouseMove = [&](TObject*, TShiftState S, int X, int Y) {
        Seen.push_back("move " + std::to_string(S.Bits()) + " " + std::to_string(X) + "," + std::to_string(Y));
    };
    Form->Panel1->OnMouseUp = [&](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
        Seen.push_back("up " + std::to_string(int(B)) + " " + std::to_string(S.Bits()) + " " + std::to_string(X) + ","
                       + std::to_string(Y));
    };
    uitest::MousePress(*Form->Panel1, mbLeft, 7, 9, { ssShift });
    uitest::MouseMove(*Form->Panel1, 8, 9, { ssShift, ssLeft });
    uitest::MouseRelease(*Form->Panel1, mbLeft, 8, 9, { ssShift, ssLeft });
    const auto Bits = [](TShiftState S) { return std::to_string(S.Bits()); };
    EXPECT_EQ(Seen, (std::vector<std::string> {
                        "down 0 " + Bits({ ssShift, ssLeft }) + " 7,9",
                        "move " + Bits({ ssShift, ssLeft }) + " 8,9",
                        "up 0 " + Bits({ ssShift }) + " 8,9",
                    }));
}

TEST_F(ControlsTest, BorderStyleAndIconsAndStayOnTopReachTheWindow)
{
    const uitest::WindowHints Main = uitest::HintsOf(*Form);
    EXPECT_TRUE(Main.MinimizeButton);
    EXPECT_FALSE(Main.MaximizeButton);
    EXPECT_TRUE(Main.CloseButton);
    EXPECT_FALSE(Main.Resizable) << "bsSingle";
    EXPECT_FALSE(Main.StaysOnTop);

    TUiDialog* Dialog = TForm::Create<TUiDialog>(Application);
    const uitest::WindowHints Box = uitest::HintsOf(*Dialog);
    EXPECT_TRUE(Box.Dialog);
    EXPECT_TRUE(Box.StaysOnTop);
    EXPECT_FALSE(Box.CloseButton) << "no border icons";
    Dialog->SetBorderStyle(bsSizeable);
    EXPECT_TRUE(uitest::HintsOf(*Dialog).Resizable);
}

TEST_F(ControlsTest, TheScreenCursorShowsUntilTheDefaultIsSetAgain)
{
    EXPECT_EQ(Screen->GetWidth(), 1920);
    EXPECT_EQ(Screen->GetActiveForm(), Form);
    Screen->SetCursor(crHourGlass);
    Screen->SetCursor(crCross);
    EXPECT_TRUE(uitest::OverrideCursorShown());
    Screen->SetCursor(crDefault);
    EXPECT_FALSE(uitest::OverrideCursorShown()) << "one override at a time, all of it gone";
}

// --- Closing forms

class ClosingTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        Dialog = TForm::Create<TUiDialog>(Application);
        Dialog->Show();
    }
    TUiDialog* Dialog = nullptr;
};

TEST_F(ClosingTest, CloseHidesAFormByDefault)
{
    Dialog->Close();
    EXPECT_FALSE(Dialog->GetVisible());
    EXPECT_FALSE(Application->GetTerminated());
}

TEST_F(ClosingTest, OnCloseQueryMayRefuse)
{
    Dialog->MayClose = false;
    Dialog->Close();
    EXPECT_TRUE(Dialog->GetVisible());
}

TEST_F(ClosingTest, TheCloseActionNoneKeepsTheFormAndFreeReleasesIt)
{
    TCloseAction Wanted = caNone;
    Dialog->OnClose = [&](TObject*, TCloseAction& Action) { Action = Wanted; };
    Dialog->Close();
    EXPECT_TRUE(Dialog->GetVisible());

    Wanted = caFree;
    const int Before = Application->ComponentCount();
    Dialog->Close();
    EXPECT_EQ(Application->ComponentCount(), Before) << "freed once the handler has returned";
    Application->ProcessMessages();
    EXPECT_EQ(Application->ComponentCount(), Before - 1);
}

TEST_F(ClosingTest, ClosingTheMainFormEndsTheApplication)
{
    Form->Close();
    EXPECT_TRUE(Application->GetTerminated());
}

// --- Dialogs

class CommonDialogTest : public UiTest {};

TEST_F(CommonDialogTest, TheHookAnswersAndTheSaveDialogTakesTheChosenName)
{
    uitest::DialogAnswerer Answers;
    Answers.Answer(true, "/data/Energy_1_2024.pdf");
    TSaveDialog Save(nullptr);
    Save.Title = "Save Energy Deviation";
    Save.FileName = "Energy_1.pdf";
    Save.Options = { ofOverwritePrompt, ofPathMustExist };
    EXPECT_TRUE(Save.Execute());
    EXPECT_EQ(Save.FileName, "/data/Energy_1_2024.pdf");
    TPrintDialog Print(nullptr);
    EXPECT_FALSE(Print.Execute()) << "nothing queued: cancelled";
    ASSERT_EQ(Answers.Shown().size(), 2u);
    EXPECT_EQ(Answers.Shown()[0].ClassName, "TSaveDialog");
    EXPECT_EQ(Answers.Shown()[0].Title, "Save Energy Deviation");
    EXPECT_EQ(Answers.Shown()[0].FileName, "Energy_1.pdf");
    EXPECT_EQ(Answers.Shown()[1].ClassName, "TPrintDialog");
}

TEST_F(CommonDialogTest, TheSaveDialogShowsEachFilterAsItsDescriptionReads)
{
    QStringList Shown;
    QTimer Watch;
    QObject::connect(&Watch, &QTimer::timeout, [&] {
        auto* Dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!Dialog)
            return;
        if (auto* Types = Dialog->findChild<QComboBox*>("fileTypeCombo"))
            for (int I = 0; I < Types->count(); ++I)
                Shown << Types->itemText(I);
        Watch.stop();
        Dialog->reject();
    });
    Watch.start(10);
    TSaveDialog Save(nullptr);
    Save.Filter = "pdf-files(*.pdf)|*.pdf|All files(*.*)|*.*|Pictures|*.png;*.bmp";
    EXPECT_FALSE(Save.Execute());
    EXPECT_EQ(Shown, QStringList({ "pdf-files(*.pdf)", "All files(*.*)", "Pictures (*.png *.bmp)" }));
}

} // namespace
