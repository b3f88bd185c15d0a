#pragma once

// Targets that decode or draw through Qt need its application object (image plugins,
// fonts). One is made, offscreen, on the first input and lives for the whole run.

#include <QByteArray>
#include <QGuiApplication>

namespace veldra {

inline void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "veldra_fuzz";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() != nullptr) return;
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Damaged pictures make Qt warn on every input; the log would drown in it.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Never destroyed: libFuzzer ends the process without returning to main.
    new QGuiApplication(argc, argv);
}

}  // namespace veldra
