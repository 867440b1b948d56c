//===- TForm_main.h - Heliant's main form: the link to the laser server and the front panel -*- C++ -*-===//
//
// The main form binds the program to the link library, takes the server's notices through the
// application's message filter and redraws its front panel from the status copy after each of
// them. It has no timer: every change of the panel, blinking included, follows a notice.
//
#pragma once

#include "lasercontrol/HeliantSettings.h"
#include "lasercontrol/LeakTests.h"
#include "lasercontrol/PanelState.h"
#include "link/LinkClient.h"
#include "link/LinkRecords.h"
#include "platform/ui/components/Colors.h"
#include "platform/ui/forms/TForm.h"

#include <cstdint>
#include <string>

class TInputBox;
class TLabel;
class TMainMenu;
class TMenuItem;
class TMGauge;
class TMLCD;
class TMPLCD;
class TMled;
class ToaGauge;
class TPanel;
class TButton;
class tmbox;

/// The form's window message that asks for every button to be enabled (wParam above 0) or for
/// the enable rules again (wParam 0 or below); no part of the system sends it.
constexpr UINT WM_BUTTONOVERRIDE = 0x8D2;

/// The version the program shows in its caption and About box.
inline constexpr const char* HeliantVersion = "7.03";

/// The oldest server the program works with: servers report their version as a letter.
constexpr uint8_t MinimumServerLevel = 'Y';

/// The panel's client area; it grows to the tall height while the laser reports an error, to
/// show the error panels below.
constexpr int PanelClientWidth = 451;
constexpr int ShortClientHeight = 266;
constexpr int TallClientHeight = 359;

class TForm_main : public TForm {
public:
    explicit TForm_main(TComponent* AOwner);
    ~TForm_main() override;

    // --- Start-up, link and shut-down
    void FormCreate(TObject* Sender);
    /// Binds to the link library once all forms exist: panel size, the reduced panel, the
    /// registration. With every client slot taken it tells the operator and ends the program.
    void registerlink();
    /// The application's message filter: the server's notices go to LASSHELLEvent.
    void OnAppMessage(MSG& Msg, bool& Handled);
    /// One notice: refreshes the copy, redraws the panel and acts on the event code.
    void LASSHELLEvent(uint8_t Code, uint8_t Parameter);
    /// Sends one command; a refusal of the library beeps.
    void lascommand(uint16_t Code, uint32_t Argument);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // --- The front panel
    /// Redraws the whole panel from the status copy.
    void Lgetstatus();
    /// The port label.
    void Sgetstatus();
    /// Blink phase 1 (event '0'): error panels and lamps, digit display blinking, the laser type.
    void lblink1(bool Lit);
    /// Blink phase 2 (event '1'): the blinking gas-mode texts and the optic leak test's countdown.
    void lblink2(bool Lit);
    /// Enables the operation buttons for the laser's state.
    void enable_btn();
    /// Adapts the panel to the connected laser (its device flags); 0 gives the reduced panel.
    void enable_device(uint8_t DeviceFlags);

    /// Takes a status copy as the link's getstatus does with the library's. Tests hand in crafted
    /// copies through it.
    void takeStatus(const LaserStatusCopy& Copy);
    /// Writes the settings file (closing, the Options dialog's Save); a failure is shown.
    void writeSettings();
    /// The leak tests as the notices and the operator have driven them.
    const LeakTests& GetLeakTests() const { return leakTests_; }
    /// What the panel keeps between notices: the laser's name and variants, the gas label, the
    /// lamp hold, the high-voltage base, the blinking displays and the button override.
    const PanelState& GetPanelState() const { return panel_; }
    /// The link to the server: registration, the notices' number, the status copy, the command
    /// numbers.
    const LinkClient& GetLink() const { return link_; }
    bool Registered() const { return link_.Registered(); }
    const LaserStatusCopy& Status() const { return link_.Status(); }
    const HeliantSettings& Settings() const { return settings_; }
    /// The form is closing: set when a close was asked and not refused.
    bool Closing() const { return closing_; }
    /// The form's height with the error panels hidden.
    int ShortHeight() const { return shortHeight_; }

    // --- Operator commands: each ends in one lascommand, the effect shows with the next notice
    /// Every button of the panel, by its identity.
    void Btn_Click(TObject* Sender);
    /// The digit displays (and the energy window's set point): one input dialog each.
    void InputClick(TObject* Sender);
    /// The panel's keyboard shortcuts; the keys it knows are consumed.
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Adjustenergy1Click(TObject* Sender);
    void SparkGap1Click(TObject* Sender);
    void Menu_AboutClick(TObject* Sender);
    void btn_contrMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void btn_contrMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    /// The Options dialog, filled from the panel's state; OK applies it.
    void Menu_configureClick(TObject* Sender);
    /// Applies the Options dialog's choices (OK and Save).
    void takeoptions();

    // --- Gas procedures: two confirmations on the message form, then one command
    void tnewfill();
    void tfillinert();
    void tflushint();
    void tflushext();

    // --- Components from the form resource
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Menu_configure = nullptr;
    TMenuItem* Adjustenergy1 = nullptr;
    TMenuItem* SparkGap1 = nullptr;
    TMenuItem* Menu_About = nullptr;
    // Header
    TLabel* Label_lastyp = nullptr;
    TMled* led_lready = nullptr;
    TLabel* Label_ready = nullptr;
    TMled* led_warm = nullptr;
    TLabel* Label_warm = nullptr;
    TLabel* label_com = nullptr;
    TMled* led_tx = nullptr;
    TLabel* Label_tx = nullptr;
    TMled* LED_RX = nullptr;
    TLabel* Label_rx = nullptr;
    TButton* Btn_Exit = nullptr;
    // Operation
    TPanel* Panel_Control = nullptr;
    TLabel* Label_rep = nullptr;
    TMLCD* LCD_Hz = nullptr;
    TLabel* Label_hz = nullptr;
    TLabel* Label_quantity = nullptr;
    TMLCD* LCD_quant = nullptr;
    TLabel* Label_count = nullptr;
    TLabel* lab_count = nullptr;
    TLabel* Label_impz = nullptr;
    TLabel* lab_impz = nullptr;
    ToaGauge* gauge_time = nullptr;
    TMled* led_onl = nullptr;
    TButton* btn_onl = nullptr;
    TButton* btn_offline = nullptr;
    TMled* led_lon = nullptr;
    TButton* btn_lason = nullptr;
    TButton* btn_lasoff = nullptr;
    TMled* led_freq = nullptr;
    TButton* btn_rep = nullptr;
    TMled* led_quant = nullptr;
    TButton* btn_quant = nullptr;
    TButton* btn_off = nullptr;
    TMled* led_exttrigger = nullptr;
    TButton* btn_exttrig = nullptr;
    TMled* led_watchmode = nullptr;
    TButton* btn_watch = nullptr;
    TMled* led_shutter = nullptr;
    TLabel* lab_shutter = nullptr;
    TButton* btn_shutter = nullptr;
    // Energy and high voltage
    TPanel* panel_Energy = nullptr;
    TMPLCD* LCD_mj = nullptr;
    TLabel* Label_mj = nullptr;
    TMled* led_control = nullptr;
    TPanel* btn_contr = nullptr;
    TMled* led_pemerror = nullptr;
    TLabel* Label_pem = nullptr;
    TLabel* Label_hv = nullptr;
    TMGauge* Gauge_hv = nullptr;
    TLabel* Label_85 = nullptr;
    TButton* btn_hvdd = nullptr;
    TButton* btn_hvd = nullptr;
    TButton* btn_hvu = nullptr;
    TButton* btn_hvuu = nullptr;
    // Gas
    TPanel* Panel_pressure = nullptr;
    TLabel* lab_gasmode = nullptr;
    TLabel* Label_press = nullptr;
    TMGauge* Gauge_press = nullptr;
    TPanel* Panel_prh1 = nullptr;
    TLabel* Label_mbar = nullptr;
    TLabel* Label_gtemp = nullptr;
    TMGauge* gauge_temperature = nullptr;
    TMled* led_vac = nullptr;
    TLabel* Label_vac = nullptr;
    TMled* led_lh = nullptr;
    TLabel* Label_lh = nullptr;
    TMled* led_inert = nullptr;
    TLabel* Label_inert = nullptr;
    TMled* led_pre = nullptr;
    TLabel* Label_pre = nullptr;
    TMled* led_nf = nullptr;
    TLabel* Label_nf = nullptr;
    TButton* btn_newfill = nullptr;
    TButton* btn_gmFlush = nullptr;
    TButton* btn_gmquitt = nullptr;
    // Laser errors
    TPanel* Panel_errors = nullptr;
    TMled* led_press = nullptr;
    TLabel* Label_lpress = nullptr;
    TMled* led_fill = nullptr;
    TLabel* Label_fill = nullptr;
    TMled* led_hv = nullptr;
    TLabel* Label_lhv = nullptr;
    TMled* led_HVtoohigh = nullptr;
    TLabel* Label_HVtoohigh = nullptr;
    TMled* led_hvtemp = nullptr;
    TLabel* Label_hvtemp = nullptr;
    TMled* led_heiz = nullptr;
    TLabel* Label_heiz = nullptr;
    TMled* led_temp = nullptr;
    TLabel* Label_disch = nullptr;
    TMled* led_box = nullptr;
    TLabel* Label_comp_cham = nullptr;
    TMled* led_loop = nullptr;
    TLabel* Label_loop = nullptr;
    TMled* led_cpu = nullptr;
    TLabel* Label_cpu = nullptr;
    TMled* led_gastemp = nullptr;
    TLabel* Label_temp = nullptr;
    TMled* led_temperature = nullptr;
    TLabel* lab_ovtemp = nullptr;
    TMled* led_ee = nullptr;
    TLabel* lab_eeprom = nullptr;
    // Error panels below the short form
    TPanel* Panel_Stat_error = nullptr;
    TMled* led_stat_err = nullptr;
    TLabel* Label_stat_err = nullptr;
    TPanel* Panel_Op_Error = nullptr;
    TMled* led_op_err = nullptr;
    TLabel* Label_op_err = nullptr;
    // Dialog components
    TInputBox* InBox = nullptr;
    tmbox* tmbox1 = nullptr;

    /// The executable whose stem names the caption and whose path names the settings file
    /// ("<path>.INI" without the executable's extension); the running executable unless set
    /// before the form is made (tests put it into a temporary folder).
    static std::string ProgramPath;

protected:
    /// The button-override message.
    void WndProc(TMessage& Message) override;

private:
    // Steps of the redraw
    void showLamps();
    void showGasMode();
    void showGasText();
    void showValues();
    void showShutter();
    void showLaserType(const std::string& Text, int Size);
    /// The leak tests at a redraw in gas mode: asks, sends and shows what they decide.
    void followLeakTests();
    // Operator commands
    void hvStep(int Delta);
    void gasMode(uint8_t SubCommand);
    // Handlers of the event codes
    void onServerClosed();
    void beep();
    // Start-up
    void readSettings();
    void placeWindow();

    std::string settingsFile() const;

    /// Heliant numbers its commands from 1.
    static constexpr uint16_t FirstCommandNumber = 1;
    LinkClient link_ { *this, [this](uint8_t Code, uint8_t Parameter) { LASSHELLEvent(Code, Parameter); },
                       FirstCommandNumber, MinimumServerLevel };
    HeliantSettings settings_;
    bool closing_ = false;
    bool exitAsking_ = false; // the exit question is up
    int shortHeight_ = 0;
    LeakTests leakTests_;
    PanelState panel_;
};

/// The main form; made first at program start, it lives until the program ends.
extern TForm_main* Form_main;
