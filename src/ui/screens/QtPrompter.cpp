#include "ui/screens/QtPrompter.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

#include "store/Store.h"

namespace marel {

namespace {

QWidget* dialogParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

QStringList splitItems(const std::string& text) { return qs(text).split(QLatin1Char('|')); }

struct ButtonMap {
    int code;
    QMessageBox::StandardButton qt;
};
constexpr ButtonMap BUTTONS[] = {
    {BUTTON_OK, QMessageBox::Ok},       {BUTTON_YES, QMessageBox::Yes},       {BUTTON_NO, QMessageBox::No},
    {BUTTON_ABORT, QMessageBox::Abort}, {BUTTON_RETRY, QMessageBox::Retry},   {BUTTON_IGNORE, QMessageBox::Ignore},
    {BUTTON_CANCEL, QMessageBox::Cancel}, {BUTTON_HELP, QMessageBox::Help},
};

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Exclamation: return QMessageBox::Warning;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Information: return QMessageBox::Information;
        case Icon::Hand: return QMessageBox::Critical;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

int QtPrompter::message(const MessageRequest& request) {
    // A report being built keeps other stations from writing only while it
    // reads, never while the user reads a message of it.
    ReadPause pause;
    QMessageBox box(dialogParent());
    box.setWindowTitle(request.caption.empty() ? QApplication::applicationDisplayName() : qs(request.caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(qs(request.text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setIcon(qtIcon(request.icon));

    if (!request.buttonTexts.empty()) {
        // Own buttons keep the order they are given in; the last one answers Escape.
        QList<QPushButton*> buttons;
        for (const QString& text : splitItems(request.buttonTexts))
            buttons << box.addButton(text, QMessageBox::ActionRole);
        int def = request.defaultButton >= 1 && request.defaultButton <= buttons.size() ? request.defaultButton : 1;
        box.setDefaultButton(buttons[def - 1]);
        box.setEscapeButton(buttons.back());
        box.exec();
        int chosen = int(buttons.indexOf(static_cast<QPushButton*>(box.clickedButton())));
        return chosen >= 0 ? chosen + 1 : int(buttons.size());
    }

    int buttons = request.buttons ? request.buttons : BUTTON_OK;
    QMessageBox::StandardButtons standard;
    for (const auto& b : BUTTONS)
        if (buttons & b.code) standard |= b.qt;
    box.setStandardButtons(standard);
    for (const auto& b : BUTTONS)
        if (request.defaultButton == b.code && (buttons & b.code)) box.setDefaultButton(b.qt);
    int pressed = box.exec();
    for (const auto& b : BUTTONS)
        if (pressed == b.qt) return b.code;
    // Closed without a button: the answer Escape would have given.
    for (int code : {BUTTON_CANCEL, BUTTON_NO, BUTTON_ABORT, BUTTON_IGNORE, BUTTON_OK})
        if (buttons & code) return code;
    return BUTTON_OK;
}

int QtPrompter::popup(const std::string& items) {
    ReadPause pause;
    QMenu menu(dialogParent());
    int number = 0;
    for (const QString& item : splitItems(items)) {
        if (item == QLatin1String("-")) {
            menu.addSeparator();
            continue;
        }
        QString text = item;
        const bool disabled = text.startsWith(QLatin1Char('~'));
        if (disabled) text.remove(0, 1);
        const bool tickable = text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'));
        const bool ticked = text.startsWith(QLatin1Char('+'));
        if (tickable) text.remove(0, 1);
        QAction* a = menu.addAction(text);
        a->setData(++number);
        a->setEnabled(!disabled);
        if (tickable) {
            a->setCheckable(true);
            a->setChecked(ticked);
        }
    }
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

QString qtFileFilter(const std::string& filter) {
    QStringList parts = splitItems(filter), out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QLatin1String(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')');
    return out.join(QLatin1String(";;"));
}

std::optional<std::string> QtPrompter::chooseFile(const FileRequest& request) {
    ReadPause pause;
    QString title = qs(request.title), filter = qtFileFilter(request.filter), initial = qs(request.initial);
    QString name = request.save ? QFileDialog::getSaveFileName(dialogParent(), title, initial, filter)
                                : QFileDialog::getOpenFileName(dialogParent(), title, initial, filter);
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

QPrinter& sharedPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

bool QtPrompter::printerSetup(const std::string& title) {
    ReadPause pause;
    QPrintDialog dialog(&sharedPrinter(), dialogParent());
    dialog.setWindowTitle(title.empty() ? QStringLiteral("Postavke pisača") : qs(title));
    // Only the choice of printer and paper: page ranges and copies belong to a print.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

void QtPrompter::beep() { QApplication::beep(); }

}  // namespace marel
