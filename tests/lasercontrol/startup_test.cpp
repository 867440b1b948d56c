//===- startup_test.cpp - Heliant's start, registration and the no-connection state ---===//
#include "lasercontrol/TForm_main.h"

#include "controls/TMled.h"
#include "lasercontrol/Tfenergy.h"
#include "link/Varnex32.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/ui/controls/Menus.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/TCustomPanel.h"

namespace {

using StartupTest = HeliantTest;

TEST_F(StartupTest, CaptionIsTheProgramStemTheVersionAndFourteenBlanks)
{
    EXPECT_EQ(Form_main->GetCaption(), "Heliant 7.03              ");
    EXPECT_EQ(Form_main->GetCaption().size(), std::string("Heliant 7.03").size() + 14);
    EXPECT_EQ(Form_main->lab_gasmode->GetCaption(), "");
    EXPECT_TRUE(Form_main->GetPanelState().NoConnection());
    EXPECT_FALSE(Form_main->Registered());
}

TEST_F(StartupTest, RegistrationSizesThePanelAndStartsTheServer)
{
    registerPanel();
    EXPECT_EQ(Form_main->GetClientWidth(), PanelClientWidth);
    EXPECT_EQ(Form_main->GetClientHeight(), ShortClientHeight);
    EXPECT_EQ(Form_main->ShortHeight(), Form_main->GetHeight());
    EXPECT_EQ(Form_main->GetLink().MessageNumber(), getmessagenumber() & 0xFFFF);
    EXPECT_NE(Form_main->GetLink().MessageNumber(), 0);
    EXPECT_EQ(Form_main->GetLink().Whole(), getstatuspointer());
    EXPECT_EQ(started, std::vector<std::string> { "Kelmor32.exe" });
    EXPECT_GE(server.ClientCount(), 1);
}

TEST_F(StartupTest, BeforeTheLaserIsAnnouncedThePanelIsInItsMostReducedForm)
{
    server.Copy() = TypicalLaser();
    server.Copy().deviceVersion = 180; // a laser whose ONLINE and OFFLINE buttons would show
    registerPanel();
    EXPECT_FALSE(Form_main->btn_onl->GetVisible());
    EXPECT_FALSE(Form_main->btn_offline->GetVisible());
    EXPECT_FALSE(Form_main->led_onl->GetVisible());
    EXPECT_FALSE(Form_main->led_control->GetVisible());
    EXPECT_FALSE(Form_main->btn_shutter->GetVisible());
    EXPECT_FALSE(Form_main->Adjustenergy1->GetVisible());
    EXPECT_TRUE(Form_main->Panel_Control->GetVisible());
    EXPECT_TRUE(Form_main->Panel_pressure->GetVisible());
    EXPECT_TRUE(Form_main->panel_Energy->GetVisible());

    // Only the registration's copy was cut: the next notice brings the server's bits, and the
    // buttons follow them before the panel is adapted to the laser.
    notice(ev_blink1, 1);
    EXPECT_EQ(Form_main->Status().capabilityFlags, 0x3F);
    EXPECT_TRUE(Form_main->btn_hvu->GetEnabled());
    EXPECT_FALSE(Form_main->btn_onl->GetVisible());

    announce();
    EXPECT_EQ(Form_main->Status().capabilityFlags, 0x3F);
    EXPECT_TRUE(Form_main->btn_hvu->GetEnabled());
    EXPECT_TRUE(Form_main->btn_onl->GetVisible());
    notice(ev_blink1, 1);
    EXPECT_EQ(Form_main->Status().capabilityFlags, 0x3F);
}

TEST_F(StartupTest, NoConnectionHoldsThroughTheBlinksUntilTheLaserIsBack)
{
    for (uint8_t back : { uint8_t(ev_device), uint8_t(ev_pulsedata), uint8_t(ev_linkback) }) {
        SCOPED_TRACE(std::string("cleared by '") + char(back) + "'");
        remakeForms();
        server.Copy() = TypicalLaser();
        registerPanel();
        announce();
        notice(ev_noconnection);
        EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "NO CONNECTION");
        EXPECT_EQ(Form_main->Label_lastyp->GetFont()->GetSize(), 10);
        EXPECT_TRUE(Form_main->GetPanelState().NoConnection());
        for (int i = 0; i < 4; ++i) {
            notice(ev_blink1, uint8_t(i % 2));
            notice(ev_blink2, uint8_t(i % 2));
        }
        EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "NO CONNECTION");

        notice(back);
        EXPECT_FALSE(Form_main->GetPanelState().NoConnection());
        notice(ev_blink1, 1);
        EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), " KELMOR 248");
        EXPECT_EQ(Form_main->Label_lastyp->GetFont()->GetSize(), 12);
        if (Form_main->Registered())
            releasedll(Application->GetHandle());
    }
}

TEST_F(StartupTest, LaserTypeEventShowsTheDeviceTextAtOnce)
{
    server.Copy() = TypicalLaser();
    registerPanel();
    announce();
    notice(ev_noconnection);
    notice(ev_lasertype);
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), " KELMOR 248");
    EXPECT_EQ(Form_main->Label_lastyp->GetFont()->GetSize(), 12);
    // The flag stays: blink phase 1 leaves the label as it is.
    EXPECT_TRUE(Form_main->GetPanelState().NoConnection());
    server.Copy().modeFlags2 = 0x01;
    notice(ev_blink1, 0);
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), " KELMOR 248");
}

TEST_F(StartupTest, AnEleventhClientIsToldAndTheProgramEnds)
{
    std::vector<HWND> others;
    for (int i = 0; i < ClientSlots; ++i) {
        others.push_back(CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }));
        registerapplication(others.back());
    }
    const int before = server.ClientCount();
    ASSERT_GE(before, ClientSlots);
    started.clear();

    Form_main->registerlink();
    EXPECT_FALSE(Form_main->Registered());
    EXPECT_TRUE(Application->GetTerminated());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "to much Application");
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Error");
    EXPECT_EQ(boxes.Boxes()[0].Owner, 0u);
    EXPECT_EQ(server.ClientCount(), before);
    // Registration starts the server whatever it answers.
    EXPECT_EQ(started, std::vector<std::string> { "Kelmor32.exe" });

    for (HWND w : others) {
        releasedll(w);
        DestroyWindow(w);
    }
}

TEST_F(StartupTest, ButtonOverrideMessageEnablesEveryButtonAtTheNextRedraw)
{
    LaserStatusCopy offline = TypicalLaser();
    offline.stateFlags = 0;
    server.Copy() = offline;
    registerPanel();
    announce();
    EXPECT_FALSE(Form_main->btn_lasoff->GetEnabled());

    EXPECT_EQ(SendMessage(Form_main->GetHandle(), WM_BUTTONOVERRIDE, 1, 0), 1);
    EXPECT_TRUE(Form_main->GetPanelState().ButtonOverride());
    EXPECT_FALSE(Form_main->btn_lasoff->GetEnabled()) << "applied by the next redraw only";
    notice(ev_blink2, 1);
    EXPECT_TRUE(Form_main->btn_lasoff->GetEnabled());
    EXPECT_TRUE(Form_main->btn_rep->GetEnabled());

    // wParam is read as a signed 32-bit number.
    EXPECT_EQ(SendMessage(Form_main->GetHandle(), WM_BUTTONOVERRIDE, WPARAM(0xFFFFFFFFu), 0), 0);
    EXPECT_FALSE(Form_main->GetPanelState().ButtonOverride());
    EXPECT_EQ(SendMessage(Form_main->GetHandle(), WM_BUTTONOVERRIDE, 0, 0), 0);
    notice(ev_blink2, 0);
    EXPECT_FALSE(Form_main->btn_lasoff->GetEnabled());
}

TEST_F(StartupTest, EnergyWindowTakesTheMainFormsHintSetting)
{
    Form_main->SetShowHint(false);
    fenergy->SetShowHint(true);
    registerPanel();
    EXPECT_FALSE(fenergy->GetShowHint());
}

TEST_F(StartupTest, OtherMessagesPassTheFilter)
{
    registerPanel();
    MSG other;
    other.message = WM_USER + 1;
    bool handled = false;
    Form_main->OnAppMessage(other, handled);
    EXPECT_FALSE(handled);
    MSG link;
    link.message = Form_main->GetLink().MessageNumber();
    link.lParam = LinkEventLParam(ev_beep, 0, 7);
    Form_main->OnAppMessage(link, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(beeps.Beeps(), std::vector<UINT> { 0xFFFF });
}

} // namespace
