//===- dialog_keys_test.cpp - Enter, Escape, Tab, accelerators, key preview and modal forms ===//
#include "tests/platform/ui/UiFixture.h"
#include "tests/platform/ui/UiTestForms.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/ui/controls/VirtualKeys.h"

#include <algorithm>

namespace {

using DialogKeysTest = ShownTestFormTest;

TEST_F(DialogKeysTest, TheFirstControlInTabOrderHasTheFocusOnceShown)
{
    EXPECT_EQ(Form->GetActiveControl(), Form->btn_start);
    EXPECT_TRUE(Form->btn_start->Focused());
    EXPECT_TRUE(Form->GetActive());
}

TEST_F(DialogKeysTest, AnActiveControlSetBeforeShowingGetsTheFocusWhenShown)
{
    Form->Hide();
    Form->SetActiveControl(Form->Edit1);
    EXPECT_FALSE(Form->Edit1->Focused()) << "not before the form shows";
    int Entered = 0;
    Form->Edit1->OnEnter = [&](TObject*) { ++Entered; };
    Form->Show();
    EXPECT_TRUE(Form->Edit1->Focused());
    EXPECT_EQ(Entered, 1);
}

TEST_F(DialogKeysTest, EnterPressesTheDefaultButtonWhileAnEditHasTheFocus)
{
    Form->Edit1->SetFocus();
    uitest::PressKey(*Form, VK_RETURN);
    EXPECT_EQ(count("btn_startClick"), 1);
    EXPECT_EQ(Form->Edit1->GetText(), "abc") << "the edit never sees the Enter";
    EXPECT_EQ(count("Edit1KeyPress \r"), 0);
}

TEST_F(DialogKeysTest, EnterPressesTheFocusedButtonRatherThanTheDefaultOne)
{
    Form->btn_cancel->SetFocus();
    uitest::PressKey(*Form, VK_RETURN);
    EXPECT_EQ(count("btn_cancelClick"), 1);
    EXPECT_EQ(count("btn_startClick"), 0);
}

TEST_F(DialogKeysTest, EscapePressesTheCancelButton)
{
    Form->Edit1->SetFocus();
    uitest::PressKey(*Form, VK_ESCAPE);
    EXPECT_EQ(count("btn_cancelClick"), 1);
    EXPECT_EQ(count("btn_startClick"), 0);
}

TEST_F(DialogKeysTest, ADisabledDefaultButtonIsNotPressed)
{
    Form->Edit1->SetFocus();
    Form->btn_start->SetEnabled(false);
    uitest::PressKey(*Form, VK_RETURN);
    EXPECT_EQ(count("btn_startClick"), 0);
}

TEST_F(DialogKeysTest, TheFormSeesKeysFirstWithKeyPreview)
{
    Form->Edit1->SetFocus();
    uitest::PressKey(*Form, VK_RETURN);
    ASSERT_GE(Form->Calls.size(), 2u);
    EXPECT_EQ(Form->Calls[0], "FormKeyDown " + std::to_string(VK_RETURN)) << "before the Default button";
    EXPECT_EQ(Form->Calls[1], "btn_startClick");
}

TEST_F(DialogKeysTest, SpaceConsumedByThePreviewDoesNotClickTheFocusedButton)
{
    Form->ConsumedKeys = { VK_SPACE };
    Form->btn_start->SetFocus();
    uitest::PressKey(*Form, VK_SPACE);
    EXPECT_EQ(count("FormKeyDown " + std::to_string(VK_SPACE)), 1);
    EXPECT_EQ(count("btn_startClick"), 0);

    Form->ConsumedKeys.clear();
    uitest::PressKey(*Form, VK_SPACE);
    EXPECT_EQ(count("btn_startClick"), 1) << "Space that passes clicks the button";
}

TEST_F(DialogKeysTest, AConsumedEnterPressesNoButton)
{
    Form->ConsumedKeys = { VK_RETURN, VK_ESCAPE };
    Form->Edit1->SetFocus();
    uitest::PressKey(*Form, VK_RETURN);
    uitest::PressKey(*Form, VK_ESCAPE);
    EXPECT_EQ(count("btn_startClick") + count("btn_cancelClick"), 0);
}

TEST_F(DialogKeysTest, TheAcceleratorPressesTheButtonUnlessAnEditTakesTheCharacter)
{
    Form->btn_cancel->SetFocus();
    uitest::PressKey(*Form, 'S');
    EXPECT_EQ(count("btn_startClick"), 1) << "a button takes no characters";

    Form->Edit1->SetFocus();
    Form->Edit1->SetSelStart(3);
    uitest::PressKey(*Form, 'S');
    EXPECT_EQ(count("btn_startClick"), 1);
    EXPECT_EQ(Form->Edit1->GetText(), "abcs") << "the edit types it";

    uitest::PressKey(*Form, 'S', { ssAlt });
    EXPECT_EQ(count("btn_startClick"), 2) << "with Alt the accelerator wins";
}

TEST_F(DialogKeysTest, TheAcceleratorOfACheckBoxTogglesIt)
{
    Form->btn_cancel->SetFocus();
    uitest::PressKey(*Form, 'H');
    EXPECT_FALSE(Form->CheckBox1->GetChecked());
    EXPECT_EQ(Form->GetActiveControl(), Form->CheckBox1);
}

TEST_F(DialogKeysTest, TabMovesTheFocusInTabOrderAndRaisesEnterAndExit)
{
    std::vector<std::string> Focus;
    Form->btn_start->OnExit = [&](TObject*) { Focus.push_back("exit start"); };
    Form->btn_cancel->OnEnter = [&](TObject*) { Focus.push_back("enter cancel"); };
    uitest::PressKey(*Form, VK_TAB);
    EXPECT_EQ(Form->GetActiveControl(), Form->btn_cancel);
    EXPECT_EQ(Focus, (std::vector<std::string> { "exit start", "enter cancel" }));
    uitest::PressKey(*Form, VK_TAB);
    EXPECT_EQ(Form->GetActiveControl(), Form->Edit1);
    uitest::PressKey(*Form, VK_TAB, { ssShift });
    EXPECT_EQ(Form->GetActiveControl(), Form->btn_cancel);
}

TEST_F(DialogKeysTest, FocusSkipsDisabledControls)
{
    Form->btn_cancel->SetEnabled(false);
    uitest::PressKey(*Form, VK_TAB);
    EXPECT_EQ(Form->GetActiveControl(), Form->Edit1);
    EXPECT_THROW(Form->btn_cancel->SetFocus(), EInvalidOperation);
}

// --- Modal forms

class ModalTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Dialog = TForm::Create<TUiDialog>(Application);
    }
    void TearDown() override
    {
        delete Dialog;
        UiTest::TearDown();
    }

    TUiDialog* Dialog = nullptr;
    uitest::ModalAnswerer Answers;
};

TEST_F(ModalTest, ShowModalAnswersTheModalResultOfTheButtonPressed)
{
    Answers.ClickButton("btn_no");
    EXPECT_EQ(Dialog->ShowModal(), mrNo);
    EXPECT_EQ(mrNo, 7);
    EXPECT_FALSE(Dialog->GetVisible()) << "the form is hidden again";
    ASSERT_EQ(Answers.Shown().size(), 1u);
    EXPECT_EQ(Answers.Shown()[0].Caption, "Question");
    EXPECT_EQ(Answers.Shown()[0].ClassName, "TUiDialog");
}

TEST_F(ModalTest, ShowModalMayBeCalledAgainAndEveryShowRaisesShowAndActivate)
{
    Answers.Then([](TForm& F) { uitest::PressKey(F, VK_RETURN); });
    Answers.Then([](TForm& F) { uitest::PressKey(F, VK_ESCAPE); });
    Answers.ClickButton("btn_yes");
    EXPECT_EQ(Dialog->ShowModal(), mrYes) << "Enter presses the Default button";
    EXPECT_EQ(Dialog->ShowModal(), mrNo) << "Escape presses the Cancel button, whose result is No";
    EXPECT_EQ(Dialog->ShowModal(), mrYes);
    EXPECT_EQ(std::count(Dialog->Calls.begin(), Dialog->Calls.end(), "FormShow"), 3);
    EXPECT_EQ(std::count(Dialog->Calls.begin(), Dialog->Calls.end(), "FormActivate"), 3);
}

TEST_F(ModalTest, ActivationMayGiveTheFocusToTheNoButtonSoThatEnterAnswersNo)
{
    Dialog->FocusNo = true;
    Answers.Then([](TForm& F) { uitest::PressKey(F, VK_RETURN); });
    EXPECT_EQ(Dialog->ShowModal(), mrNo);
}

TEST_F(ModalTest, ARefusedCloseDoesNotLetTheAnswerCount)
{
    Dialog->MayClose = false;
    Answers.ClickButton("btn_yes");
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_NE(std::find(Dialog->Calls.begin(), Dialog->Calls.end(), "FormCloseQuery"), Dialog->Calls.end());
}

TEST_F(ModalTest, CloseInsideTheModalLoopAnswersCancel)
{
    Answers.Then([](TForm& F) { F.Close(); });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
}

TEST_F(ModalTest, AVisibleFormCannotBeShownModally)
{
    Dialog->Show();
    EXPECT_THROW(Dialog->ShowModal(), EInvalidOperation);
}

TEST_F(ModalTest, ScreenCentredFormsAreCentredWhenShown)
{
    Answers.Answer(mrOk);
    Dialog->ShowModal();
    EXPECT_EQ(Dialog->GetLeft(), (ScreenWidth - Dialog->GetWidth()) / 2);
    EXPECT_EQ(Dialog->GetTop(), (ScreenHeight - Dialog->GetHeight()) / 2);
}

} // namespace
