#pragma once
// Reading a printed page back as words, for the certificates and the IPP form.
#include <sstream>
#include <string>
#include <vector>

namespace marel::test {

using W = std::vector<std::string>;

inline std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// The words of the first line whose first word is `first`; empty when none.
inline std::vector<std::string> row(const std::vector<std::string>& lines, const std::string& first) {
    for (const std::string& l : lines) {
        auto w = words(l);
        if (!w.empty() && w[0] == first) return w;
    }
    return {};
}

}  // namespace marel::test
