#include "report/Page.h"

namespace marel {

Page::Page(std::string wmf) {
    // The writer's buffer grew by doubling; the page keeps only its bytes.
    wmf.shrink_to_fit();
    wmf_ = std::make_shared<const std::string>(std::move(wmf));
}

std::optional<Page> Page::load(const std::string& file) {
    auto bytes = wmf::readFile(file);
    if (!bytes) return std::nullopt;
    return Page(std::move(*bytes));
}

}  // namespace marel
