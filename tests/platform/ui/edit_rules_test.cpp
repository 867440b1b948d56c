//===- edit_rules_test.cpp - The edit control's rules: KeyPress, MaxLength, OnChange, paste ===//
#include "tests/platform/ui/UiFixture.h"
#include "tests/platform/ui/UiTestForms.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/ui/controls/VirtualKeys.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// Edit1 of the test form: MaxLength 5, text "abc", every change and KeyPress recorded.
class EditRulesTest : public ShownTestFormTest {
protected:
    void SetUp() override
    {
        ShownTestFormTest::SetUp();
        Edit = Form->Edit1;
        Edit->SetFocus();
        Edit->SetSelStart(3);
        Form->Calls.clear();
    }

    std::vector<std::string> changes() const
    {
        std::vector<std::string> Result;
        for (const std::string& C : Form->Calls)
            if (C.rfind("Edit1Change ", 0) == 0)
                Result.push_back(C.substr(12));
        return Result;
    }
    int keyPresses() const
    {
        return static_cast<int>(std::count_if(Form->Calls.begin(), Form->Calls.end(),
                                              [](const std::string& C) { return C.rfind("Edit1KeyPress", 0) == 0; }));
    }

    TEdit* Edit = nullptr;
    uitest::BeepRecorder Beeps;
};

TEST_F(EditRulesTest, TypedCharactersPassKeyPressAndRaiseChangeEach)
{
    uitest::TypeText(*Edit, "de");
    EXPECT_EQ(Edit->GetText(), "abcde");
    EXPECT_EQ(keyPresses(), 2);
    EXPECT_EQ(changes(), (std::vector<std::string> { "abcd", "abcde" }));
    EXPECT_EQ(Edit->GetSelStart(), 5);
}

TEST_F(EditRulesTest, KeyPressMayChangeTheCharacter)
{
    Form->ReplaceFrom = ',';
    Form->ReplaceTo = '.';
    uitest::TypeText(*Edit, ",");
    EXPECT_EQ(Edit->GetText(), "abc.");
}

TEST_F(EditRulesTest, KeyPressMayDropTheCharacter)
{
    Form->DroppedChars = "x";
    uitest::TypeText(*Edit, "xdx");
    EXPECT_EQ(Edit->GetText(), "abcd");
    EXPECT_EQ(changes(), (std::vector<std::string> { "abcd" }));
}

TEST_F(EditRulesTest, BackspacePassesKeyPressAndDeletes)
{
    uitest::PressKey(*Edit, VK_BACK);
    EXPECT_EQ(Edit->GetText(), "ab");
    EXPECT_EQ(count("Edit1KeyPress #8"), 1);

    Form->DroppedChars = "\b";
    uitest::PressKey(*Edit, VK_BACK);
    EXPECT_EQ(Edit->GetText(), "ab") << "a dropped backspace deletes nothing";
}

TEST_F(EditRulesTest, BackspaceDeletesAtTheLimitToo)
{
    Edit->SetText("abcde");
    Edit->SetSelStart(5);
    uitest::PressKey(*Edit, VK_BACK);
    EXPECT_EQ(Edit->GetText(), "abcd");
}

TEST_F(EditRulesTest, MaxLengthStopsTypingWithABeep)
{
    uitest::TypeText(*Edit, "defg");
    EXPECT_EQ(Edit->GetText(), "abcde");
    EXPECT_EQ(Beeps.Beeps(), (std::vector<UINT> { MB_OK, MB_OK }));
}

TEST_F(EditRulesTest, TypingOverASelectionNeedsRoomOnlyForWhatRemains)
{
    Edit->SetText("abcde");
    Edit->SetSelStart(1);
    Edit->SetSelLength(2);
    EXPECT_EQ(Edit->GetSelText(), "bc");
    uitest::TypeText(*Edit, "Z");
    EXPECT_EQ(Edit->GetText(), "aZde");
    EXPECT_EQ(Edit->GetSelStart(), 2);
    EXPECT_EQ(Edit->GetSelLength(), 0);
}

TEST_F(EditRulesTest, MaxLengthNeverCutsTheTextThatIsThere)
{
    Edit->SetText("abcdefgh");
    EXPECT_EQ(Edit->GetText(), "abcdefgh") << "the program may set a longer text";
    Edit->SetMaxLength(3);
    EXPECT_EQ(Edit->GetText(), "abcdefgh") << "a smaller limit cuts nothing";
    Edit->SetSelStart(8);
    uitest::TypeText(*Edit, "i");
    EXPECT_EQ(Edit->GetText(), "abcdefgh") << "but nothing more can be typed";
}

TEST_F(EditRulesTest, PastingIsCutToTheRoomMaxLengthLeaves)
{
    uitest::Paste(*Edit, "12345");
    EXPECT_EQ(Edit->GetText(), "abc12");
    EXPECT_EQ(changes(), (std::vector<std::string> { "abc12" })) << "one change for the whole paste";
}

TEST_F(EditRulesTest, PastingSkipsKeyPress)
{
    Form->DroppedChars = "1";
    uitest::Paste(*Edit, "1a");
    EXPECT_EQ(Edit->GetText(), "abc1a");
    EXPECT_EQ(keyPresses(), 0);
}

TEST_F(EditRulesTest, APasteIntoAFullEditChangesNothing)
{
    Edit->SetText("abcde");
    Form->Calls.clear();
    Edit->SetSelStart(5);
    uitest::Paste(*Edit, "z");
    EXPECT_EQ(Edit->GetText(), "abcde");
    EXPECT_TRUE(changes().empty());
}

TEST_F(EditRulesTest, AProgrammaticTextRaisesChangeAtOnceAndAnEqualTextNothing)
{
    Edit->SetText("xyz");
    EXPECT_EQ(changes(), (std::vector<std::string> { "xyz" }));
    Edit->SetText("xyz");
    EXPECT_EQ(changes().size(), 1u);
    Edit->Clear();
    EXPECT_EQ(changes(), (std::vector<std::string> { "xyz", "" }));
}

TEST_F(EditRulesTest, DeletingWithTheDeleteKeyRaisesChange)
{
    Edit->SetSelStart(0);
    uitest::PressKey(*Edit, VK_DELETE);
    EXPECT_EQ(Edit->GetText(), "bc");
    EXPECT_EQ(changes(), (std::vector<std::string> { "bc" }));
}

TEST_F(EditRulesTest, SelectionIsClampedToTheText)
{
    Edit->SetSelStart(10);
    EXPECT_EQ(Edit->GetSelStart(), 3);
    Edit->SetSelStart(1);
    Edit->SetSelLength(10);
    EXPECT_EQ(Edit->GetSelLength(), 2);
    EXPECT_EQ(Edit->GetSelText(), "bc");
}

TEST_F(EditRulesTest, AReadOnlyEditTakesNeitherTypingNorPasting)
{
    Edit->SetReadOnly(true);
    uitest::TypeText(*Edit, "d");
    uitest::Paste(*Edit, "e");
    EXPECT_EQ(Edit->GetText(), "abc");
}

TEST_F(EditRulesTest, AnEditWithoutAWindowKeepsTheSameRules)
{
    TEdit Loose(nullptr);
    std::vector<std::string> Seen;
    Loose.OnChange = [&](TObject*) { Seen.push_back(Loose.GetText()); };
    Loose.SetMaxLength(2);
    Loose.SetText("abc");
    Loose.SetSelStart(3);
    Loose.PasteText("d");
    EXPECT_EQ(Loose.GetText(), "abc");
    Loose.SetSelStart(0);
    Loose.SetSelLength(2);
    Loose.PasteText("xyz");
    EXPECT_EQ(Loose.GetText(), "xc") << "what stays counts against the limit: room for one";
    EXPECT_EQ(Seen, (std::vector<std::string> { "abc", "xc" }));
}

} // namespace

TEST_F(EditRulesTest, EnteredByTabOrByTheProgramTheEditSelectsItsWholeTextAndTypingReplacesIt)
{
    const std::pair<const char*, std::function<void()>> Ways[] = {
        { "SetFocus", [&] { Edit->SetFocus(); } },
        { "Tab",
          [&] {
              for (int I = 0; I < 10 && !Edit->Focused(); ++I)
                  uitest::PressKey(*Form->GetActiveControl(), VK_TAB);
          } },
    };
    for (const auto& [Name, Enter] : Ways) {
        Edit->SetText("abc");
        Form->btn_start->SetFocus();
        Enter();
        ASSERT_TRUE(Edit->Focused()) << Name;
        EXPECT_EQ(Edit->GetSelStart(), 0) << Name;
        EXPECT_EQ(Edit->GetSelLength(), 3) << Name;
        uitest::TypeText(*Edit, "x");
        EXPECT_EQ(Edit->GetText(), "x") << Name;
    }
}

TEST_F(EditRulesTest, CtrlASelectsTheWholeTextWithoutAKeyPress)
{
    uitest::PressKey(*Edit, 'A', { ssCtrl });
    EXPECT_EQ(Edit->GetSelLength(), 3);
    EXPECT_EQ(keyPresses(), 0);
    EXPECT_EQ(Edit->GetText(), "abc");
}
