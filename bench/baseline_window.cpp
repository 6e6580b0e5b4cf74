// The least a Qt program with a main window does before the user sees it: a
// bare QMainWindow, shown as the program shows its frame, and the process
// ends the moment the window is first exposed (bench_startup measures the
// time from exec to there against the program's own). With `--text` the
// window has what any window with words has: a menu bar with one menu and a
// status line, so that the system's fonts are set up before it shows.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <cstdlib>

namespace {

class ExitWhenExposed : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched->isWindowType()) std::_Exit(0);
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ExitWhenExposed exit;
    app.installEventFilter(&exit);
    QMainWindow window;
    if (argc > 1 && QByteArray(argv[1]) == "--text") {
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
        window.statusBar()->showMessage(QStringLiteral("Podaci"));
    }
    window.showMaximized();
    return app.exec();
}
