//===- input_box_test.cpp - TInputBox and its form Tbox: answers, result codes, range repetition ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/TInputBox.h"
#include "controls/TMnumedit.h"
#include "controls/Tbox.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/ui/controls/Buttons.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/VirtualKeys.h"

using namespace controlstest;

namespace {

Tbox& BoxOf(TForm& Form)
{
    auto* Box = dynamic_cast<Tbox*>(&Form);
    if (!Box)
        throw std::runtime_error("the modal form is a " + Form.ClassName());
    return *Box;
}

/// An action that types Text over the edit's contents and presses Key in the edit.
uitest::ModalAnswerer::Action TypeAndPress(std::string Text, WORD Key)
{
    return [Text, Key](TForm& Form) {
        Tbox& Box = BoxOf(Form);
        Box.Mnumedit1->SelectAll();
        uitest::TypeText(*Box.Mnumedit1, Text);
        uitest::PressKey(*Box.Mnumedit1, Key);
    };
}

class InputBoxTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        Box = new TInputBox(Host);
    }

    TInputBox* Box = nullptr;
    uitest::ModalAnswerer Modal;
    uitest::MessageBoxAnswerer Boxes;
};

TEST_F(InputBoxTest, EnterAnswersTheTypedValue)
{
    Modal.Then(TypeAndPress("42", VK_RETURN));
    EXPECT_EQ(Box->Execute("Input repetition rate", 3, 1, 0, 10), 42);
    EXPECT_EQ(Box->ResultCode, 1);
    ASSERT_EQ(Modal.Shown().size(), 1u);
    EXPECT_EQ(Modal.Shown()[0].ClassName, "Tbox");
    EXPECT_EQ(Modal.Shown()[0].Caption, "Input repetition rate");
    EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(InputBoxTest, TheShownValueIsSelectedSoThatTypingReplacesIt)
{
    Modal.Then([](TForm& Form) {
        Tbox& B = BoxOf(Form);
        EXPECT_EQ(B.Mnumedit1->GetSelLength(), int(B.Mnumedit1->GetText().size()));
        uitest::TypeText(*B.Mnumedit1, "75");
        uitest::PressKey(*B.Mnumedit1, VK_RETURN);
    });
    EXPECT_EQ(Box->Execute("Input repetition rate", 3, 1, 0, 50), 75);
    EXPECT_EQ(Box->ResultCode, 1);
}

TEST_F(InputBoxTest, TheDialogIsSetUpFromTheCallAndTheComponent)
{
    Box->inbox_yesbut = "&Yes";
    Box->inbox_nobut = "&No";
    Box->inbox_minus = false;
    const int FormsBefore = Application->ComponentCount();
    Modal.Then([&](TForm& Form) {
        Tbox& B = BoxOf(Form);
        EXPECT_EQ(Box->ResultCode, 0) << "while open";
        EXPECT_EQ(B.BitBtn2->GetCaption(), "&Yes");
        EXPECT_EQ(B.BitBtn1->GetCaption(), "&No");
        EXPECT_FALSE(B.Mnumedit1->minus);
        EXPECT_EQ(B.Mnumedit1->NumKind, cspoint);
        EXPECT_EQ(B.Mnumedit1->GetMaxLength(), 4);
        EXPECT_EQ(B.Mnumedit1->Getpoints(), 2);
        EXPECT_EQ(B.Mnumedit1->GetText(), "1.50");
        Form.ModalResult = mrOk;
    });
    EXPECT_EQ(Box->Execute("Input", 4, 2, 2, 1.5), 1.5);
    EXPECT_EQ(Application->ComponentCount(), FormsBefore) << "the dialog is freed";
}

TEST_F(InputBoxTest, KindNumbersChooseTheNumberKind)
{
    const std::pair<uint8_t, tnumkind> Kinds[] = {
        { 0, csinteger }, { 1, csword }, { 2, cspoint }, { 3, cshex }, { 4, cslong }, { 9, cspoint },
    };
    for (auto [Number, Kind] : Kinds) {
        tnumkind Seen = csword;
        Modal.Then([&](TForm& Form) { Seen = BoxOf(Form).Mnumedit1->NumKind; });
        Box->Execute("Kind", 4, Number, 0, 0);
        EXPECT_EQ(Seen, Kind) << "kind number " << int(Number);
    }
}

TEST_F(InputBoxTest, CancelAnswersTheDefault)
{
    Modal.Then(TypeAndPress("77", VK_ESCAPE));
    EXPECT_EQ(Box->Execute("Input quantity", 5, 1, 0, 12), 12);
    EXPECT_EQ(Box->ResultCode, 2);
    Modal.ClickButton("BitBtn1");
    EXPECT_EQ(Box->Execute("Input quantity", 5, 1, 0, 13), 13);
    EXPECT_EQ(Box->ResultCode, 2);
}

TEST_F(InputBoxTest, TheOkButtonAnswersTheValue)
{
    Modal.Then([](TForm& Form) {
        Tbox& B = BoxOf(Form);
        B.Mnumedit1->SelectAll();
        uitest::TypeText(*B.Mnumedit1, "250");
        uitest::Click(*B.BitBtn2);
    });
    EXPECT_EQ(Box->Execute("Input", 3, 1, 0, 0), 250);
    EXPECT_EQ(Box->ResultCode, 1);
}

TEST_F(InputBoxTest, AValueOutsideTheRangeIsRefusedAndAskedAgain)
{
    Box->inbox_minmax = true;
    Box->inbox_mess = "Range: ";
    Modal.Then(TypeAndPress("150", VK_RETURN));
    Modal.Then(TypeAndPress("99", VK_ESCAPE));
    EXPECT_EQ(Box->Execute("Input", 3, 1, 0, 10), 10);
    EXPECT_EQ(Box->ResultCode, 2);
    EXPECT_EQ(Modal.Shown().size(), 2u);
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].Text, "Range:  0.000 <...<  100.000");
    EXPECT_EQ(Boxes.Boxes()[0].Caption, "Error");
    EXPECT_EQ(Boxes.Boxes()[0].Type & 0x0F, MB_OK);
}

TEST_F(InputBoxTest, AValueInsideTheRangeIsTaken)
{
    Box->inbox_minmax = true;
    Box->inbox_min = 1;
    Box->inbox_max = 200;
    Modal.Then(TypeAndPress("0", VK_RETURN));   // below the minimum
    Modal.Then(TypeAndPress("201", VK_RETURN)); // above the maximum
    Modal.Then(TypeAndPress("200", VK_RETURN)); // the maximum itself
    EXPECT_EQ(Box->Execute("Input", 3, 1, 0, 10), 200);
    EXPECT_EQ(Box->ResultCode, 1);
    EXPECT_EQ(Boxes.Boxes().size(), 2u);
    EXPECT_EQ(Boxes.Boxes()[1].Text, " 1.000 <...<  200.000");
}

TEST_F(InputBoxTest, UnreadableInputAnswersCodeFiveAndTheDefault)
{
    Modal.Then([](TForm& Form) {
        Tbox& B = BoxOf(Form);
        B.Mnumedit1->SelectAll();
        uitest::Paste(*B.Mnumedit1, "1G");
        uitest::PressKey(*B.Mnumedit1, VK_RETURN);
    });
    EXPECT_EQ(Box->Execute("Input address", 4, 3, 0, 33), 33);
    EXPECT_EQ(Box->ResultCode, 5);
}

TEST_F(InputBoxTest, TheEnergyInputSendsItsDecimal)
{
    Modal.ClickButton("BitBtn2");
    EXPECT_DOUBLE_EQ(Box->Execute("Input energy", 3, 2, 1, 12.5), 12.5);
    EXPECT_EQ(Box->ResultCode, 1);
}

TEST_F(InputBoxTest, TheFormComesFromItsResource)
{
    Tbox* Form = TForm::Create<Tbox>(Application);
    std::unique_ptr<Tbox> Owned(Form);
    EXPECT_EQ(Form->GetClientWidth(), 277);
    EXPECT_EQ(Form->GetClientHeight(), 103);
    EXPECT_EQ(Form->GetBorderStyle(), bsSingle);
    EXPECT_TRUE(Form->GetBorderIcons().Empty());
    EXPECT_EQ(Form->GetFormStyle(), fsStayOnTop);
    EXPECT_EQ(Form->GetPosition(), poScreenCenter);
    EXPECT_EQ(Form->GetFont()->GetName(), "Arial");
    EXPECT_TRUE(Form->GetFont()->GetStyle().Contains(fsBold));
    ASSERT_NE(Form->Mnumedit1, nullptr);
    EXPECT_EQ(Form->Mnumedit1->GetBoundsRect(), Bounds(73, 12, 135, 24));
    EXPECT_EQ(Form->Mnumedit1->GetFont()->GetHeight(), -13);
    EXPECT_TRUE(Form->Mnumedit1->GetFont()->GetStyle().Contains(fsBold));
    ASSERT_NE(Form->BitBtn2, nullptr);
    EXPECT_EQ(Form->BitBtn2->GetBoundsRect(), Bounds(147, 52, 89, 25));
    EXPECT_EQ(Form->BitBtn2->GetCaption(), "OK");
    EXPECT_TRUE(Form->BitBtn2->GetDefault());
    EXPECT_EQ(Form->BitBtn2->ModalResult, mrOk);
    ASSERT_NE(Form->BitBtn1, nullptr);
    EXPECT_EQ(Form->BitBtn1->GetBoundsRect(), Bounds(50, 52, 89, 25));
    EXPECT_EQ(Form->BitBtn1->GetCaption(), "CANCEL");
    EXPECT_TRUE(Form->BitBtn1->Cancel);
    EXPECT_EQ(Form->BitBtn1->ModalResult, mrCancel);
}

TEST_F(InputBoxTest, TheEditHasTheFocusWhileTheDialogIsUp)
{
    bool EditFocused = false;
    Modal.Then([&](TForm& Form) {
        EditFocused = BoxOf(Form).Mnumedit1->Focused();
        Form.ModalResult = mrCancel;
    });
    Box->Execute("Input", 3, 1, 0, 0);
    EXPECT_TRUE(EditFocused);
}

} // namespace
