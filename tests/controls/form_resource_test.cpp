//===- form_resource_test.cpp - Every control read from a form resource, and the panel it makes ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/TMGauge.h"
#include "controls/TMLCD.h"
#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "controls/TMnumedit.h"
#include "controls/ToaGauge.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/rtl/Exception.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/TCustomPanel.h"

#include <cstdlib>
#include <fstream>

using namespace controlstest;

/// A small instrument panel with one or more of each control, all with properties of their own.
class TControlsDemo : public TForm {
public:
    using TForm::TForm;

    TPanel* Panel1 = nullptr;
    TMled* led_onl = nullptr;
    TMled* led_err = nullptr;
    TMled* led_warm = nullptr;
    TMled* led_off = nullptr;
    TMLCD* LCD_Hz = nullptr;
    TMLCD* LCD_hex = nullptr;
    TMPLCD* MPLCD_mj = nullptr;
    TMGauge* Gauge_press = nullptr;
    ToaGauge* gauge_time = nullptr;
    ToaGauge* gauge_pie = nullptr;
    TMnumedit* edit_energy = nullptr;
};

namespace {

const PublishedClass& ControlsDemoClass =
    PublishClass<TControlsDemo, TForm>("TControlsDemo", [](Published<TControlsDemo>& P) {
        P.Field("Panel1", &TControlsDemo::Panel1);
        P.Field("led_onl", &TControlsDemo::led_onl);
        P.Field("led_err", &TControlsDemo::led_err);
        P.Field("led_warm", &TControlsDemo::led_warm);
        P.Field("led_off", &TControlsDemo::led_off);
        P.Field("LCD_Hz", &TControlsDemo::LCD_Hz);
        P.Field("LCD_hex", &TControlsDemo::LCD_hex);
        P.Field("MPLCD_mj", &TControlsDemo::MPLCD_mj);
        P.Field("Gauge_press", &TControlsDemo::Gauge_press);
        P.Field("gauge_time", &TControlsDemo::gauge_time);
        P.Field("gauge_pie", &TControlsDemo::gauge_pie);
        P.Field("edit_energy", &TControlsDemo::edit_energy);
    });

class FormResourceTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        Demo.reset(TForm::Create<TControlsDemo>(Application));
    }
    void TearDown() override
    {
        Demo.reset();
        ControlsTest::TearDown();
    }

    /// The colour at (X, Y) of Control's area within a grab of the whole panel.
    TColor At(const Dib& Panel, TControl& Control, int X, int Y)
    {
        return PixelAt(Panel, Control.GetLeft() + X, Control.GetTop() + Y);
    }

    std::unique_ptr<TControlsDemo> Demo;
};

TEST_F(FormResourceTest, LampsTakeTheirProperties)
{
    EXPECT_TRUE(Demo->led_onl->GetLedOn());
    EXPECT_EQ(Demo->led_onl->GetLedOnColor(), TLedOnColors::Gruen);
    EXPECT_EQ(Demo->led_onl->GetLedOffColor(), TLedOffColors::dGruen);
    EXPECT_EQ(Demo->led_onl->GetLedframeColor(), clBtnFace);
    EXPECT_EQ(Demo->led_err->GetLedTyp(), 2);
    EXPECT_EQ(Demo->led_err->GetLedOffColor(), TLedOffColors::drot);
    EXPECT_EQ(Demo->led_err->GetWidth(), 20) << "square after reading";
    EXPECT_EQ(Demo->led_err->GetHeight(), 20);
    EXPECT_TRUE(Demo->led_warm->GetLedOn()) << "through LedStatus";
    EXPECT_EQ(Demo->led_warm->GetLedTyp(), 7);
    EXPECT_FALSE(Demo->led_off->GetEnabled());
}

TEST_F(FormResourceTest, DisplaysTakeTheirProperties)
{
    EXPECT_EQ(Demo->LCD_Hz->GetValue(), 200);
    EXPECT_EQ(Demo->LCD_Hz->GetNumOfDigits(), 3);
    EXPECT_EQ(Demo->LCD_Hz->GetWidth(), 39) << "the width follows the digits";
    EXPECT_EQ(Demo->LCD_Hz->GetLCDOnColor(), TLCDColors::Rot);
    EXPECT_EQ(Demo->LCD_hex->GetFormat(), TLcdFormat::HEX);
    EXPECT_EQ(Demo->LCD_hex->GetLCDframeColor(), 0x202020);
    EXPECT_EQ(Demo->MPLCD_mj->GetValue(), 12.5);
    EXPECT_EQ(Demo->MPLCD_mj->GetNumOfDecimals(), 1);
    EXPECT_EQ(Demo->MPLCD_mj->GetLCDOffColor(), TLCDColors::dCyan);
}

TEST_F(FormResourceTest, GaugesAndTheEditTakeTheirProperties)
{
    EXPECT_EQ(Demo->Gauge_press->GetMaxValue(), 200);
    EXPECT_EQ(Demo->Gauge_press->Getvalue(), 110);
    EXPECT_EQ(Demo->Gauge_press->GetSpots(), 20);
    EXPECT_EQ(Demo->Gauge_press->GetBarColor(), clNavy);
    EXPECT_EQ(Demo->gauge_time->GetProgress(), 40);
    EXPECT_EQ(Demo->gauge_time->GetForeColor(), clMaroon);
    EXPECT_EQ(Demo->gauge_time->GetBevel(), oaGauges::TBevelShape::bvLowered);
    EXPECT_EQ(Demo->gauge_pie->GetKind(), gkPie);
    EXPECT_FALSE(Demo->gauge_pie->GetShowText());
    EXPECT_EQ(Demo->edit_energy->NumKind, cspoint);
    EXPECT_EQ(Demo->edit_energy->Getpoints(), 1);
    EXPECT_EQ(Demo->edit_energy->GetMaxLength(), 4);
    EXPECT_EQ(Demo->edit_energy->Getvalue(), 12.5);
    EXPECT_EQ(Demo->edit_energy->GetText(), "12.5");
    EXPECT_FALSE(Demo->edit_energy->minus);
    EXPECT_EQ(Demo->edit_energy->inputdefault, 1);
}

TEST_F(FormResourceTest, TheShownTextAndPercentageArePublishedReadOnly)
{
    Shot(*Demo->Panel1); // the display keeps the text it last drew
    const PublishedProperty* Text = PublishedClass::Of(*Demo->LCD_Hz)->FindProperty("ValueString");
    const PublishedProperty* Percent = PublishedClass::Of(*Demo->gauge_time)->FindProperty("PercentDone");
    ASSERT_TRUE(Text && Percent);
    EXPECT_EQ(Text->GetStr(*Demo->LCD_Hz), "200");
    EXPECT_EQ(Percent->GetOrd(*Demo->gauge_time), 40);
    EXPECT_THROW(Text->SetStr(*Demo->LCD_Hz, "999"), Exception);
    EXPECT_THROW(Percent->SetOrd(*Demo->gauge_time, 90), Exception);
    EXPECT_EQ(Demo->LCD_Hz->GetValueString(), "200");
    EXPECT_EQ(Demo->gauge_time->GetPercentDone(), 40);
}

TEST_F(FormResourceTest, ThePanelShowsEveryControl)
{
    auto Panel = Shot(*Demo->Panel1);
    if (const char* Path = std::getenv("CONTROLS_DEMO_BMP")) {
        // For a person to look at: CONTROLS_DEMO_BMP=/tmp/demo.bmp controls_tests --gtest_filter=*ThePanel*
        const std::vector<uint8_t> Bytes = uitest::Grab(*Demo)->SaveBmp();
        std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
    }
    EXPECT_EQ(At(*Panel, *Demo->led_onl, 7, 7), 0x00FF00) << "lit green lamp";
    EXPECT_EQ(At(*Panel, *Demo->led_onl, 0, 0), Rgb(clBtnFace)) << "its frame";
    EXPECT_EQ(At(*Panel, *Demo->led_err, 10, 10), 0x000080) << "dark red lamp";
    EXPECT_EQ(At(*Panel, *Demo->led_warm, 7, 7), 0x00FFFF) << "lit yellow diamond";
    EXPECT_EQ(At(*Panel, *Demo->led_off, 7, 7), 0x808080) << "disabled lamp";

    // "200": segment g (middle) lit in the 2 only; segment a (top) lit in all three.
    EXPECT_EQ(At(*Panel, *Demo->LCD_Hz, 6, 11), 0x0000FF);
    EXPECT_EQ(At(*Panel, *Demo->LCD_Hz, 13 + 6, 11), 0x000080);
    EXPECT_EQ(At(*Panel, *Demo->LCD_Hz, 26 + 6, 2), 0x0000FF);
    EXPECT_EQ(Demo->LCD_hex->GetValueString(), "BEEF");
    EXPECT_EQ(At(*Panel, *Demo->LCD_hex, 0, 0), 0x202020);
    // 12.5: the point sits in the last cell, which starts at 39.
    EXPECT_EQ(At(*Panel, *Demo->MPLCD_mj, 39 + 1, 20), 0xFFFF00) << "decimal point";

    // 110 of 0..200 lights 11 of 20 segments of 9 pixels.
    const int Lit10 = 2 + 10 * 9 + 3, Dark11 = 2 + 11 * 9 + 3;
    EXPECT_EQ(At(*Panel, *Demo->Gauge_press, Lit10, 8), clNavy);
    EXPECT_EQ(At(*Panel, *Demo->Gauge_press, Dark11, 8), Rgb(clBtnFace));

    EXPECT_EQ(At(*Panel, *Demo->gauge_time, 20, 3), clMaroon) << "40 % bar";
    EXPECT_EQ(At(*Panel, *Demo->gauge_time, 150, 3), clWhite);
    EXPECT_EQ(At(*Panel, *Demo->gauge_pie, 36, 12), clNavy) << "25 % pie";
    EXPECT_EQ(At(*Panel, *Demo->gauge_pie, 12, 12), clWhite);
}

} // namespace
