#include "preview/PreviewDialogs.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/Picture.h"
#include "common/Prompter.h"
#include "ui/screens/QtPrompter.h"

namespace marel {

namespace {

QSpinBox* spin(QWidget* parent, const char* name, int low, int high, int value) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

void addButtons(QDialog* d, QBoxLayout* layout, const QString& accept, const QString& cancel) {
    auto* box = new QDialogButtonBox(d);
    auto* ok = box->addButton(accept, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("accept"));
    ok->setDefault(true);
    if (!cancel.isEmpty()) box->addButton(cancel, QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cancel"));
    QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
    layout->addWidget(box);
}

QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

}  // namespace

std::optional<int> askPage(QWidget* parent, const DialogTexts& t, int current, int count) {
    QDialog d(parent);
    d.setWindowTitle(t.title);
    auto* layout = new QVBoxLayout(&d);
    auto* form = new QFormLayout;
    auto* page = spin(&d, "page", 1, std::max(count, 1), current);
    form->addRow(buddyLabel(t.prompt, page), page);
    layout->addLayout(form);
    addButtons(&d, layout, t.accept, t.cancel);
    page->selectAll();
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return page->value();
}

bool askGrid(QWidget* parent, const QString& title, const QString& group, const QString& acrossText,
             const QString& downText, const QString& accept, int& across, int& down) {
    QDialog d(parent);
    d.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&d);
    auto* box = new QGroupBox(group, &d);
    auto* form = new QFormLayout(box);
    auto* a = spin(box, "across", 1, 10, across);
    auto* b = spin(box, "down", 1, 10, down);
    form->addRow(buddyLabel(acrossText, a), a);
    form->addRow(buddyLabel(downText, b), b);
    layout->addWidget(box);
    addButtons(&d, layout, accept, {});
    if (d.exec() != QDialog::Accepted) return false;
    across = a->value();
    down = b->value();
    return true;
}

// ---- which pages

PageChoiceDialog::PageChoiceDialog(QWidget* parent, const QString& title, const QString& group, int count,
                                   bool anyMarked, const PageChoice& choice)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    range_ = new QGroupBox(group, this);
    auto* grid = new QGridLayout(range_);
    const char* texts[] = {"Sve stranice", "Samo označene stranice", "Samo neoznačene stranice", "Raspon stranica"};
    for (int i = 0; i < 4; ++i) {
        options_[i] = new QRadioButton(QString::fromUtf8(texts[i]), range_);
        options_[i]->setObjectName(QStringLiteral("option%1").arg(i + 1));
        grid->addWidget(options_[i], i, 0);
    }
    options_[1]->setEnabled(anyMarked);
    options_[2]->setEnabled(anyMarked);
    int option = !anyMarked && (choice.option == 2 || choice.option == 3) ? 1 : choice.option;
    options_[std::clamp(option, 1, 4) - 1]->setChecked(true);
    from_ = spin(range_, "from", 1, std::max(count, 1), std::clamp(choice.from, 1, std::max(count, 1)));
    to_ = spin(range_, "to", 1, std::max(count, 1), std::clamp(choice.to, 1, std::max(count, 1)));
    auto* fromTo = new QHBoxLayout;
    fromTo->addWidget(buddyLabel(QStringLiteral("Od:"), from_));
    fromTo->addWidget(from_);
    fromTo->addWidget(buddyLabel(QStringLiteral("Do:"), to_));
    fromTo->addWidget(to_);
    grid->addLayout(fromTo, 3, 1);
    auto enableRange = [this] {
        from_->setEnabled(options_[3]->isChecked());
        to_->setEnabled(options_[3]->isChecked());
    };
    connect(options_[3], &QRadioButton::toggled, this, enableRange);
    enableRange();
    layout->addWidget(range_);
}

PageChoice PageChoiceDialog::choice() const {
    PageChoice c;
    for (int i = 0; i < 4; ++i)
        if (options_[i]->isChecked()) c.option = i + 1;
    c.from = from_->value();
    c.to = to_->value();
    return c;
}

PrintOptionsDialog::PrintOptionsDialog(QWidget* parent, int count, bool anyMarked, const PageChoice& choice,
                                       int copies, bool collate)
    : PageChoiceDialog(parent, QStringLiteral("Opcije ispisa"), QStringLiteral("Raspon ispisa"), count, anyMarked,
                       choice) {
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    auto* copiesBox = new QGroupBox(QStringLiteral("Kopije / Collate"), this);
    auto* row = new QHBoxLayout(copiesBox);
    copies_ = spin(copiesBox, "copies", 1, 99, copies);
    collate_ = new QCheckBox(QStringLiteral("Collate"), copiesBox);
    collate_->setObjectName(QStringLiteral("collate"));
    collate_->setChecked(collate);
    row->addWidget(buddyLabel(QStringLiteral("Kopija:"), copies_));
    row->addWidget(copies_);
    row->addWidget(collate_);
    row->addStretch();
    layout->addWidget(copiesBox);

    auto* printerRow = new QHBoxLayout;
    printer_ = new QLabel(sharedPrinter().printerName(), this);
    printer_->setObjectName(QStringLiteral("printer"));
    auto* choose = new QPushButton(QStringLiteral("&Odaberi"), this);
    choose->setObjectName(QStringLiteral("choosePrinter"));
    connect(choose, &QPushButton::clicked, this, [this] {
        prompter().printerSetup("Select A Printer");
        printer_->setText(sharedPrinter().printerName());
    });
    printerRow->addWidget(new QLabel(QStringLiteral("Odabrani Printer:"), this));
    printerRow->addWidget(printer_, 1);
    printerRow->addWidget(choose);
    layout->addLayout(printerRow);
    addButtons(this, layout, QStringLiteral("&Prihvati"), QStringLiteral("O&dustani"));
}

int PrintOptionsDialog::copies() const { return copies_->value(); }
bool PrintOptionsDialog::collate() const { return collate_->isChecked(); }

SaveAllDialog::SaveAllDialog(QWidget* parent, int count, bool anyMarked, const PageChoice& choice,
                             const std::string& file)
    : PageChoiceDialog(parent, QStringLiteral("Snimi sve stranice u datoteku..."), QStringLiteral("Raspon snimanja"),
                       count, anyMarked, choice) {
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    auto* row = new QHBoxLayout;
    file_ = new QLineEdit(QString::fromStdString(file), this);
    file_->setObjectName(QStringLiteral("file"));
    file_->setMaxLength(100);
    auto* choose = new QPushButton(QStringLiteral("Odaberi datoteku"), this);
    choose->setObjectName(QStringLiteral("chooseFile"));
    connect(choose, &QPushButton::clicked, this, [this] {
        auto name = prompter().chooseFile(
            {"Save All Pages to File...", "Text File|*.TXT|All Files|*.*", file_->text().toStdString(), true});
        if (name) file_->setText(QString::fromStdString(*name));
    });
    row->addWidget(buddyLabel(QStringLiteral("Datoteka:"), file_));
    row->addWidget(file_, 1);
    row->addWidget(choose);
    layout->addLayout(row);
    addButtons(this, layout, QStringLiteral("Prihvati"), QStringLiteral("Odustani"));
}

std::string SaveAllDialog::file() const { return file_->text().trimmed().toStdString(); }

// ---- progress

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Generating Report"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("percent"));
    text_->setAlignment(Qt::AlignCenter);
    layout->addWidget(text_);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    layout->addWidget(cancel, 0, Qt::AlignCenter);
    setMinimumWidth(240);
    update(0);
}

bool ProgressWindow::update(int percent) {
    text_->setText(QString::fromStdString(trim(formatAs("@n3", int64_t(percent))) + "% Completed"));
    if (!isVisible()) show();
    QApplication::processEvents();
    return !cancelled_;
}

}  // namespace marel
