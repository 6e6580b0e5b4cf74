#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>

#include "common/Prompter.h"
#include "frame/Artwork.h"
#include "frame/Main.h"
#include "frame/Screens.h"
#include "session/Globals.h"
#include "ui/screens/Application.h"
#include "ui/screens/QtPrompter.h"

using namespace marel;

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MAREL"));
    QApplication::setApplicationDisplayName(QStringLiteral("MAREL"));
    QApplication::setWindowIcon(artwork::program());
    // Standard buttons and dialogs in Croatian where Qt's translation is installed.
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtPrompter dialogs;
    setPrompter(&dialogs);
    setHaltHandler([](const std::string& closingText) {
        message(closingText, "MAREL", Icon::Hand);
        std::exit(EXIT_FAILURE);
    });

    registerAllScreens();
    programStart(QDir::currentPath().toStdString());
    {
        MAIN frame;
        setWindowHost(&frame);
        frame.showMaximized();
        app.exec();
    }
    programEnd();
    return 0;
}
