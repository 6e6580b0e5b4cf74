#include "common/Prompter.h"

namespace marel {

namespace {
ScriptedPrompter fallback;
Prompter* current = nullptr;
uint64_t turns = 0;
}  // namespace

Prompter& prompter() {
    ++turns;
    return current ? *current : fallback;
}
uint64_t userTurns() { return turns; }
void noteUserTurn() { ++turns; }
void setPrompter(Prompter* p) { current = p; }

int message(const std::string& text, const std::string& caption, Icon icon, int buttons, int defaultButton) {
    return prompter().message({text, caption, icon, buttons, defaultButton, {}});
}

int askButtons(const std::string& text, const std::string& caption, const std::string& buttonTexts, Icon icon,
               int defaultButton) {
    return prompter().message({text, caption, icon, 0, defaultButton, buttonTexts});
}

int ScriptedPrompter::message(const MessageRequest& request) {
    messages.push_back(request);
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    if (!request.buttonTexts.empty()) return request.defaultButton ? request.defaultButton : 1;
    if (request.defaultButton) return request.defaultButton;
    for (int b = BUTTON_OK; b <= BUTTON_HELP; b <<= 1)
        if (request.buttons & b) return b;
    return BUTTON_OK;
}

int ScriptedPrompter::popup(const std::string& items) {
    popups.push_back(items);
    if (popupAnswers.empty()) return 0;
    int a = popupAnswers.front();
    popupAnswers.pop_front();
    return a;
}

std::optional<std::string> ScriptedPrompter::chooseFile(const FileRequest& request) {
    fileRequests.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (auto& m : messages) out.push_back(m.text);
    return out;
}

}  // namespace marel
