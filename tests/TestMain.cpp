// Every test runs with $KOLVA_PREFIX pointing at a fresh temporary folder, so no test sees
// the user's state or another test's.
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace {

class TFreshPrefix : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { kolva::test::ResetTempPrefix(); }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new TFreshPrefix);
    return RUN_ALL_TESTS();
}
