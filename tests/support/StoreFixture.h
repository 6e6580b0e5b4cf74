#pragma once
#include <gtest/gtest.h>

#include <initializer_list>

#include "store/Records.h"
#include "support/TempFolder.h"

namespace marel::test {

// The program's own database on a fresh temporary data folder, without the
// supplied reference tables unless a test asks for them.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Store::main().open(folder.str(), ""), 0) << storeErrorText(); }
    void TearDown() override {
        for (DataFile* f : allFiles()) {
            f->close();
            f->USED = 0;
        }
        Store::main().close();
    }
    // Creates (when missing) and opens each file.
    static void openFiles(std::initializer_list<DataFile*> files) {
        for (DataFile* f : files) {
            int rc = f->open();
            if (rc == kFileNotFound) {
                ASSERT_EQ(f->create(), 0) << f->label();
                rc = f->open();
            }
            ASSERT_EQ(rc, 0) << f->label() << ": " << errorText();
        }
    }
    TempFolder folder;
};

}  // namespace marel::test
