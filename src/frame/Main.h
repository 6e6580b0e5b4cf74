#pragma once
// The frame MAIN: menu, tool bar and the area in which every screen opens in
// a window of its own, as many windows and copies as the user asks for.
#include <QDialog>
#include <QMainWindow>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/screens/WindowHost.h"

class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace marel {

// Builds the widget of a screen; the frame puts it in a new window.
using ScreenFactory = std::function<QWidget*()>;
// Makes a screen available to the commands that start it ("OSOBE", "ISPLATE"...);
// an empty factory withdraws it. Commands of screens not registered are disabled.
void registerScreen(const std::string& name, ScreenFactory factory);
bool screenRegistered(const std::string& name);
// The names of every screen registered, in name order.
std::vector<std::string> registeredScreens();

// The frame is the window host of the program once main() registers it:
// every window opened through openWindow() goes into its working area.
class MAIN : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    MAIN();
    ~MAIN() override;
    // The frame of the running program, if there is one.
    static MAIN* frame();

    QMdiArea* area() const { return area_; }
    // A new window of a registered screen, nullptr for one not registered.
    QMdiSubWindow* openScreen(const std::string& name);
    QMdiSubWindow* addWindow(QWidget* widget);
    QWidget* openWindow(QWidget* widget) override;
    int roomWidth() const override;
    // The menu items and tool-bar buttons that start a screen.
    QList<QAction*> commandsFor(const std::string& name) const;
    void updateCommands();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* item(QMenu* menu, const QString& text, const QString& status, std::function<void()> run);
    QAction* screenItem(QMenu* menu, const QString& text, const QString& status, const std::string& screen,
                        const QIcon& icon = {});
    void buildMenu();
    void buildToolBar();
    void editCommand(const char* slot);
    std::function<void()> altKeyCommand(QWidget* receiver, const QKeySequence& key) const;

    QMdiArea* area_;
    QToolBar* toolBar_ = nullptr;
    std::vector<std::pair<QAction*, std::string>> screenCommands_;
};

// The about box.
class OPROGRAMU : public QDialog {
    Q_OBJECT
public:
    explicit OPROGRAMU(QWidget* parent = nullptr);
};

}  // namespace marel
