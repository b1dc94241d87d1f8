// Tessivane: edits folder Web View templates (.htt).
//
// The whole argument text names one file to open at start. It is taken before QApplication
// looks at the arguments, so that nothing of it is lost to Qt's own options.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "app/startup.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/widget_dialogs.h"

int main(int argc, char** argv) {
    const QString commandLine = tessivane::commandLineText(argc, argv);
    QApplication app(argc, argv);
    app.setWindowIcon(tessivane::appIcon());
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessivane"));

    // The program keeps nothing between runs. Qt's file dialog would remember its history and
    // last folder in the user's configuration; this run's settings go to a folder that is
    // removed when the program ends.
    QTemporaryDir runSettings;
    if (runSettings.isValid()) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, runSettings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, runSettings.path());
    }

    tessivane::WidgetDialogs dialogs;
    tessivane::frmWZ window(commandLine, dialogs);
    dialogs.setParentWidget(&window);
    window.show();
    return app.exec();
}
