#pragma once
// The prompter of the running program: real message boxes, popup menus and
// file and printer dialogs, each over the window that is active.
#include <QPrinter>

#include "common/Prompter.h"

namespace marel {

class QtPrompter : public Prompter {
public:
    int message(const MessageRequest& request) override;
    int popup(const std::string& items) override;
    std::optional<std::string> chooseFile(const FileRequest& request) override;
    bool printerSetup(const std::string& title = {}) override;
    void beep() override;
};

// The printer chosen in the printer set-up, used by every print that follows.
QPrinter& sharedPrinter();

// "Tekst|*.txt|Slika|*.wmf;*.emf" in the form a Qt file dialog takes.
QString qtFileFilter(const std::string& filter);

}  // namespace marel
