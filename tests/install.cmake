# make install: an installed gramora finds its libraries, plug-ins, shader and examples from any
# working folder (tests/install/check.cmake).
add_test(NAME install_runs_from_anywhere
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install_prefix
                           -P ${CMAKE_CURRENT_SOURCE_DIR}/install/check.cmake)
set_tests_properties(install_runs_from_anywhere PROPERTIES TIMEOUT 300)
