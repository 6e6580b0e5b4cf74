#pragma once
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace marel::test {
// A fresh folder under the system's temporary folder, removed with the object.
//
// Run with MAREL_TEST_SERVER set (a server address; libpq takes the rest
// from the PG* variables), the folder holds a MAREL.conf that names a schema
// of its own on that server, dropped with the folder: every store opened on
// the folder works on the server instead of a file.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Why the server asked for cannot be used (empty: it can, or none was asked for).
    const std::string& serverMissing() const { return serverMissing_; }

private:
    std::filesystem::path path_;
    std::string schema_;
    std::string serverMissing_;
};

// The tests run against a server (see TempFolder).
bool onTestServer();

// The whole content of a file, byte for byte.
inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
}  // namespace marel::test

// A test of the data folder's own database file, which a server has not.
#define MAREL_FILE_ENGINE_ONLY()                                                   \
    do {                                                                           \
        if (::marel::test::onTestServer()) GTEST_SKIP() << "a data folder's file"; \
    } while (0)
// A test that needs its folder's server when it runs against one.
#define MAREL_SKIP_WITHOUT_SERVER(folder)                                               \
    do {                                                                                \
        if (!(folder).serverMissing().empty()) GTEST_SKIP() << (folder).serverMissing(); \
    } while (0)
