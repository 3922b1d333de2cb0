# The SDK stand-in: references and lifetime, parameter blocks, panels, Windows calls, platform,
# memory, bitmaps and texture maps, the transform controller and graphics window, and the plug-in
# loader's refusals (of two fake libraries built here).
set(GRAMORA_TEST_PLUGINS ${CMAKE_BINARY_DIR}/test_plugins)
foreach(fake noexports oldversion)
  add_library(fake_${fake} MODULE ${CMAKE_CURRENT_LIST_DIR}/sdk_fake_${fake}.cpp)
  set_target_properties(fake_${fake} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${GRAMORA_TEST_PLUGINS}
                        CXX_VISIBILITY_PRESET hidden)
  target_include_directories(fake_${fake} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()

gramora_test(sdk_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/sdk_test_classes.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_refs_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_paramblock_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_panel_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_memory_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_bitmap_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_gizmo_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_module_test.cpp
  LIBS polyvale PNG::PNG)
target_compile_definitions(sdk_tests PRIVATE GRAMORA_TEST_PLUGINS="${GRAMORA_TEST_PLUGINS}")
add_dependencies(sdk_tests fake_noexports fake_oldversion)
