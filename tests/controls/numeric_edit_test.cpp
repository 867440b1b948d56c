//===- numeric_edit_test.cpp - TMnumedit: accepted keys per kind, reading, limits, shown text ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/TMnumedit.h"
#include "tests/platform/ui/support/UiTestSupport.h"

using namespace controlstest;

namespace {

class NumericEditTest : public ControlsTest {
protected:
    TMnumedit& MakeEdit(tnumkind Kind, int Digits, int Decimals, double Default)
    {
        TMnumedit& E = Make<TMnumedit>();
        E.NumKind = Kind;
        E.SetUp(Digits, Decimals, Default);
        return E;
    }
    /// Types Text over everything the edit holds.
    void TypeOver(TMnumedit& E, std::string_view Text)
    {
        E.SelectAll();
        uitest::TypeText(E, Text);
    }
};

TEST_F(NumericEditTest, ANewEditShowsZeroInTwoDigits)
{
    TMnumedit& E = Make<TMnumedit>();
    EXPECT_EQ(E.GetText(), " 0");
    EXPECT_EQ(E.Getvalue(), 0);
    EXPECT_EQ(E.GetMaxLength(), 2);
    EXPECT_EQ(E.NumKind, csword);
    EXPECT_TRUE(E.minus);
}

struct KeyRow {
    tnumkind Kind;
    const char* Name;
    const char* Accepted; // of the probe characters below, in order
};

TEST_F(NumericEditTest, EachKindTakesItsOwnCharacters)
{
    const std::string Probe = "5AaG,.-x+ ";
    const KeyRow Rows[] = {
        { csword, "csword", "5" },      { csinteger, "csinteger", "5-" }, { cslong, "cslong", "5-" },
        { cspoint, "cspoint", "5,.-" }, { cshex, "cshex", "5Aa-" },
    };
    TMnumedit& E = Make<TMnumedit>();
    E.SetMaxLength(8);
    for (const KeyRow& R : Rows) {
        E.NumKind = R.Kind;
        std::string Taken;
        for (char C : Probe) {
            E.SetText("");
            uitest::TypeText(E, std::string(1, C));
            if (!E.GetText().empty())
                Taken += C;
        }
        EXPECT_EQ(Taken, R.Accepted) << R.Name;
    }
}

TEST_F(NumericEditTest, UnsignedWordsAreHeldTo65535)
{
    TMnumedit& E = MakeEdit(csword, 5, 0, 0);
    TypeOver(E, "70000");
    EXPECT_EQ(E.GetText(), "70000");
    EXPECT_EQ(E.Getvalue(), 65535);
    uitest::TypeText(E, "-");
    EXPECT_EQ(E.GetText(), "70000") << "no sign for words";
}

TEST_F(NumericEditTest, SignedIntegersAreHeldToSixteenBits)
{
    TMnumedit& E = MakeEdit(csinteger, 5, 0, 0);
    TypeOver(E, "-40000");
    EXPECT_EQ(E.GetText(), "-40000") << "the sign gets a place of its own";
    EXPECT_EQ(E.Getvalue(), -32768);
    TypeOver(E, "40000");
    EXPECT_EQ(E.Getvalue(), 32767);
    E.NumKind = cslong;
    TypeOver(E, "-99999");
    EXPECT_EQ(E.Getvalue(), -99999) << "longs are not clamped";
}

TEST_F(NumericEditTest, PointNumbersTakeACommaAsPointAndOnlyOnePoint)
{
    TMnumedit& E = MakeEdit(cspoint, 4, 2, 0);
    E.minus = false;
    TypeOver(E, "1,5");
    EXPECT_EQ(E.GetText(), "1.5");
    uitest::TypeText(E, ".");
    uitest::TypeText(E, ",");
    EXPECT_EQ(E.GetText(), "1.5") << "a second point";
    uitest::TypeText(E, "-");
    EXPECT_EQ(E.GetText(), "1.5") << "minus switched off";
    uitest::TypeText(E, "2");
    EXPECT_EQ(E.GetText(), "1.52");
    EXPECT_DOUBLE_EQ(E.Getvalue(), 1.52);
    EXPECT_FALSE(E.inputerror);
}

TEST_F(NumericEditTest, ASignOnlyCountsInFront)
{
    TMnumedit& E = MakeEdit(cspoint, 4, 0, 0);
    TypeOver(E, "5-");
    EXPECT_EQ(E.GetText(), "5");
    TypeOver(E, "-5");
    EXPECT_EQ(E.GetText(), "-5");
    EXPECT_EQ(E.Getvalue(), -5);
    uitest::TypeText(E, "-");
    EXPECT_EQ(E.GetText(), "-5") << "a second sign";
}

TEST_F(NumericEditTest, PastedTextIsTidied)
{
    TMnumedit& E = MakeEdit(cspoint, 6, 0, 0);
    E.SelectAll();
    uitest::Paste(E, "1.2.3");
    EXPECT_EQ(E.GetText(), "1.23");
    EXPECT_DOUBLE_EQ(E.Getvalue(), 1.23);
    E.SelectAll();
    uitest::Paste(E, "4-5");
    EXPECT_EQ(E.GetText(), "45");
    E.SelectAll();
    uitest::Paste(E, "   7");
    EXPECT_EQ(E.GetText(), " 7") << "leading blanks go, the last two characters stay";
    EXPECT_EQ(E.Getvalue(), 7);
}

TEST_F(NumericEditTest, HexadecimalReadsWithItsSign)
{
    TMnumedit& E = MakeEdit(cshex, 4, 0, 0);
    TypeOver(E, "-1F");
    EXPECT_EQ(E.Getvalue(), -31);
    TypeOver(E, "XYZ");
    EXPECT_EQ(E.GetText(), "-1F") << "nothing of it can be typed";
    TypeOver(E, "ff");
    EXPECT_EQ(E.Getvalue(), 255);
}

TEST_F(NumericEditTest, TextThatCannotBeReadGivesTheDefault)
{
    TMnumedit& E = MakeEdit(cshex, 4, 0, 7);
    E.SelectAll();
    uitest::Paste(E, "1G");
    EXPECT_EQ(E.GetText(), "1G");
    EXPECT_TRUE(E.inputerror);
    EXPECT_EQ(E.Getvalue(), 7);
    TypeOver(E, "A");
    EXPECT_FALSE(E.inputerror);
    EXPECT_EQ(E.Getvalue(), 10);
}

struct ShownRow {
    tnumkind Kind;
    int Digits, Decimals;
    double Start;
    const char* Shown;
    double Value; // what the edit hands back: the number shown
};

TEST_F(NumericEditTest, TheValueHandedBackIsTheValueShown)
{
    const ShownRow Rows[] = {
        { cspoint, 2, 1, 12.345, "12.", 12 },    // cut to its width
        { cspoint, 3, 1, 12.5, "12.5", 12.5 },   // the energy input keeps its decimal
        { cspoint, 1, 1, -3.25, "-3.3", -3.3 },  // rounded half away from zero
        { csword, 5, 0, 70000, "65535", 65535 }, // clamped before it is shown
        { csword, 4, 0, -5, " 0", 0 },           // leading blanks go but for the last two
        { csinteger, 5, 0, -40000, "-32768", -32768 },
        { cslong, 6, 0, -99999, "-99999", -99999 }, // longs are not clamped
        { cshex, 4, 0, 171, "00AB", 171 },
        { cshex, 4, 0, -31.4, "-001F", -31 },
    };
    for (const ShownRow& R : Rows) {
        TMnumedit& E = MakeEdit(R.Kind, R.Digits, R.Decimals, R.Start);
        EXPECT_EQ(E.GetText(), R.Shown) << R.Start;
        EXPECT_DOUBLE_EQ(E.Getvalue(), R.Value) << R.Start;
        EXPECT_FALSE(E.inputerror) << R.Start;
    }
}

TEST_F(NumericEditTest, ValueSetByTheProgramIsShownAndReadBack)
{
    TMnumedit& E = MakeEdit(csword, 4, 0, 12);
    E.Setvalue(12.4);
    EXPECT_EQ(E.GetText(), "12") << "the text did not change";
    EXPECT_EQ(E.Getvalue(), 12) << "and still the value is the one shown";
    E.SelectAll();
    uitest::Paste(E, "1G");
    ASSERT_TRUE(E.inputerror);
    E.Setvalue(7);
    EXPECT_FALSE(E.inputerror) << "the control's own text reads";
    E.Setpoints(12);
    EXPECT_EQ(E.Getpoints(), 8);
}

TEST_F(NumericEditTest, DigitCountsAreTwoToTen)
{
    TMnumedit& E = Make<TMnumedit>();
    E.SetMaxLength(12);
    EXPECT_EQ(E.GetMaxLength(), 10);
    E.SetMaxLength(1);
    EXPECT_EQ(E.GetMaxLength(), 2);
    E.NumKind = cshex;
    E.SetMaxLength(9);
    EXPECT_EQ(E.GetMaxLength(), 8);
}

TEST_F(NumericEditTest, TypingStopsAtTheDigitCount)
{
    uitest::BeepRecorder Beeps;
    TMnumedit& E = MakeEdit(csword, 3, 0, 0);
    TypeOver(E, "12345");
    EXPECT_EQ(E.GetText(), "123");
    EXPECT_EQ(E.Getvalue(), 123);
    EXPECT_EQ(Beeps.Beeps().size(), 2u);
}

TEST_F(NumericEditTest, EveryChangeReachesOnChange)
{
    TMnumedit& E = MakeEdit(csword, 4, 0, 0);
    std::vector<double> Seen;
    E.OnChange = [&](TObject*) { Seen.push_back(E.Getvalue()); };
    TypeOver(E, "42");
    EXPECT_EQ(Seen, (std::vector<double> { 4, 42 }));
}

} // namespace
