// The window tests run without a display: Qt's offscreen platform unless the environment
// chose another, one QApplication for the program, and a fresh $KOLVA_PREFIX for every test.
#include "support/TempPrefix.h"

#include <cstdlib>
#include <QApplication>

#include <gtest/gtest.h>

namespace {

class TFreshPrefix : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { kolva::test::ResetTempPrefix(); }
};

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new TFreshPrefix);
    return RUN_ALL_TESTS();
}
