# gramora: the exporters on hand-made meshes, and the real binary on scene files.
gramora_test(app_export_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_export_test.cpp
  LIBS gramora_export)
gramora_test(app_cli_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_cli_test.cpp
  LIBS nlohmann_json::nlohmann_json)
# The CLI tests run the binary and the plug-ins beside it.
add_dependencies(app_cli_tests gramora grass verdigo)
gramora_test(app_scene_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_scene_test.cpp
  LIBS gramora_host)

# gramora under an address-space limit. A sanitizer reserves terabytes of address space for its
# shadow memory, so the limited process could not start there: the normal build runs this test.
if(NOT GRAMORA_SANITIZE AND NOT GRAMORA_TSAN)
  gramora_test(app_memory_limit_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_memory_limit_test.cpp)
  add_dependencies(app_memory_limit_tests gramora grass)
else()
  message(STATUS "the memory-limit test runs in the normal build only (a sanitizer cannot start under prlimit --as)")
endif()

# `gramora serve` over HTTP: the real binary on a free port.
gramora_test(app_serve_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_serve_test.cpp
  LIBS gramora_serve)
add_dependencies(app_serve_tests gramora grass verdigo)
