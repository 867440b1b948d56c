//===- message_window_test.cpp - tmbox and its form Tmesbox: modeless windows side by side ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/Tmesbox.h"
#include "controls/tmbox.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"

using namespace controlstest;

namespace {

class MessageWindowTest : public ControlsTest {
protected:
    void TearDown() override
    {
        for (Tmesbox* Form : Opened)
            delete Form;
        ControlsTest::TearDown();
    }

    /// Shows a message and keeps its window for the clean-up.
    Tmesbox* Show(tmbox& Box, const std::string& Caption, const std::string& Text, const std::string& Button)
    {
        Box.ShowMessage(Caption, Text, Button);
        if (Box.Form())
            Opened.push_back(Box.Form());
        return Box.Form();
    }

    std::vector<Tmesbox*> Opened;
};

TEST_F(MessageWindowTest, TheWindowShowsCaptionTextAndButton)
{
    tmbox& Box = *new tmbox(Host);
    Tmesbox* Form = Show(Box, "Gas handling", "replace nitrogen", "&Close");
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->GetCaption(), "Gas handling");
    EXPECT_EQ(Form->Label1->GetCaption(), "replace nitrogen");
    EXPECT_EQ(Form->but1->GetCaption(), "&Close");
    EXPECT_TRUE(Form->GetVisible());
    EXPECT_EQ(Form->Owner(), Application);
}

TEST_F(MessageWindowTest, TwoMessagesShowTwoWindowsAndClosingOneLeavesTheOther)
{
    tmbox& Box = *new tmbox(Host);
    Tmesbox* First = Show(Box, "One", "first text", "OK");
    Tmesbox* Second = Show(Box, "Two", "second text", "OK");
    ASSERT_NE(First, nullptr);
    ASSERT_NE(Second, nullptr);
    EXPECT_NE(First, Second);
    EXPECT_EQ(Box.Form(), Second) << "only the newest is remembered";
    EXPECT_TRUE(First->GetVisible());
    EXPECT_TRUE(Second->GetVisible());

    uitest::Click(*First->but1);
    EXPECT_FALSE(First->GetVisible());
    EXPECT_TRUE(Second->GetVisible());
    EXPECT_EQ(First->Label1->GetCaption(), "first text") << "closed means hidden, not freed";
}

TEST_F(MessageWindowTest, AFreedWindowIsForgotten)
{
    tmbox& Box = *new tmbox(Host);
    Tmesbox* Form = Show(Box, "One", "text", "OK");
    Opened.clear();
    delete Form;
    EXPECT_EQ(Box.Form(), nullptr);
}

TEST_F(MessageWindowTest, TheFormComesFromItsResource)
{
    std::unique_ptr<Tmesbox> Form(TForm::Create<Tmesbox>(Application));
    EXPECT_EQ(Form->GetClientWidth(), 339);
    EXPECT_EQ(Form->GetClientHeight(), 150);
    EXPECT_EQ(Form->GetBorderStyle(), bsDialog);
    EXPECT_EQ(Form->GetFormStyle(), fsStayOnTop);
    EXPECT_EQ(Form->GetPosition(), poScreenCenter);
    EXPECT_EQ(Form->GetFont()->GetName(), "Arial");
    ASSERT_NE(Form->Label1, nullptr);
    EXPECT_EQ(Form->Label1->GetLeft(), 21);
    EXPECT_EQ(Form->Label1->GetTop(), 15);
    EXPECT_EQ(Form->Label1->GetFont()->GetHeight(), -17);
    EXPECT_TRUE(Form->Label1->GetFont()->GetStyle().Contains(fsBold));
    ASSERT_NE(Form->but1, nullptr);
    EXPECT_EQ(Form->but1->GetBoundsRect(), Bounds(125, 101, 89, 25));
    EXPECT_TRUE(Form->but1->GetDefault());
    EXPECT_EQ(Form->but1->ModalResult, mrOk);
}

} // namespace
