//===- TForm_main.h - Tessaly's main form: the link, the measurement run and its plots -*- C++ -*-===//
//
// The form binds the program to the link library, takes the server's notices through the
// application's message filter, runs a measurement (Start) and shows its energies and histogram.
// The decisions it applies are in EnergyRules, where the run stands in RunState and what it
// measured in RunResults; it has no timer of its own.
//
#pragma once

#include "energystats/EnergyRules.h"
#include "energystats/ReportPage.h"
#include "energystats/RunResults.h"
#include "energystats/RunState.h"
#include "energystats/TessalySettings.h"
#include "link/LinkClient.h"
#include "link/LinkRecords.h"
#include "platform/ui/forms/TForm.h"

#include <cstdint>
#include <functional>
#include <string>

class TCanvas;
class TFlatButton;
class TLabel;
class TMetafile;
class TMled;
class TPanel;
class TPlotGraph;
class TPrintDialog;
class TPrinterSetupDialog;
class TSaveDialog;

/// The longest wait of a Start for the laser, by the millisecond clock.
constexpr uint32_t LaserWaitMs = 10000;

class TForm_main : public TForm {
public:
    explicit TForm_main(TComponent* AOwner);
    ~TForm_main() override;

    // --- Start-up, link and shut-down
    void FormCreate(TObject* Sender);
    /// Registers the application window and sends the client initialisation. With every client
    /// slot taken it tells the operator and ends the program.
    void registerlink();
    /// The application's message filter: the server's notices go to LASSHELLEvent.
    void OnAppMessage(MSG& Msg, bool& Handled);
    void LASSHELLEvent(uint8_t Code, uint8_t Parameter);
    void Lgetstatus();
    /// The port label and the buttons.
    void Sgetstatus();
    void enable_device(uint8_t DeviceFlags);
    void lascommand(uint16_t Code, uint32_t Argument);
    void lblink1(bool Lit);
    void lblink2(bool Lit);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormResize(TObject* Sender);

    // --- Buttons
    void btn_startClick(TObject* Sender);
    void btn_saveToFileClick(TObject* Sender);
    void btn_printClick(TObject* Sender);
    void copy1Click(TObject* Sender);
    void btn_setupClick(TObject* Sender);
    void btn_exitClick(TObject* Sender);
    void noCommandCheck1Click(TObject* Sender);

    // --- The run and its plots
    void CheckStopping();
    void ClearEnergyGraph();
    void ClearStatistics();
    void ShowActualValues();
    void PaintSD();
    void PlotGraph1PaintEnd(TObject* Sender, TCanvas* Canvas);

    // --- The report
    /// Composes the report page into Metafile (the caller's); the graphs are drawn at the
    /// report's size and the screen layout restored after.
    void GetMetaFile(TMetafile& Metafile);
    /// The header block's data now.
    ReportFacts reportFacts() const;

    // --- Components from the form resource
    TPanel* Panel_Exit = nullptr;
    TFlatButton* btn_start = nullptr;
    TFlatButton* btn_save = nullptr;
    TFlatButton* btn_print = nullptr;
    TFlatButton* btn_setup = nullptr;
    TFlatButton* btn_copy = nullptr;
    TFlatButton* btn_exit = nullptr;
    TMled* led_tx = nullptr;
    TMled* LED_RX = nullptr;
    TLabel* label_com = nullptr;
    TLabel* Label_lastyp = nullptr;
    TLabel* interval1 = nullptr;
    TLabel* lab_dev = nullptr;
    TPlotGraph* PlotGraph1 = nullptr;
    TPlotGraph* PlotGraph2 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;

    // --- What the form shows, for the run aids and tests
    bool Registered() const { return link.Registered(); }
    const LaserStatusCopy& Status() const { return link.Status(); }
    const TessalySettings& Settings() const { return settings; }
    const RunState& Run() const { return run; }
    const RunResults& Results() const { return results; }
    /// The report was written elsewhere (the run aids): closing no longer asks.
    void ReportSaved() { run.Saved(); }

    /// Raised after every notice the form handled (the run aids and tests follow the form).
    std::function<void(uint8_t Code, uint8_t Parameter)> AfterNotice;

    /// The executable whose path names the settings file; the running one unless set before
    /// the form is made (tests put it into a temporary folder).
    static std::string ProgramPath;

private:
    enum class WaitEnd { Done, Closing, TimedOut };
    /// Runs the message loop until Done holds, the program closes (when Closable) or the wait
    /// has lasted LaserWaitMs.
    WaitEnd waitFor(const std::function<bool()>& Done, bool Closable);
    bool startRun();
    void clearHistogramGraph();
    void showLaserType(const std::string& Text);
    void setMarks(TPlotGraph& Graph, bool Horizontal);
    void addMarks(TPlotGraph& Graph);
    void readSettings();
    void writeSettings();
    std::string settingsFile() const;
    RunFlags flags() const { return run.Flags(); }

    /// Tessaly numbers its commands from 0.
    static constexpr uint16_t FirstCommandNumber = 0;
    LinkClient link { *this, [this](uint8_t Code, uint8_t Parameter) { LASSHELLEvent(Code, Parameter); },
                      FirstCommandNumber, TessalyMinimumServerLevel };
    std::string laserTypeText;
    TessalySettings settings;
    RunState run;
    RunResults results;
    bool closeAsking_ = false; // closing asks whether the unsaved graphs may go
};

extern TForm_main* Form_main;
