// The window program: the exchange file JWC_TEMP.TXT is read from and written back
// to the program folder (the executable's folder); the settings file is the
// executable's path with ".dat". VELDRA_PROGRAM_DIR names another program folder
// (tests and trials), which then also holds the settings file.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/form1.h"
#include "app/qt_translations.h"
#include "app/text_codec.h"
#include "options/settings_file.h"

namespace {

int Run(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rw47_Veldra"));
    veldra::InstallJapaneseToolkitTexts(app);

    veldra::TFormPaths paths;
    const QString executable = QApplication::applicationFilePath();
    // Paths from the toolkit's text (UTF-16 on Windows, never the 8-bit ANSI code page):
    // a program folder named in Japanese, or in characters no code page holds, is kept.
    const QString folderOverride = qEnvironmentVariable("VELDRA_PROGRAM_DIR");
    if (!folderOverride.isEmpty()) {
        paths.programFolder = veldra::ToPath(folderOverride);
        paths.settingsFile =
            paths.programFolder / veldra::SettingsPathFor(veldra::ToPath(executable)).filename();
    } else {
        paths.programFolder = veldra::ToPath(QApplication::applicationDirPath());
        paths.settingsFile = veldra::SettingsPathFor(veldra::ToPath(executable));
    }

    veldra::TForm1 form(paths);
    form.show();
    return app.exec();
}

}  // namespace

// Memory running out ends the program with a message and exit status 1, never with an
// abort. Nothing is handed back then: the host keeps its drawing as it was.
int main(int argc, char* argv[]) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("rw47_Veldra: out of memory\n", stderr);
        return 1;
    }
}
