//===- form_loading_test.cpp - Forms read from their resources: components, properties, bindings ===//
#include "tests/platform/ui/UiFixture.h"
#include "tests/platform/ui/UiTestForms.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/gdi/bitmaps/Resources.h"
#include "platform/ui/components/FormReader.h"

#include <span>
#include <string_view>

namespace {

class FormLoadingTest : public UiTest {};

TEST_F(FormLoadingTest, ComponentsArriveInTheirFieldsWithTheirProperties)
{
    TUiTestForm* Form = nullptr;
    Application->CreateForm(Form);
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Application->GetMainForm(), Form);
    EXPECT_EQ(Form->GetName(), "UiTestForm");
    EXPECT_EQ(Form->GetCaption(), "Test form");
    EXPECT_EQ(Form->GetClientWidth(), 320);
    EXPECT_EQ(Form->GetClientHeight(), 220);
    EXPECT_EQ(Form->GetBorderStyle(), bsSingle);
    EXPECT_TRUE(Form->KeyPreview);

    ASSERT_NE(Form->btn_start, nullptr);
    EXPECT_EQ(Form->btn_start->GetParent(), Form);
    EXPECT_EQ(Form->btn_start->GetCaption(), "&Start");
    EXPECT_TRUE(Form->btn_start->GetDefault());
    EXPECT_TRUE(Form->btn_cancel->Cancel);
    ASSERT_NE(Form->lab_inner, nullptr);
    EXPECT_EQ(Form->lab_inner->GetParent(), Form->Panel1);
    EXPECT_EQ(Form->Panel1->GetBevelOuter(), bvLowered);
    EXPECT_EQ(Form->Edit1->GetText(), "abc");
    EXPECT_EQ(Form->Edit1->GetMaxLength(), 5);
    EXPECT_EQ(Form->RadioGroup1->GetItems().Count(), 3);
    EXPECT_EQ(Form->RadioGroup1->GetItemIndex(), 1) << "ItemIndex comes before Items in the resource";
    EXPECT_TRUE(Form->CheckBox1->GetChecked());
    EXPECT_EQ(Form->GetMenu(), Form->MainMenu1);
    ASSERT_EQ(Form->MainMenu1->GetItems()->GetCount(), 1);
    EXPECT_EQ(Form->MainMenu1->GetItems()->GetItem(0), Form->Menu_File);
    EXPECT_EQ(Form->Menu_File->GetItem(0), Form->Menu_Exit);
    EXPECT_EQ(Form->Calls, std::vector<std::string> { "FormCreate" }) << "OnCreate runs once, after reading";
}

TEST_F(FormLoadingTest, ChildrenTakeTheFontOfTheFormUnlessTheyHaveTheirOwn)
{
    TUiTestForm* Form = nullptr;
    Application->CreateForm(Form);
    EXPECT_EQ(Form->btn_start->GetFont()->GetName(), "Arial");
    EXPECT_EQ(Form->btn_start->GetFont()->GetHeight(), -13);
    EXPECT_TRUE(Form->btn_start->GetParentFont());
    EXPECT_EQ(Form->lab_inner->GetFont()->GetColor(), clRed);
    EXPECT_FALSE(Form->lab_inner->GetParentFont());

    Form->GetFont()->SetSize(12);
    EXPECT_EQ(Form->btn_start->GetFont()->GetHeight(), -16) << "a child with ParentFont follows";
    EXPECT_EQ(Form->lab_inner->GetFont()->GetHeight(), -13) << "a child with a font of its own stays";
}

TEST_F(FormLoadingTest, AnAlignedPanelTakesTheBottomOfTheClientArea)
{
    TUiTestForm* Form = nullptr;
    Application->CreateForm(Form);
    EXPECT_EQ(Form->Bottom->GetBoundsRect(), Rect(0, 190, 320, 220));
    Form->SetClientHeight(300);
    EXPECT_EQ(Form->Bottom->GetBoundsRect(), Rect(0, 270, 320, 300)) << "it follows the form's size";
}

TEST_F(FormLoadingTest, ClickingAButtonRunsTheBoundMethod)
{
    TUiTestForm* Form = nullptr;
    Application->CreateForm(Form);
    Form->Show();
    uitest::Click(*Form->btn_start);
    ASSERT_EQ(Form->Calls.size(), 2u);
    EXPECT_EQ(Form->Calls[1], "btn_startClick");
    EXPECT_EQ(Form->LastSender, Form->btn_start);

    uitest::Click(*Form->Panel1);
    EXPECT_EQ(Form->Calls.back(), "Panel1Click");
    EXPECT_EQ(Form->LastSender, Form->Panel1);
}

TEST_F(FormLoadingTest, AMenuItemRunsItsBoundMethod)
{
    TUiTestForm* Form = nullptr;
    Application->CreateForm(Form);
    Form->Menu_Exit->Click();
    EXPECT_EQ(Form->Calls.back(), "Menu_ExitClick");
    Form->Menu_Exit->SetEnabled(false);
    Form->Menu_Exit->Click();
    EXPECT_EQ(Form->Calls.size(), 2u) << "a disabled item does nothing";
}

TEST_F(FormLoadingTest, AnUnknownPropertyIsReportedWithItsLineAndTheFormIsFreed)
{
    constexpr std::string_view Text = "object UiTestForm: TUiTestForm\n"
                                      "  Caption = 'x'\n"
                                      "  object btn_start: TButton\n"
                                      "    Captoin = '&Start'\n"
                                      "  end\n"
                                      "end\n";
    RegisterResource("TUiTestFormBroken", std::span(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
    class TBrokenForm : public TUiTestForm {
    public:
        using TUiTestForm::TUiTestForm;
        std::string FormResourceName() const override { return "TUiTestFormBroken"; }
    };
    const int Before = Application->ComponentCount();
    try {
        TForm::Create<TBrokenForm>(Application);
        FAIL() << "no error";
    } catch (const EFormReadError& E) {
        EXPECT_EQ(E.Line(), 4);
        EXPECT_EQ(E.Message(), "Form resource TUiTestFormBroken, line 4: Error reading btn_start.Captoin: "
                               "Property Captoin does not exist");
    }
    EXPECT_EQ(Application->ComponentCount(), Before) << "the half-read form is gone";
}

TEST_F(FormLoadingTest, TheSameFormClassMayBeMadeTwice)
{
    TUiDialog* First = TForm::Create<TUiDialog>(Application);
    TUiDialog* Second = TForm::Create<TUiDialog>(Application);
    EXPECT_EQ(First->GetName(), "UiDialog");
    EXPECT_EQ(Second->GetName(), "UiDialog_1");
    EXPECT_NE(First->btn_yes, Second->btn_yes);
    delete Second;
    delete First;
}

} // namespace
