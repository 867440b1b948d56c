//===- TAbout.h - The About box -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

#include <string>

class TBitBtn;
class TLabel;
struct LaserStatusCopy;

/// Made at start and kept for the whole run; the menu entry "&About" shows it modally. Each
/// showing reads the server's and the laser's versions afresh.
class TAbout : public TForm {
public:
    explicit TAbout(TComponent* AOwner);

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);

    TLabel* Label1 = nullptr;        // the program's name
    TLabel* Label2 = nullptr;        // its use
    TLabel* Label16 = nullptr;       // "Version 7.03"
    TLabel* lab_exim = nullptr;      // the server's version text
    TLabel* lab_dll = nullptr;       // the link library's banner
    TLabel* label_version = nullptr; // the laser's firmware
    TLabel* lab_ser = nullptr;       // the laser's serial number
    TBitBtn* BitBtn3 = nullptr;      // OK
};

/// The serial number caption for a laser: controllers above 180 keep the number in the laser
/// head when their firmware text names a revision letter above 'A' from its sixth character on,
/// otherwise in the controller's EEPROM.
std::string SerialNumberCaption(const LaserStatusCopy& Copy);

extern TAbout* About;
