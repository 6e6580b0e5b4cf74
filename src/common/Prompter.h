#pragma once
// The one way the program asks the user anything: message boxes, popup menus,
// file and printer dialogs. The program installs a prompter backed by real
// dialogs; tests install a ScriptedPrompter that answers from a list and
// records every question, so every text the user would see can be checked.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace marel {

// Buttons of a message box, and the answer it returns.
enum : int {
    BUTTON_OK = 1,
    BUTTON_YES = 2,
    BUTTON_NO = 4,
    BUTTON_ABORT = 8,
    BUTTON_RETRY = 16,
    BUTTON_IGNORE = 32,
    BUTTON_CANCEL = 64,
    BUTTON_HELP = 128,
};

enum class Icon { None, Exclamation, Question, Information, Hand };

struct MessageRequest {
    std::string text;
    std::string caption;
    Icon icon = Icon::None;
    int buttons = BUTTON_OK;     // a sum of the standard buttons
    int defaultButton = 0;       // 0: the first one
    // Own button texts separated by "|" ("DA|NE"); the answer is then the
    // 1-based number of the button pressed and `buttons` is ignored.
    std::string buttonTexts;
};

struct FileRequest {
    std::string title;
    std::string filter;      // "Tekst|*.txt|Slika stranice|*.wmf"
    std::string initial;     // proposed file name or folder
    bool save = false;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual int message(const MessageRequest& request) = 0;
    // Items separated by "|", "-" a separator, a leading "~" a disabled item;
    // a leading "+" or "-" makes an item that can be ticked, "+" ticked.
    // Returns the number of the chosen item counting every item but the
    // separators, 0 for none.
    virtual int popup(const std::string& items) = 0;
    virtual std::optional<std::string> chooseFile(const FileRequest& request) = 0;
    // The platform's printer set-up under the given title (a title of the
    // program's own when empty); false when cancelled.
    virtual bool printerSetup(const std::string& title = {}) = 0;
    virtual void beep() {}
};

// The installed prompter (a scripted one that answers defaults when none is).
Prompter& prompter();
// Counts the times the program turned to the user (a question, a message, a
// beep, a window the user must answer first), so that an action can tell
// whether the user was interrupted while it was being prepared.
uint64_t userTurns();
void noteUserTurn();
void setPrompter(Prompter* p);

// Caption of the window that lists, before a file is written, everything in
// the data that would make the file unacceptable: all of it at once, so
// that it can be put right in one go.
inline constexpr const char* kCheckCaption = "Provjera prije kreiranja";

// Shorthand for the common message box.
int message(const std::string& text, const std::string& caption = "", Icon icon = Icon::None,
            int buttons = BUTTON_OK, int defaultButton = 0);
// A message box with own buttons ("DA|NE"); returns the button's number.
int askButtons(const std::string& text, const std::string& caption, const std::string& buttonTexts,
               Icon icon = Icon::Question, int defaultButton = 1);

// Answers from a script and keeps every question asked.
class ScriptedPrompter : public Prompter {
public:
    int message(const MessageRequest& request) override;
    int popup(const std::string& items) override;
    std::optional<std::string> chooseFile(const FileRequest& request) override;
    bool printerSetup(const std::string& title = {}) override {
        printerTitles.push_back(title);
        return true;
    }
    void beep() override { ++beeps; }

    // Answers used in order; an unscripted message gets its default button.
    std::deque<int> answers;
    std::deque<int> popupAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<MessageRequest> messages;
    std::vector<std::string> popups;
    std::vector<FileRequest> fileRequests;
    std::vector<std::string> printerTitles;
    int beeps = 0;

    std::vector<std::string> texts() const;
    const MessageRequest& last() const { return messages.back(); }
};

// Ends the program after a fatal warning: rolls back what is pending, closes
// the database, shows the closing text and exits. Tests replace the final
// step so that they can look at what happened.
[[noreturn]] void haltProgram(const std::string& closingText);
void setHaltHandler(std::function<void(const std::string&)> handler);
// Thrown by the handler tests install.
struct ProgramHalted {
    std::string closingText;
};

}  // namespace marel
