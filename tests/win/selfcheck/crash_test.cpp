// Crashes on purpose: the suite's check that a crashing test program ends at once,
// with a failure and the name of its test, instead of waiting on a debugger's window.
#include <gtest/gtest.h>

TEST(SelfCheck, ANullDereferenceEndsTheProgramAtOnce)
{
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}
