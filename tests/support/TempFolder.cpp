#include "support/TempFolder.h"

#include <random>

namespace marel::test {
TempFolder::TempFolder() {
    std::random_device rd;
    for (;;) {
        auto p = std::filesystem::temp_directory_path() / ("marel-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p;
            return;
        }
    }
}
TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}
}  // namespace marel::test
