// The hook of the test programs' main for state that only some programs link: a function added
// here runs before every test, after the stand-in host is made fresh.
#pragma once

namespace testsupport {

// Adds a function to run before every test. Called from a static initialiser of a source the
// program links; the functions run in the order they were added.
void AtEveryTestStart(void (*function)());

}  // namespace testsupport
