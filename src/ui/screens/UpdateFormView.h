#pragma once
// The window of a record update form. It opens beside the window that called
// it (in the same MDI area), blocks only that window while it is open, and
// leaves every other window usable. OK re-accepts every field and hands over
// to the engine; Cancel and closing the window cancel.
//
// A screen builds its UpdateForm (file, titles, defaults, check) and its
// resource, hooks its own control handlers in onOpen, and either waits for the
// answer with exec() or lets start() report it. The buttons with the ids "ok"
// and "cancel" are the form's OK and Cancel.
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

#include "ui/UpdateForm.h"
#include "ui/screens/CallerModal.h"
#include "ui/screens/WindowBuilder.h"

class QEventLoop;
class QMdiSubWindow;
class QWidget;

namespace marel {

class UpdateFormView : public QObject {
    Q_OBJECT
public:
    UpdateFormView(UpdateForm& form, WindowResource resource, QWidget* caller);
    ~UpdateFormView() override;

    // The screen's own handlers, set up once the window is built (insert and change only).
    std::function<void(WindowBuilder&)> onOpen;
    // Runs before the window shows its fields again after OK left it open
    // (another station's version is shown, or a check refused), so the screen
    // can read afresh what its displays show beside the record's numbers.
    std::function<void()> onRefresh;

    // Runs the form for the request (insert, change or delete) and returns
    // its answer. Events go on meanwhile, so other windows keep working; a
    // form opened later by another window must finish before this call returns.
    int exec(LONG request);
    // Runs the form for the request and calls `done` with the answer when it
    // finishes. The view and the form must live until then.
    void start(LONG request, std::function<void(int)> done);

    WindowBuilder* builder() const { return builder_; }
    // The form's own window (the MDI window when there is one); nullptr for a delete.
    QWidget* window() const;

    void okPressed();
    void cancelPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    void finish();

    UpdateForm& form_;
    WindowResource resource_;
    QPointer<QWidget> caller_;
    QPointer<QWidget> callerWindow_;  // the window the form blocks
    QPointer<QWidget> content_;
    QPointer<QMdiSubWindow> sub_;
    CallerModal placement_;
    WindowBuilder* builder_ = nullptr;
    std::function<void(int)> done_;
    bool finished_ = false;
};

}  // namespace marel
