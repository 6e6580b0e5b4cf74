#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "common/Prompter.h"
#include "demo/DemoData.h"
#include "frame/Artwork.h"
#include "frame/BackupCommand.h"
#include "frame/ExportCommand.h"
#include "frame/Main.h"
#include "frame/Screens.h"
#include "frame/Screenshots.h"
#include "frame/StartUp.h"
#include "frame/TransferCommand.h"
#include "session/Globals.h"
#include "store/Engine.h"
#include "ui/screens/Application.h"
#include "ui/screens/QtPrompter.h"

using namespace marel;

namespace {

// The command line: `marel` works on the current folder; `--demo FOLDER`
// first fills FOLDER with the demo data when it holds none and works there;
// `--screenshots FOLDER` (for the developers) takes a picture of every window
// into FOLDER and ends; `export REPORT ...` writes a report or file and ends;
// `kopija --out FILE` writes a copy of the data and ends; `prenesi --from A
// --to B` carries the data of one location into another and ends.
struct Options {
    std::string data;
    std::string demo;
    std::string screenshots;
    std::string error;
};

Options options(const QStringList& args) {
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        std::string* target = a == QLatin1String("--demo")          ? &o.demo
                              : a == QLatin1String("--screenshots") ? &o.screenshots
                              : a == QLatin1String("--data")        ? &o.data
                                                                    : nullptr;
        if (!target || i + 1 >= args.size()) {
            o.error =
                "Upotreba: marel [--data MAPA|ADRESA] [--demo MAPA] [--screenshots MAPA] | marel export --list | "
                "marel kopija --out DATOTEKA | marel prenesi --from IZVOR --to ODREDISTE";
            return o;
        }
        // A server's address stays as it is.
        if (target == &o.data && isServerAddress(args[i + 1].toStdString())) {
            o.data = args[++i].toStdString();
            continue;
        }
        // Taken as given from where the program was started, which the
        // demo folder then replaces as the working folder.
        *target = QDir(args[++i]).absolutePath().toStdString();
    }
    return o;
}

// Maximizes the frame on its screen and returns once the window manager has
// done it and the frame has kept its size for a moment (it answers in its
// own time, and now and then has to be asked again).
void maximizeAndWait(MAIN& frame) {
    const QRect screen = frame.screen()->availableGeometry();
    auto placed = [&] {
        return frame.isActiveWindow() && frame.isMaximized() && screen.contains(frame.frameGeometry()) &&
               frame.width() > screen.width() * 9 / 10;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt) frame.showNormal();
        frame.showMaximized();
        frame.activateWindow();
        QElapsedTimer waited;
        waited.start();
        QSize last;
        qint64 since = 0;
        while (waited.elapsed() < 5000 && waited.elapsed() - since < 300) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            if (frame.size() != last || !placed()) {
                last = frame.size();
                since = waited.elapsed();
            }
        }
        if (placed()) return;
    }
}

// For the start-up benchmark (MAREL_EXIT_WHEN_SHOWN in the environment): the
// program ends at once when its main window is first exposed, with nothing
// written, so that what is timed is exec up to the window on the screen.
class ExitWhenExposed : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched->isWindowType()) std::_Exit(0);
        return false;
    }
};

// --screenshots: every window pictured into `folder`; 1 when none was.
int screenshots(MAIN& frame, const std::string& folder) {
    // Maximized on the desktop it is given, as a bookkeeper runs it;
    // without a desktop, in a common bookkeeper's screen.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        frame.resize(1366, 768);
        frame.show();
        frame.activateWindow();
    } else {
        maximizeAndWait(frame);
    }
    QApplication::setActiveWindow(&frame);
    const ScreenshotReport report = takeScreenshots(frame, folder);
    for (const std::string& n : report.notes) std::cout << n << '\n';
    for (const std::string& n : renderFirstPages(folder + "/izvjestaji")) std::cout << n << '\n';
    std::cout << report.files.size() << " slika u " << folder << std::endl;
    return report.files.empty() ? 1 : 0;
}

// `marel export ...`: pages and files written without a window or a widget,
// so under Qt's application for painting alone.
int exportProgram(int argc, char** argv) {
    // Exports run where there is no display (servers, scheduled jobs).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The error stream of an export carries its own one-line answer only.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << std::endl;
    });
    startup::begin();
    QGuiApplication app(argc, argv);
    const startup::Joined started = startup::applicationMade();
    registerAllExports();
    return runExport(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
}

// Asked once at start when neither the station's password file nor its
// service file gives the server's password.
std::string askServerPassword(const std::string& address) {
    bool ok = false;
    const QString password = QInputDialog::getText(
        nullptr, QStringLiteral("MAREL"),
        QStringLiteral("Lozinka za poslužitelj podataka\n%1").arg(QString::fromStdString(address)), QLineEdit::Password,
        QString(), &ok);
    return ok ? password.toStdString() : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    // A copy or a transfer of the data needs neither a display nor Qt.
    if (argc > 1 && std::string(argv[1]) == "kopija")
        return runBackupCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    if (argc > 1 && std::string(argv[1]) == "prenesi")
        return runTransferCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    if (argc > 1 && std::string(argv[1]) == "export") return exportProgram(argc, argv);
    startup::begin();
    Application app(argc, argv);
    // The start-up thread ends before the application does, whichever way main() returns.
    const startup::Joined started = startup::applicationMade();
    const Options opts = options(QApplication::arguments());
    if (!opts.error.empty()) {
        std::cerr << opts.error << std::endl;
        return 2;
    }
    std::string folder = QDir::currentPath().toStdString();
    if (!opts.data.empty()) {
        folder = opts.data;
        if (!isServerAddress(folder) && !QDir::setCurrent(QString::fromStdString(folder))) {
            std::cerr << "Nema mape s podacima: " << folder << std::endl;
            return 1;
        }
    }
    if (!opts.demo.empty()) {
        if (const std::string why = makeDemoData(opts.demo); !why.empty()) {
            std::cerr << "Demo podaci u " << opts.demo << ": " << why << std::endl;
            return 1;
        }
        folder = opts.demo;
        // The XML files and printouts of the program go below its data folder.
        QDir::setCurrent(QString::fromStdString(folder));
    }
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
        startup::end();
        std::exit(EXIT_FAILURE);
    });

    registerAllScreens();
    setPasswordAsker(askServerPassword);
    programStart(folder);
    int rc = 0;
    {
        MAIN frame;
        setWindowHost(&frame);
        if (!opts.screenshots.empty()) {
            rc = screenshots(frame, opts.screenshots);
        } else {
            ExitWhenExposed exitWhenShown;
            if (qEnvironmentVariableIsSet("MAREL_EXIT_WHEN_SHOWN")) app.installEventFilter(&exitWhenShown);
            frame.showMaximized();
            app.exec();
        }
    }
    programEnd();
    return rc;
}
