//===- GuiApplication_p.h - The Qt application the drawing layer needs -*- C++ -*-===//
#pragma once

/// Makes sure the process has a QGuiApplication (Qt's font machinery needs one), creating it on
/// first use when the program has none; without a configured display it runs on Qt's offscreen
/// platform. Call from the GUI thread. Does nothing when an application object exists already.
void EnsureGuiApplication();
