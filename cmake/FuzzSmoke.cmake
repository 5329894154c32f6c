# Runs one fuzzer a fixed number of times, starting from its kept corpus and
# every file under DATA.
# cmake -DFUZZER=path -DCORPUS=kept-corpus -DDATA=seed-folder -DWORK=dir -DRUNS=n
#       -P FuzzSmoke.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB_RECURSE seeds ${DATA}/*)
if(CORPUS)
  file(GLOB kept ${CORPUS}/*)
  list(APPEND seeds ${kept})
endif()
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} -runs=${RUNS} -max_len=4096 -seed=1 ${WORK}/corpus
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a failure (exit ${status})")
endif()
