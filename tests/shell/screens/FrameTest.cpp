#include <gtest/gtest.h>

#include <QApplication>

TEST(Frame, ApplicationRunsOffscreen) { EXPECT_NE(qApp, nullptr); }
