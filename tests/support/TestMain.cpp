// The main of every test program: before each test the stand-in host is fresh, the binding
// looks its functions up anew and the plug-in knows the default host version.
#include "framework/host/hostapi.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

namespace {

class FreshHost : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        simhost::Reset();
        hostapi::SetLookup(nullptr);
        hostapi::SetHostVersion(simhost::HostVersion());
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Test programs carry the stand-in host's exports in their own image.
    hostapi::SetHostModuleName(nullptr);
    // The plug-in's binding lives in the same program: documents are laid out for the version
    // it is told, as tests tell it older ones.
    simhost::SetLayoutVersionSource(&hostapi::GetHostVersion);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHost);
    return RUN_ALL_TESTS();
}
