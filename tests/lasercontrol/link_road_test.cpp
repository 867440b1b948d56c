//===- link_road_test.cpp - Notices and commands through the real link library ---===//
#include "lasercontrol/TForm_main.h"

#include "controls/TMLCD.h"
#include "controls/TMled.h"
#include "controls/ToaGauge.h"
#include "link/Varnex32.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"

namespace {

using LinkRoadTest = HeliantTest;

TEST_F(LinkRoadTest, NoticesRedrawThePanelFromTheServersStatus)
{
    start();
    EXPECT_EQ(Form_main->LCD_Hz->GetValue(), 50);
    server.Copy().repRate = 75;
    server.Copy().quantity = 1234;
    notice(ev_blink2, 1);
    EXPECT_EQ(Form_main->LCD_Hz->GetValue(), 75);
    EXPECT_EQ(Form_main->LCD_quant->GetValue(), 1234);
}

TEST_F(LinkRoadTest, PortEventNamesThePortAtOnce)
{
    server.Copy() = TypicalLaser();
    registerPanel();
    // The names of the ports are the port label's rule (panel_rules_test); here only that the event brings it.
    server.Copy().comPort = 12;
    notice(ev_comport);
    EXPECT_EQ(Form_main->label_com->GetCaption(), "COM12");
}

TEST_F(LinkRoadTest, LinkActivityLampsFollowTheirEvents)
{
    registerPanel();
    notice(ev_txon);
    notice(ev_rxon);
    EXPECT_TRUE(Form_main->led_tx->GetLedOn());
    EXPECT_TRUE(Form_main->LED_RX->GetLedOn());
    notice(ev_txoff);
    EXPECT_FALSE(Form_main->led_tx->GetLedOn());
    EXPECT_TRUE(Form_main->LED_RX->GetLedOn());
    notice(ev_rxoff);
    EXPECT_FALSE(Form_main->LED_RX->GetLedOn());
}

TEST_F(LinkRoadTest, WarmupEventMovesTheWarmupGauge)
{
    server.Copy() = TypicalLaser();
    server.Copy().stateFlags |= sf_warmup;
    server.Copy().warmupProgress = 40;
    registerPanel();
    announce();
    notice(ev_warmup);
    EXPECT_TRUE(Form_main->gauge_time->GetVisible());
    EXPECT_EQ(Form_main->gauge_time->GetProgress(), 40);
}

TEST_F(LinkRoadTest, BeepEventsBeepAndTheLinkEventsSetTheConnectionState)
{
    start();
    for (uint8_t event : { ev_beep, ev_beep80, ev_beep82, ev_beep83, ev_beep84, ev_beep85, ev_beep86 })
        notice(event);
    notice(0x81);
    notice('Z');
    EXPECT_EQ(beeps.Beeps(), std::vector<UINT>(7, 0xFFFF));
    notice(ev_linklost);
    EXPECT_TRUE(Form_main->GetPanelState().NoConnection());
    notice(ev_linkback);
    EXPECT_FALSE(Form_main->GetPanelState().NoConnection());
    EXPECT_EQ(beeps.Beeps().size(), 9u);
}

TEST_F(LinkRoadTest, ServerClosingShowsNoConnection)
{
    start();
    notice(ev_txon);
    notice(ev_rxon);
    notice(ev_blink1, 1);
    ASSERT_EQ(Form_main->Label_lastyp->GetCaption(), " KELMOR 248");

    const int target = noticesHandled + 1;
    ASSERT_EQ(server.PublishClosing(), 0);
    ASSERT_TRUE(pumpUntil([&] { return noticesHandled >= target; }));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, " Kelmor.exe was closed");
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Error");
    EXPECT_EQ(boxes.Boxes()[0].Type, UINT(MB_OK));
    EXPECT_TRUE(Form_main->GetPanelState().NoConnection());
    EXPECT_FALSE(Form_main->led_tx->GetLedOn());
    EXPECT_FALSE(Form_main->LED_RX->GetLedOn());
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "NO CONNECTION");
    EXPECT_EQ(Form_main->Label_lastyp->GetFont()->GetSize(), 10);
}

TEST_F(LinkRoadTest, AnOldServerIsToldOnceAndTheProgramCloses)
{
    start();
    server.Status.serverVersionLevel = 'X';
    SetField(server.Status.serverVersionText, "Kelmor32 2.9");
    // A notice that arrives while the box is up must not open a second one.
    boxes.WhileUp = [](const uitest::BoxRecord&) { Form_main->LASSHELLEvent(ev_beep, 0); };
    notice(ev_beep);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "Old Kelmor32 2.9  :  Exit    ");
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Error");
    EXPECT_EQ(beeps.Beeps().size(), 2u) << "both events are acted on";
    EXPECT_TRUE(Form_main->Closing());
    EXPECT_TRUE(Application->GetTerminated());
    EXPECT_EQ(server.ClientCount(), 0) << "closing released the link";
}

TEST_F(LinkRoadTest, AnOldServerWhileTheLaserFiresAsksAgainAfterARefusedExit)
{
    uitest::ModalAnswerer modal;
    modal.Answer(mrCancel);
    modal.Answer(mrCancel);
    server.Copy() = TypicalLaser();
    server.Copy().stateFlags |= sf_highvoltage | sf_firing;
    registerPanel();
    announce();
    server.Status.serverVersionLevel = 'A';
    SetField(server.Status.serverVersionText, "Kelmor32 1.0");
    notice(ev_beep);
    server.Copy().repRate = 99;
    notice(ev_beep);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(Form_main->LCD_Hz->GetValue(), 99) << "the panel goes on following the server";
    EXPECT_EQ(beeps.Beeps().size(), 2u);
    ASSERT_EQ(modal.Shown().size(), 2u);
    EXPECT_EQ(modal.Shown()[0].ClassName, "Texithint");
    EXPECT_FALSE(Form_main->Closing());
    EXPECT_TRUE(Form_main->Registered());
}

TEST_F(LinkRoadTest, AnOldServerToldWhileTheExitQuestionIsUpLeavesTheAnswerToIt)
{
    uitest::ModalAnswerer modal;
    server.Copy() = TypicalLaser();
    server.Copy().stateFlags |= sf_highvoltage | sf_firing;
    registerPanel();
    announce();
    // The server is found old by a notice that comes while the operator's exit question is up.
    modal.Then([this](TForm& Question) {
        server.Status.serverVersionLevel = 'A';
        SetField(server.Status.serverVersionText, "Kelmor32 1.0");
        notice(ev_beep);
        Question.ModalResult = mrCancel;
    });
    Form_main->Close();
    ASSERT_EQ(boxes.Boxes().size(), 1u) << boxes.Boxes().back().Text;
    EXPECT_EQ(boxes.Boxes()[0].Text, "Old Kelmor32 1.0  :  Exit    ");
    EXPECT_EQ(modal.Shown().size(), 1u) << "one exit question";
    EXPECT_FALSE(Form_main->Closing()) << "the question's answer holds";
    // The refused exit lets the next notice tell again.
    notice(ev_beep);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(modal.Shown().size(), 2u);
    EXPECT_TRUE(Form_main->Registered());
}

TEST_F(LinkRoadTest, ServerVersionTextsAreReadWithinTheirField)
{
    start();
    server.Status.serverVersionLevel = 'B';
    // 49 characters and no terminator; the level byte follows directly.
    SetField(server.Status.serverVersionText, std::string(49, 'v'));
    notice(ev_beep);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "Old " + std::string(49, 'v') + "  :  Exit    ");
}

TEST_F(LinkRoadTest, AnOldServerWithoutVersionTextIsAccepted)
{
    server.Copy() = TypicalLaser();
    registerPanel();
    server.Status.serverVersionLevel = 'A';
    SetField(server.Status.serverVersionText, "");
    notice(ev_beep);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(beeps.Beeps().size(), 1u);
    EXPECT_FALSE(Form_main->Closing());
}

TEST_F(LinkRoadTest, CommandsCarryTheApplicationWindowAndCountTheirSequence)
{
    start(); // the server is ready now
    Form_main->lascommand(cmd_laseron, 0);
    Form_main->lascommand(cmd_reprate, 120);
    const std::vector<LaserCommand> ring = server.Fetch();
    ASSERT_EQ(ring.size(), 2u);
    EXPECT_EQ(ring[0].window, Application->GetHandle());
    EXPECT_EQ(ring[0].sequence, 1);
    EXPECT_EQ(ring[0].code, cmd_laseron);
    EXPECT_EQ(ring[1].sequence, 2);
    EXPECT_EQ(ring[1].code, cmd_reprate);
    EXPECT_EQ(ring[1].argument, 120u);
}

TEST_F(LinkRoadTest, RefusedCommandsBeep)
{
    // A server that closed leaves no ready server behind.
    server.PublishClosing();
    Form_main->lascommand(cmd_laseron, 0);
    EXPECT_EQ(beeps.Beeps(), std::vector<UINT> { 0xFFFF });
    EXPECT_EQ(Form_main->GetLink().NextNumber(), 2) << "the sequence counts refused commands too";
}

} // namespace
