// The main function of the Windows test programs. A test program that crashes names
// the test it was running before Wine's debugger prints the fault and a backtrace:
// GoogleTest itself says nothing when the process dies under it.
#include <gtest/gtest.h>

#include <cstdio>

#include <windows.h>

namespace {

LONG WINAPI NameTheRunningTest(EXCEPTION_POINTERS* exception)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "\n*** crashed (exception 0x%08lx) in %s.%s\n", exception->ExceptionRecord->ExceptionCode,
                 test != nullptr ? test->test_suite_name() : "(no test)", test != nullptr ? test->name() : "");
    std::fflush(stderr);
    return EXCEPTION_CONTINUE_SEARCH;  // on to the debugger, which prints the backtrace
}

}  // namespace

int main(int argc, char** argv)
{
    ::SetUnhandledExceptionFilter(&NameTheRunningTest);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
