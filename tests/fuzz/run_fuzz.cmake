# cmake -DFUZZER=... -DSEEDS=dir -DWORK=dir -DSECONDS=n -DSEED=n -P run_fuzz.cmake
# Fuzzes for SECONDS on a copy of the seeds in WORK; crashing inputs land in WORK too.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/artifacts)
file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
execute_process(
    COMMAND ${FUZZER} -seed=${SEED} -max_total_time=${SECONDS} -timeout=5 -print_final_stats=1
        -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "core_fuzz failed (${result}); the input is in ${WORK}/artifacts")
endif()
