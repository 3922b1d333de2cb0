# The docs cannot rot: every ```json block of README.md and docs/*.md is built (and rendered small
# when it has a "render" section) with the files of docs/examples beside it, and every example
# scene builds through `gramora build --example NAME`. Editing a doc or an example rebuilds the
# test program, so its list of cases follows the files.
file(GLOB doc_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/*.md
                                      ${PROJECT_SOURCE_DIR}/docs/examples/*)
gramora_test(docs_examples_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/docs_examples_test.cpp
  LIBS nlohmann_json::nlohmann_json)
target_compile_definitions(docs_examples_test PRIVATE GRAMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/docs_examples_test.cpp PROPERTIES OBJECT_DEPENDS "${doc_files}")
add_dependencies(docs_examples_test gramora grass verdigo)
