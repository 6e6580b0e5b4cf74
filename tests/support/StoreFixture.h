#pragma once
#include <gtest/gtest.h>

#include <initializer_list>

#include "common/Prompter.h"
#include "store/Records.h"
#include "store/Warnings.h"
#include "support/TempFolder.h"

namespace marel::test {

// The program's own database on a fresh temporary data folder, without the
// supplied reference tables unless a test asks for them.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&ask);
        setHaltHandler([](const std::string& text) { throw ProgramHalted{text}; });
        MAREL_SKIP_WITHOUT_SERVER(folder);
        ASSERT_EQ(Store::main().open(folder.str(), ""), 0) << storeErrorText();
    }
    void TearDown() override {
        setPrompter(nullptr);
        setHaltHandler(nullptr);
        for (DataFile* f : allFiles()) {
            f->close();
            f->USED = 0;
        }
        Store::main().close();
    }
    // Opens each file as a procedure does (created when missing, use counted).
    static void openFiles(std::initializer_list<DataFile*> files) {
        for (DataFile* f : files) ASSERT_EQ(useFile(*f), 0) << f->label() << ": " << errorText();
    }
    TempFolder folder;
    ScriptedPrompter ask;
};

}  // namespace marel::test
