#pragma once
// Runs the program's `marel export` as a user would from a shell, and reads
// back what it wrote.
#include <functional>
#include <string>
#include <vector>

namespace marel::test {

struct ExportRun {
    int exitCode = -1;
    std::string out, err;
};

// `marel export <args>` with the given working folder; waits up to `limitMs`
// (two minutes unless told), calling `meanwhile` over and over while the
// command runs, then ends it and says it "did not finish".
ExportRun runExport(const std::vector<std::string>& args, const std::string& workingFolder = {},
                    const std::function<void()>& meanwhile = {}, int limitMs = 120000);

// The text lines of every page file in a folder of exported pages, page
// after page (the text export of the previews).
std::vector<std::string> exportedText(const std::string& pagesFolder);
// The same, with the pages' lines joined by "\n" for searching.
std::string exportedTextJoined(const std::string& pagesFolder);

}  // namespace marel::test
