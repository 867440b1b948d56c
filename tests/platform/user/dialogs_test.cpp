//===- dialogs_test.cpp - Message boxes and beeps through their hooks -----===//
#include "platform/user/Dialogs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Box {
    HWND owner;
    std::string text, caption;
    UINT type;
};

/// Puts the default hooks back whatever a test installed.
class Dialogs : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetMessageBoxHook(nullptr);
        SetMessageBeepHook(nullptr);
    }
};

TEST_F(Dialogs, BoxHookSeesTheExactTextsAndChoosesTheAnswer)
{
    std::vector<Box> boxes;
    SetMessageBoxHook([&](HWND owner, const std::string& text, const std::string& caption, UINT type) {
        boxes.push_back({ owner, text, caption, type });
        return IDNO;
    });
    EXPECT_EQ(MessageBox(0, " Kelmor.exe was closed", "Error", MB_OK), IDNO);
    EXPECT_EQ(MessageBox(17, "5 \xB5J", "ATTENTION", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, 0u);
    EXPECT_EQ(boxes[0].text, " Kelmor.exe was closed") << "leading blank kept";
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, MB_OK);
    EXPECT_EQ(boxes[1].owner, 17u);
    EXPECT_EQ(boxes[1].text, "5 \xB5J") << "8-bit text reaches the hook unconverted";
    EXPECT_EQ(boxes[1].type, MB_YESNO | MB_ICONQUESTION);
}

TEST_F(Dialogs, SettersAnswerTheHookTheyReplace)
{
    EXPECT_FALSE(SetMessageBoxHook([](HWND, const std::string&, const std::string&, UINT) { return 1; }))
        << "the default is no hook";
    MessageBoxHook old = SetMessageBoxHook([](HWND, const std::string&, const std::string&, UINT) { return 2; });
    ASSERT_TRUE(old);
    EXPECT_EQ(old(0, "", "", 0), 1);
    EXPECT_EQ(MessageBox(0, "", "", MB_OK), 2);

    int beeps = 0;
    EXPECT_FALSE(SetMessageBeepHook([&](UINT) { ++beeps; }));
    EXPECT_TRUE(SetMessageBeepHook(nullptr)) << "answers the counting hook";
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MessageBeep(0xFFFF));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(beeps, 0) << "the default is back";
}

TEST_F(Dialogs, BeepHookSeesTheType)
{
    std::vector<UINT> types;
    SetMessageBeepHook([&](UINT type) { types.push_back(type); });
    EXPECT_TRUE(MessageBeep(0xFFFF));
    EXPECT_TRUE(MessageBeep(MB_ICONINFORMATION));
    EXPECT_EQ(types, (std::vector<UINT> { 0xFFFF, 0x40 }));
}

TEST_F(Dialogs, DefaultBoxWritesToStandardErrorAndAnswersTheFirstButton)
{
    struct Row {
        UINT type;
        int answer;
    };
    const Row rows[] = {
        { MB_OK, IDOK },
        { MB_OKCANCEL, IDOK },
        { MB_YESNO, IDYES },
        { MB_YESNOCANCEL, IDYES },
        { MB_OK | MB_ICONERROR, IDOK },
        { MB_YESNO | MB_ICONWARNING, IDYES },
        { MB_YESNOCANCEL | MB_ICONINFORMATION, IDYES },
    };
    for (const Row& row : rows) {
        testing::internal::CaptureStderr();
        int answer = MessageBox(0, "to much Application", "Error", row.type);
        std::string written = testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, row.answer) << "type " << row.type;
        EXPECT_EQ(written, "Error: to much Application\n") << "type " << row.type;
    }
}

TEST_F(Dialogs, DefaultBoxWritesUtf8)
{
    testing::internal::CaptureStderr();
    MessageBox(0, "1 \xB5s \x80 \x93quoted\x94 \x81", "Caf\xE9", MB_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Caf\xC3\xA9: 1 \xC2\xB5s \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D \xC2\x81\n");
}

TEST_F(Dialogs, DefaultBeepWritesNothingWhenStandardErrorIsNoTerminal)
{
    // Captured standard error is a file, not a terminal.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MessageBeep(0xFFFF));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
