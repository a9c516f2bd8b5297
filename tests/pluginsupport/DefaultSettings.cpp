// Programs that link the plug-in start every test with its settings record at the defaults, so
// that no fixture resets it by hand and no test sees what an earlier one stored.
#include "plugin/PatternSettings.h"
#include "tests/support/TestMain.h"

namespace {

void ResetSettings() { ThePatternSettings().ResetToDefaults(); }

struct DefaultSettingsAtEveryTest {
    DefaultSettingsAtEveryTest() { testsupport::AtEveryTestStart(&ResetSettings); }
} registration;

}  // namespace
