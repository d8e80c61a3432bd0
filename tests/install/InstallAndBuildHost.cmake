# Run as a CTest script: install, configure the host against the prefix,
# build it and run it.
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGV}\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${HOST_BUILD})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
run(${CMAKE_COMMAND} -S ${HOST_SOURCE} -B ${HOST_BUILD} -DCMAKE_PREFIX_PATH=${PREFIX})
run(${CMAKE_COMMAND} --build ${HOST_BUILD})
run(${HOST_BUILD}/wrenhost)
