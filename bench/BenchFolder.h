#pragma once
// A temporary data folder with the program's database open in it, removed
// again when the benchmark ends; questions are answered by a script.
#include <filesystem>
#include <string>
#include <unistd.h>

#include "common/Prompter.h"
#include "store/Store.h"
#include "store/Warnings.h"

namespace marel {

class BenchFolder {
public:
    // `dataDir`: the folder of supplied reference tables the new database
    // is filled from; none when empty.
    explicit BenchFolder(const std::string& name, const std::string& dataDir = "")
        : folder_(std::filesystem::temp_directory_path() / ("marel-bench-" + name + "-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        setPrompter(&ask);
        opened_ = Store::main().open(folder_.string(), dataDir) == 0;
    }
    ~BenchFolder() {
        files_.release();
        Store::main().close();
        setPrompter(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& path() const { return folder_; }
    ScriptedPrompter ask;

protected:
    std::filesystem::path folder_;
    FileUse files_;
    bool opened_ = false;
};

}  // namespace marel
