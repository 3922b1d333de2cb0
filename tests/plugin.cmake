# grass.dlo loaded as the host loads it: entry point and exports (in a process of its own, since it
# looks at the library before its entry point runs), registry, resources, the blade and bundle objects, the lawn's creation and panel, and the
# loader's refusals of libraries that are not plug-ins.
set(GRAMORA_TEST_PLUGINS ${CMAKE_BINARY_DIR}/test_plugins)
foreach(fake noexports oldversion)
  add_library(fake_${fake} MODULE ${CMAKE_CURRENT_LIST_DIR}/plugin_fake_${fake}.cpp)
  set_target_properties(fake_${fake} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${GRAMORA_TEST_PLUGINS}
                        CXX_VISIBILITY_PRESET hidden)
  target_include_directories(fake_${fake} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()

gramora_test(plugin_entry_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_entry_test.cpp LIBS polyvale)
gramora_test(plugin_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_registry_test.cpp ${CMAKE_CURRENT_LIST_DIR}/plugin_blade_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/plugin_bundle_test.cpp ${CMAKE_CURRENT_LIST_DIR}/plugin_lawn_test.cpp
  LIBS polyvale gramora_blade)
target_compile_definitions(plugin_tests PRIVATE GRAMORA_TEST_PLUGINS="${GRAMORA_TEST_PLUGINS}")
add_dependencies(plugin_entry_tests grass)
add_dependencies(plugin_tests grass fake_noexports fake_oldversion)
