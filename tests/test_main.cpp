// The main of the core's test programs: each test keeps the settings it writes in a
// configuration folder of its own, made for it, never in the user's.
#include "temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace {

class FreshConfigurationFolder : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        folder_.emplace();
        ::setenv("XDG_CONFIG_HOME", folder_->path().c_str(), 1);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { folder_.reset(); }

    std::optional<quillfen::testing::TempDir> folder_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshConfigurationFolder);
    return RUN_ALL_TESTS();
}
