# Builds the Debian package from a finished build and has lintian check it: no error and no warning.
# Tags overridden on purpose are in lintian-overrides beside this file, each with its reason.
# cmake -DBUILD_DIR=... -DOUT=... -P CheckPackage.cmake

file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND cpack -G DEB -B ${OUT} --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB debs ${OUT}/*.deb)
if(NOT result EQUAL 0 OR NOT debs)
  message(FATAL_ERROR "cpack made no package (${result}):\n${output}")
endif()
execute_process(COMMAND lintian --fail-on error,warning --tag-display-limit 0 ${debs}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian found errors or warnings in ${debs}")
endif()
file(REMOVE_RECURSE ${OUT})
