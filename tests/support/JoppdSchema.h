#pragma once
#include <string>

namespace marel::test {
// "" when the file is a JOPPD report the tax authority's schema accepts,
// else the first complaint.
std::string schemaErrors(const std::string& path);
}  // namespace marel::test
