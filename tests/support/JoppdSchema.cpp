#include "support/JoppdSchema.h"

#include "common/XmlSchema.h"
#include "joppd/JoppdXml.h"

namespace marel::test {

// The schema supplied with the program, inside the repository.
std::string schemaErrors(const std::string& path) { return joppdSchema().check(path); }

}  // namespace marel::test
