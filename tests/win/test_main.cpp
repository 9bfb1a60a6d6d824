// The main function of the Windows test programs. A test program that crashes names
// the test it was running and where it faulted, and ends at once with the exception's
// code: GoogleTest itself says nothing when the process dies under it, and Wine's
// debugger, left to end the process, sometimes ends it with 0.
#include <gtest/gtest.h>

#include <cstdio>

#include <windows.h>

namespace {

LONG WINAPI NameTheRunningTest(EXCEPTION_POINTERS* exception)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const void* address = exception->ExceptionRecord->ExceptionAddress;
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(address), &module);
    wchar_t name[MAX_PATH] = L"?";
    if (module != nullptr) {
        ::GetModuleFileNameW(module, name, MAX_PATH);
    }
    std::fprintf(stderr, "\n*** crashed (exception 0x%08lx) in %s.%s, at %ls+0x%llx\n",
                 exception->ExceptionRecord->ExceptionCode, test != nullptr ? test->test_suite_name() : "(no test)",
                 test != nullptr ? test->name() : "", name,
                 static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                 reinterpret_cast<const char*>(module)));
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;  // the process ends with the exception's code
}

}  // namespace

int main(int argc, char** argv)
{
    ::SetUnhandledExceptionFilter(&NameTheRunningTest);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
