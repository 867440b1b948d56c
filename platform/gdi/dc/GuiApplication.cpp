//===- GuiApplication.cpp - Creating the Qt application on first need ------===//
#include "platform/gdi/dc/GuiApplication_p.h"

#include <QGuiApplication>

void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    // Headless runs (tests, the PDF writer on a server) must not depend on a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps argc and argv for the application's lifetime, which is the process's.
    static int argc = 1;
    static char name[] = "varnex";
    static char* argv[] = { name, nullptr };
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}
