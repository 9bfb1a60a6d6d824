# cmake -DEMULATOR=... -DPROGRAM=crash_test.exe -P crash_check.cmake
# The crashing test program must end within a few seconds, not with success, and name
# the test that crashed.
string(TIMESTAMP start "%s")
execute_process(COMMAND ${EMULATOR} ${PROGRAM} RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE output
    TIMEOUT 30)
string(TIMESTAMP end "%s")
math(EXPR seconds "${end} - ${start}")
message("${output}")
message("exit code ${code} after ${seconds} s")
if(NOT code MATCHES "^[0-9]+$" OR code EQUAL 0)
    message(FATAL_ERROR "the crash did not end the program with a failure: ${code}")
endif()
if(seconds GREATER 10)
    message(FATAL_ERROR "the crash took ${seconds} s to end the program: is the crash dialog on?")
endif()
if(NOT output MATCHES "crashed \\(exception 0xc0000005\\) in SelfCheck\\.ANullDereferenceEndsTheProgramAtOnce")
    message(FATAL_ERROR "the crash did not name its test")
endif()
