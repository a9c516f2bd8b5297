// The main of every test program: before each test the stand-in host is fresh, the binding
// looks its functions up anew, the plug-in knows the default host version and the functions
// added with AtEveryTestStart have run.
#include "tests/support/TestMain.h"

#include "framework/host/hostapi.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Filled by static initialisers, before main.
std::vector<void (*)()>& TestStartFunctions() {
    static std::vector<void (*)()> functions;
    return functions;
}

class FreshHost : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        simhost::Reset();
        hostapi::SetLookup(nullptr);
        hostapi::SetHostVersion(simhost::HostVersion());
        for (void (*function)() : TestStartFunctions()) function();
    }
};

}  // namespace

void testsupport::AtEveryTestStart(void (*function)()) {
    if (function) TestStartFunctions().push_back(function);
}

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
