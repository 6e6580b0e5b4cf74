#pragma once
// A list screen: a window built from its resource with one or more paged list
// browsers standing in its List controls. The screen states its particulars
// (the resource, the browsers with their orders, columns and forms) and this
// window does the rest of what every list does:
// - the buttons Insert, Change, Delete, Select and Close of each list, found
//   by id (prefix + "insert", "change", "delete", "select", "close"), pressed
//   through the browser and enabled as the browser allows; Select is the
//   default button of a chooser and is disabled (or hidden) in a plain list;
// - the tabs of a sheet choose the browser's sort order;
// - an entry locator beside a list locates what is typed into it;
// - on first showing the lists open, the first gets the focus; when the window
//   becomes active again or closes its list, the browsers are told;
// - Select or Close ends the window with the list's answer.
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/ListBrowser.h"
#include "ui/Request.h"
#include "ui/screens/CallerModal.h"
#include "ui/screens/WindowBuilder.h"

class QMdiSubWindow;

namespace marel {

class ListBrowserView;

class ListWindow : public QWidget {
    Q_OBJECT
public:
    struct Binding {
        std::string list;          // id of the List control the browser stands in
        std::string buttons;       // prefix of its button ids ("" or "mje.")
        std::string sheet;         // tabs choosing its sort order ("" for none)
        std::string locator;       // an entry locator bound to the first key field
        bool hideSelect = false;   // Select shown only in a chooser
    };

    explicit ListWindow(WindowResource resource, QWidget* parent = nullptr);
    ~ListWindow() override;

    // Takes a browser into the window. The first one is the main list: it is
    // the one a chooser chooses from, and its answer is the window's.
    ListBrowser& add(std::unique_ptr<ListBrowser> browser, Binding where);
    ListBrowser& browser(size_t i = 0) const { return *lists_.at(i).browser; }
    ListBrowserView* view(size_t i = 0) const { return lists_.at(i).view.get(); }
    WindowBuilder& builder() const { return *builder_; }

    // The request the lists open with: 4 (select) makes the main list a chooser.
    void setRequest(LONG request) { request_ = request; }
    LONG response() const { return response_; }
    bool isOpen() const { return opened_ && !finished_; }

    // Opens `list` as a chooser beside `caller`, which waits (and only it)
    // until the list is closed; returns the answer (1 chosen, 2 cancelled).
    // The window outlives the call by a moment (it closes once the answer is
    // given): Qt owns it from here, and it deletes itself when closed.
    static LONG choose(std::unique_ptr<ListWindow> list, QWidget* caller);

    // Runs after any list moved, so the screen can refresh its displays.
    std::function<void()> onChange;

signals:
    void finished(int response);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Part {
        std::unique_ptr<ListBrowser> browser;
        // A widget of this window that the window ends itself, while the
        // browser it reads still stands (Qt would end it only after).
        std::unique_ptr<ListBrowserView> view;
        Binding where;
        Subscription listener;
    };
    LONG exec(QWidget* caller);
    void openLists();
    void states();
    void activated();
    void finish(LONG response);
    std::string id(const Part& p, const char* button) const { return p.where.buttons + button; }

    WindowBuilder* builder_;
    std::vector<Part> lists_;
    LONG request_ = 0;
    LONG response_ = REQUESTCANCELLED;
    bool opened_ = false;
    bool finished_ = false;
    bool active_ = false;
    QPointer<QMdiSubWindow> sub_;
    CallerModal placement_;
};

}  // namespace marel
