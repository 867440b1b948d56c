//===- front_panel_test.cpp - The panel drawn from crafted status copies ---===//
#include "lasercontrol/TForm_main.h"

#include "controls/TMGauge.h"
#include "controls/TMLCD.h"
#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "controls/ToaGauge.h"
#include "lasercontrol/Tfenergy.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/ui/controls/Buttons.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/controls/TCustomPanel.h"

#include <limits>

namespace {

class FrontPanelTest : public HeliantTest {
protected:
    void SetUp() override
    {
        HeliantTest::SetUp();
        registerPanel();
    }
    /// The panel adapted to the laser and redrawn from Copy, as '3' does, without the library.
    void showLaser(const LaserStatusCopy& Copy)
    {
        Form_main->takeStatus(Copy);
        Form_main->enable_device(Copy.deviceFlags);
        Form_main->Lgetstatus();
    }
    /// A redraw from Copy, as every other notice does.
    void redraw(const LaserStatusCopy& Copy)
    {
        Form_main->takeStatus(Copy);
        Form_main->Lgetstatus();
    }
};

struct LampRow {
    TMled* TForm_main::*Lamp;
    uint8_t LaserStatusCopy::*Flags;
    uint8_t Mask;
};

TEST_F(FrontPanelTest, EachLampShowsItsBitAndNoOther)
{
    const LampRow rows[] = {
        { &TForm_main::led_onl, &LaserStatusCopy::stateFlags, sf_online },
        { &TForm_main::led_lready, &LaserStatusCopy::stateFlags, sf_ready },
        { &TForm_main::led_lon, &LaserStatusCopy::stateFlags, sf_highvoltage },
        { &TForm_main::led_warm, &LaserStatusCopy::stateFlags, sf_warmup },
        { &TForm_main::led_nf, &LaserStatusCopy::stateFlags, sf_gasmode },
        { &TForm_main::led_exttrigger, &LaserStatusCopy::stateFlags, sf_exttrigger },
        { &TForm_main::led_freq, &LaserStatusCopy::modeFlags, 0x01 },
        { &TForm_main::led_quant, &LaserStatusCopy::modeFlags, 0x02 },
        { &TForm_main::led_control, &LaserStatusCopy::modeFlags, 0x04 },
        { &TForm_main::led_watchmode, &LaserStatusCopy::modeFlags, 0x80 },
        { &TForm_main::led_box, &LaserStatusCopy::errorFlags2, 0x02 },
        { &TForm_main::led_loop, &LaserStatusCopy::errorFlags2, 0x04 },
        { &TForm_main::led_temp, &LaserStatusCopy::errorFlags2, 0x08 },
        { &TForm_main::led_pemerror, &LaserStatusCopy::errorFlags2, 0x20 },
        { &TForm_main::led_cpu, &LaserStatusCopy::errorFlags2, 0x80 },
        { &TForm_main::led_press, &LaserStatusCopy::errorFlags1, 0x02 },
        { &TForm_main::led_fill, &LaserStatusCopy::errorFlags1, 0x04 },
        { &TForm_main::led_hv, &LaserStatusCopy::errorFlags1, 0x08 },
        { &TForm_main::led_heiz, &LaserStatusCopy::errorFlags1, 0x10 },
        { &TForm_main::led_HVtoohigh, &LaserStatusCopy::errorFlags1, 0x40 },
        { &TForm_main::led_hvtemp, &LaserStatusCopy::errorFlags1, 0x80 },
        { &TForm_main::led_temperature, &LaserStatusCopy::errorFlags3, 0x01 },
        { &TForm_main::led_ee, &LaserStatusCopy::errorFlags3, 0x02 },
        { &TForm_main::led_inert, &LaserStatusCopy::gasState, 0x10 },
        { &TForm_main::led_pre, &LaserStatusCopy::gasState, 0x20 },
        { &TForm_main::led_lh, &LaserStatusCopy::gasState, 0x40 },
        { &TForm_main::led_vac, &LaserStatusCopy::gasState, 0x80 },
    };
    for (const LampRow& row : rows) {
        LaserStatusCopy s {};
        s.deviceVersion = 186;
        s.*row.Flags = row.Mask;
        redraw(s);
        for (const LampRow& other : rows)
            EXPECT_EQ((Form_main->*other.Lamp)->GetLedOn(), &other == &row)
                << (Form_main->*other.Lamp)->GetName() << " with " << (Form_main->*row.Lamp)->GetName() << "'s bit";
    }
}

TEST_F(FrontPanelTest, ControlLoopTurnsItsButtonRedAndLocksTheEnergyLamp)
{
    LaserStatusCopy s = TypicalLaser();
    s.modeFlags = 0x04 | 0x08;
    showLaser(s);
    EXPECT_EQ(Form_main->btn_contr->GetColor(), clRed);
    EXPECT_TRUE(fenergy->Mled1->GetLedOn());
    s.modeFlags = 0;
    redraw(s);
    EXPECT_EQ(Form_main->btn_contr->GetColor(), clBtnFace);
    EXPECT_FALSE(fenergy->Mled1->GetLedOn());
}

TEST_F(FrontPanelTest, ValuesGoToTheirDisplaysAndGauges)
{
    LaserStatusCopy s = TypicalLaser();
    s.energy = 12.5f;
    s.energySet = 91.0f;
    s.pressure = 2799.6f;
    s.pressureBar = 3;
    s.gasTemperature = 33.5f;
    s.hvPercent = 85;
    s.watchCounter = 42;
    s.pulseCounter = 1234567;
    showLaser(s);
    EXPECT_EQ(Form_main->LCD_Hz->GetValue(), 50);
    EXPECT_EQ(Form_main->LCD_quant->GetValue(), 100);
    EXPECT_DOUBLE_EQ(Form_main->LCD_mj->GetValue(), 12.5);
    EXPECT_DOUBLE_EQ(fenergy->MPLCD9->GetValue(), 91.0);
    EXPECT_EQ(Form_main->Gauge_press->Getvalue(), 3);
    EXPECT_EQ(Form_main->Gauge_press->GetBarColor(), clNavy);
    EXPECT_EQ(Form_main->Panel_prh1->GetCaption(), "2800");
    EXPECT_EQ(Form_main->gauge_temperature->Getvalue(), 34);
    EXPECT_EQ(Form_main->gauge_temperature->GetBarColor(), clNavy);
    EXPECT_EQ(Form_main->Gauge_hv->Getvalue(), 85);
    EXPECT_EQ(Form_main->Label_85->GetCaption(), "  85 %");
    EXPECT_EQ(Form_main->lab_impz->GetCaption(), "42");
    EXPECT_EQ(Form_main->lab_count->GetCaption(), "1234567");
    EXPECT_EQ(Form_main->GetPanelState().HvBase(), 85);
}

// When a bar turns yellow or red is decided by its rule (panel_rules_test); here only that the gauges take it.
TEST_F(FrontPanelTest, BarsTakeTheColoursOfTheirRules)
{
    LaserStatusCopy s = TypicalLaser();
    s.pressureBar = 5;
    s.errorFlags2 = 0x40;
    showLaser(s);
    EXPECT_TRUE(Form_main->GetPanelState().ReservoirHot());
    EXPECT_EQ(Form_main->Gauge_press->GetBarColor(), clYellow);
    EXPECT_EQ(Form_main->gauge_temperature->GetBarColor(), clYellow);
    s.errorFlags2 |= 0x10;
    s.errorFlags3 = 0x01;
    redraw(s);
    EXPECT_EQ(Form_main->Gauge_press->GetBarColor(), clRed);
    EXPECT_EQ(Form_main->gauge_temperature->GetBarColor(), clRed);
}

TEST_F(FrontPanelTest, BrokenServerFloatsNeitherStopTheRedrawNorShowGarbage)
{
    LaserStatusCopy s = TypicalLaser();
    s.pressure = std::numeric_limits<float>::quiet_NaN();
    s.gasTemperature = std::numeric_limits<float>::infinity();
    showLaser(s);
    EXPECT_EQ(Form_main->Panel_prh1->GetCaption(), "");
    EXPECT_EQ(Form_main->gauge_temperature->Getvalue(), Form_main->gauge_temperature->GetMinValue());
    s.pressure = 1e30f;
    s.gasTemperature = 1e30f;
    redraw(s);
    EXPECT_EQ(Form_main->Panel_prh1->GetCaption(), "2147483647");
    EXPECT_EQ(Form_main->gauge_temperature->Getvalue(), Form_main->gauge_temperature->GetMaxValue());
    s.gasTemperature = -std::numeric_limits<float>::infinity();
    redraw(s);
    EXPECT_EQ(Form_main->gauge_temperature->Getvalue(), Form_main->gauge_temperature->GetMinValue());
}

TEST_F(FrontPanelTest, ShutterButtonNamesWhatItWillDo)
{
    LaserStatusCopy s = TypicalLaser();
    showLaser(s);
    EXPECT_EQ(Form_main->btn_shutter->GetCaption(), "OPEN &SHUTTER");
    EXPECT_EQ(Form_main->btn_shutter->GetHint(), "OPEN SHUTTER");
    EXPECT_EQ(Form_main->led_shutter->GetHint(), "shutter closed");
    EXPECT_FALSE(Form_main->led_shutter->GetLedOn());
    s.modeFlags2 = 0x10;
    redraw(s);
    EXPECT_EQ(Form_main->btn_shutter->GetCaption(), "CLOSE &SHUTTER");
    EXPECT_EQ(Form_main->btn_shutter->GetHint(), "CLOSE SHUTTER");
    EXPECT_EQ(Form_main->led_shutter->GetHint(), "shutter open");
    EXPECT_TRUE(Form_main->led_shutter->GetLedOn());
}

TEST_F(FrontPanelTest, HighVoltageBaseIsKeptWhenAStepJustSetIt)
{
    LaserStatusCopy s = TypicalLaser();
    showLaser(s);
    EXPECT_EQ(Form_main->GetPanelState().HvBase(), 50);
    Form_main->Btn_Click(Form_main->btn_hvuu);
    EXPECT_EQ(Form_main->GetPanelState().HvBase(), 60);
    redraw(s);
    EXPECT_EQ(Form_main->GetPanelState().HvBase(), 60) << "the status still holds the old value";
    redraw(s);
    EXPECT_EQ(Form_main->GetPanelState().HvBase(), 50);
}

TEST_F(FrontPanelTest, AnErrorGrowsThePanelAtTheNextBlinkAndItsEndShrinksIt)
{
    server.Copy() = TypicalLaser();
    announce();
    uint8_t LaserStatusCopy::*const fields[] = { &LaserStatusCopy::errorFlags1, &LaserStatusCopy::errorFlags2,
                                                 &LaserStatusCopy::errorFlags3 };
    const uint8_t bits[] = { 0x01, 0x01, 0x02 };
    for (int i = 0; i < 3; ++i) {
        server.Copy().*fields[i] = bits[i];
        notice(ev_device);
        EXPECT_EQ(Form_main->GetClientHeight(), ShortClientHeight) << "not before the blink";
        notice(ev_blink1, 1);
        EXPECT_EQ(Form_main->GetClientHeight(), TallClientHeight);
        EXPECT_TRUE(Form_main->Panel_Stat_error->GetVisible());
        EXPECT_TRUE(Form_main->Panel_Op_Error->GetVisible());
        server.Copy().*fields[i] = 0;
        notice(ev_blink1, 0);
        EXPECT_EQ(Form_main->GetClientHeight(), ShortClientHeight);
        EXPECT_FALSE(Form_main->Panel_Stat_error->GetVisible());
        EXPECT_FALSE(Form_main->Panel_Op_Error->GetVisible());
    }
}

TEST_F(FrontPanelTest, ErrorLampsAndTextsBlink)
{
    LaserStatusCopy s = TypicalLaser();
    s.errorFlags1 = 0x01; // operation error
    s.errorFlags2 = 0x10; // pressure too low
    showLaser(s);
    Form_main->lblink1(true);
    EXPECT_TRUE(Form_main->led_op_err->GetLedOn());
    EXPECT_FALSE(Form_main->led_stat_err->GetLedOn());
    EXPECT_TRUE(Form_main->Label_op_err->GetVisible());
    EXPECT_TRUE(Form_main->Label_stat_err->GetVisible());
    EXPECT_TRUE(Form_main->Gauge_press->GetEnabled());
    Form_main->lblink1(false);
    EXPECT_FALSE(Form_main->led_op_err->GetLedOn());
    EXPECT_FALSE(Form_main->Label_op_err->GetVisible());
    EXPECT_TRUE(Form_main->Label_stat_err->GetVisible()) << "only the text of an error that is there blinks";
    EXPECT_FALSE(Form_main->Gauge_press->GetEnabled());
    Form_main->lblink1(true);
    EXPECT_TRUE(Form_main->Label_op_err->GetVisible());
}

TEST_F(FrontPanelTest, HotGasReservoirLampBlinks)
{
    LaserStatusCopy s = TypicalLaser();
    s.errorFlags2 = 0x40;
    showLaser(s);
    Form_main->lblink1(true);
    EXPECT_TRUE(Form_main->led_gastemp->GetLedOn());
    Form_main->lblink1(false);
    EXPECT_FALSE(Form_main->led_gastemp->GetLedOn());
}

TEST_F(FrontPanelTest, DigitDisplaysBlinkOnlyWhileTheLaserFires)
{
    LaserStatusCopy s = TypicalLaser();
    s.stateFlags |= sf_highvoltage | sf_firing;
    showLaser(s);
    uitest::ModalAnswerer modal;
    modal.Answer(mrOk);
    Form_main->InputClick(Form_main->LCD_Hz);
    ASSERT_TRUE(Form_main->GetPanelState().LcdBlinkHz());
    Form_main->lblink1(false);
    EXPECT_FALSE(Form_main->LCD_Hz->GetLCDOn());
    EXPECT_TRUE(Form_main->LCD_quant->GetLCDOn());
    Form_main->lblink1(true);
    EXPECT_TRUE(Form_main->LCD_Hz->GetLCDOn());

    s.stateFlags &= uint8_t(~sf_firing);
    redraw(s);
    EXPECT_FALSE(Form_main->GetPanelState().LcdBlinkHz());
    Form_main->lblink1(false);
    EXPECT_TRUE(Form_main->LCD_Hz->GetLCDOn());
}

TEST_F(FrontPanelTest, LaserOnLampStaysLitForItsHoldWhileTheHighVoltageComes)
{
    LaserStatusCopy s = TypicalLaser();
    showLaser(s);
    Form_main->Btn_Click(Form_main->btn_lason);
    ASSERT_EQ(Form_main->GetPanelState().LaserOnHold(), 10);
    for (int i = 0; i < 8; ++i)
        Form_main->lblink1(true);
    redraw(s);
    EXPECT_TRUE(Form_main->led_lon->GetLedOn());
    Form_main->lblink1(false);
    EXPECT_FALSE(Form_main->led_lon->GetLedOn());
    Form_main->lblink1(true);
    EXPECT_TRUE(Form_main->led_lon->GetLedOn());
    EXPECT_EQ(Form_main->GetPanelState().LaserOnHold(), 1);
    Form_main->lblink1(true);
    EXPECT_EQ(Form_main->GetPanelState().LaserOnHold(), 0);
    Form_main->lblink1(false);
    Form_main->lblink1(true);
    EXPECT_FALSE(Form_main->led_lon->GetLedOn());

    Form_main->Btn_Click(Form_main->btn_lason);
    s.stateFlags |= sf_highvoltage;
    redraw(s);
    EXPECT_EQ(Form_main->GetPanelState().LaserOnHold(), 0) << "the high voltage ends the hold";
    EXPECT_TRUE(Form_main->led_lon->GetLedOn());
}

TEST_F(FrontPanelTest, InspectionAlternatesWithTheLaserType)
{
    LaserStatusCopy s = TypicalLaser();
    s.modeFlags2 = 0x01;
    showLaser(s);
    Form_main->lblink1(false);
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "inspection necessary");
    EXPECT_EQ(Form_main->Label_lastyp->GetFont()->GetSize(), 10);
    Form_main->lblink1(true);
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), " KELMOR 248");
    EXPECT_EQ(Form_main->Label_lastyp->GetFont()->GetSize(), 12);
}

TEST_F(FrontPanelTest, ButtonsFollowTheLasersState)
{
    LaserStatusCopy s = TypicalLaser();
    showLaser(s);
    EXPECT_TRUE(Form_main->btn_lason->GetEnabled());
    EXPECT_FALSE(Form_main->btn_lasoff->GetEnabled());
    EXPECT_FALSE(Form_main->btn_rep->GetEnabled());
    EXPECT_TRUE(Form_main->btn_hvu->GetEnabled());
    EXPECT_TRUE(fenergy->SpeedButton19->GetEnabled());
    EXPECT_FALSE(Form_main->Gauge_hv->GetEnabled());
    s.stateFlags |= sf_highvoltage;
    redraw(s);
    EXPECT_FALSE(Form_main->btn_lason->GetEnabled());
    EXPECT_TRUE(Form_main->btn_lasoff->GetEnabled());
    EXPECT_TRUE(Form_main->btn_rep->GetEnabled());
    EXPECT_TRUE(Form_main->btn_quant->GetEnabled());
    EXPECT_TRUE(Form_main->Gauge_hv->GetEnabled());
    s.stateFlags = 0;
    redraw(s);
    EXPECT_FALSE(Form_main->btn_hvu->GetEnabled());
    EXPECT_FALSE(fenergy->SpeedButton18->GetEnabled());
    EXPECT_FALSE(Form_main->btn_shutter->GetEnabled());
}

TEST_F(FrontPanelTest, WarmupGaugeShowsDuringWarmupAndIsResetWhenHidden)
{
    LaserStatusCopy s = TypicalLaser();
    s.stateFlags |= sf_warmup;
    showLaser(s);
    Form_main->gauge_time->SetProgress(60);
    EXPECT_TRUE(Form_main->gauge_time->GetVisible());
    EXPECT_EQ(Form_main->Label_warm->GetFont()->GetColor(), clMaroon);
    s.stateFlags &= uint8_t(~sf_warmup);
    redraw(s);
    EXPECT_FALSE(Form_main->gauge_time->GetVisible());
    EXPECT_EQ(Form_main->gauge_time->GetProgress(), 0);
    EXPECT_EQ(Form_main->Label_warm->GetFont()->GetColor(), clBlack);
}

TEST_F(FrontPanelTest, PictureOfThePanelShowsItsState)
{
    LaserStatusCopy s = TypicalLaser();
    s.stateFlags |= sf_warmup;
    showLaser(s);
    Form_main->Show();
    const std::unique_ptr<TBitmap> image = Form_main->GetFormImage();
    const Dib* picture = image->GetDib();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), PanelClientWidth);
    EXPECT_EQ(picture->Height(), ShortClientHeight);
    auto centre = [&](TControl* C) {
        TPoint p = Point(C->GetLeft() + C->GetWidth() / 2, C->GetTop() + C->GetHeight() / 2);
        for (TControl* parent = C->GetParent(); parent && parent != Form_main; parent = parent->GetParent())
            p = Point(p.X + parent->GetLeft(), p.Y + parent->GetTop());
        return picture->GetPixel(p.X, p.Y);
    };
    EXPECT_EQ(centre(Form_main->led_warm), COLORREF(clYellow));
    EXPECT_NE(centre(Form_main->led_lon), COLORREF(clRed));
    EXPECT_EQ(picture->GetPixel(1, 1), COLORREF(0xC0C0C0)) << "the form's face";
    Form_main->Hide();
}

} // namespace

// The panel's small labels stand beside their gauge and lamp with a gap, measured as drawn.
TEST_F(FrontPanelTest, PanelLabelsKeepAGapToTheControlsBesideThem)
{
    LaserStatusCopy Copy = TypicalLaser();
    showLaser(Copy);
    const std::pair<TControl*, TControl*> Rows[] = { { Form_main->Label_press, Form_main->Gauge_press },
                                                     { Form_main->Label_pre, Form_main->led_nf } };
    for (auto [Text, Next] : Rows)
        EXPECT_GE(Next->GetLeft() - (Text->GetLeft() + Text->GetWidth()), 4) << Text->GetName();
}
