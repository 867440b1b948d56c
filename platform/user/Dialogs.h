//===- Dialogs.h - Message boxes and beeps ----------------------*- C++ -*-===//
#pragma once

#include "platform/user/Messages.h"

#include <functional>
#include <string>

// Buttons and icons of MessageBox, with the original platform's values.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_YESNOCANCEL = 0x03;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

/// Shows a modal box and answers the button pressed. Text is 8-bit ANSI (Windows-1252).
int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type);
bool MessageBeep(UINT Type);

/// Boxes and beeps go through hooks: without a GUI the default writes the box to standard
/// error and answers its default button; the GUI installs real dialogs; tests record the exact
/// texts and choose the answer. Each setter answers the old hook; an empty hook restores the default.
using MessageBoxHook = std::function<int(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook Hook);
using MessageBeepHook = std::function<void(UINT Type)>;
MessageBeepHook SetMessageBeepHook(MessageBeepHook Hook);
