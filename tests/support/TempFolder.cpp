#include "support/TempFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <random>

#include "store/Engine.h"

namespace marel::test {

namespace {
const char* serverBase() {
    const char* base = std::getenv("MAREL_TEST_SERVER");
    return base && *base ? base : nullptr;
}
}  // namespace

bool onTestServer() { return serverBase() != nullptr; }

TempFolder::TempFolder() {
    std::random_device rd;
    for (;;) {
        auto p = std::filesystem::temp_directory_path() / ("marel-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p;
            break;
        }
    }
    const char* base = serverBase();
    if (!base) return;
    Connection server;
    const std::string schema = "t" + std::to_string(getpid()) + "_" + std::to_string(rd());
    if (int rc = server.open(base); rc != 0 || server.exec("CREATE SCHEMA " + schema) != 0) {
        serverMissing_ = "no PostgreSQL server at \"" + std::string(base) + "\": " + server.errorText(server.errorCode());
        return;
    }
    schema_ = schema;
    std::ofstream(path_ / "MAREL.conf") << "# the tests' own schema\n"
                                        << base << " options='-csearch_path=" << schema << "'\n";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    if (schema_.empty()) return;
    Connection server;
    if (server.open(serverBase()) == 0) server.exec("DROP SCHEMA " + schema_ + " CASCADE");
}
}  // namespace marel::test
