#pragma once
// The small dialogs of the previews: a page to jump to, the thumbnail grid,
// the pages to print or save, and the progress of a report being built.
// Each control has an object name, so that tests can fill the dialogs in.
#include <QDialog>
#include <QString>
#include <optional>
#include <string>

#include "report/Report.h"

class QLabel;
class QSpinBox;
class QRadioButton;
class QCheckBox;
class QLineEdit;
class QGroupBox;

namespace marel {

struct DialogTexts {
    QString title, prompt, accept, cancel;
};

// A page number 1..count ("page"); nothing when cancelled.
std::optional<int> askPage(QWidget* parent, const DialogTexts& texts, int current, int count);

// The thumbnail grid ("across", "down"); false when cancelled.
bool askGrid(QWidget* parent, const QString& title, const QString& group, const QString& acrossText,
             const QString& downText, const QString& accept, int& across, int& down);

// Which pages: all, marked, unmarked or a range ("option1".."option4",
// "from", "to"); marked and unmarked only while some page is marked.
struct PageChoice {
    int option = 1;
    int from = 1, to = 1;
};

class PageChoiceDialog : public QDialog {
    Q_OBJECT
public:
    PageChoiceDialog(QWidget* parent, const QString& title, const QString& group, int count, bool anyMarked,
                     const PageChoice& choice);
    PageChoice choice() const;

protected:
    QGroupBox* range_;
    QRadioButton* options_[4];
    QSpinBox* from_;
    QSpinBox* to_;
};

// "Opcije ispisa": pages, copies ("copies", "collate") and the printer
// ("printer", "choosePrinter").
class PrintOptionsDialog : public PageChoiceDialog {
    Q_OBJECT
public:
    PrintOptionsDialog(QWidget* parent, int count, bool anyMarked, const PageChoice& choice, int copies,
                       bool collate);
    int copies() const;
    bool collate() const;

private:
    QSpinBox* copies_;
    QCheckBox* collate_;
    QLabel* printer_;
};

// "Snimi sve stranice u datoteku...": pages and the file name ("file", "chooseFile").
class SaveAllDialog : public PageChoiceDialog {
    Q_OBJECT
public:
    SaveAllDialog(QWidget* parent, int count, bool anyMarked, const PageChoice& choice, const std::string& file);
    std::string file() const;

private:
    QLineEdit* file_;
};

// "Generating Report" with the percentage done and "Cancel". Modal to the
// whole program while a report reads the shared record buffers.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    // Shows the percentage; false once the user pressed Cancel.
    bool update(int percent);
    ProgressFn callback() {
        return [this](int percent) { return update(percent); };
    }

private:
    QLabel* text_;
    bool cancelled_ = false;
};

}  // namespace marel
