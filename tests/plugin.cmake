# grass.dlo loaded as the host loads it: entry point and exports (in a process of its own, since it
# looks at the library before its entry point runs), registry, resources, the blade and bundle
# objects, the lawn's creation and panel.
gramora_test(plugin_entry_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_entry_test.cpp LIBS polyvale)
gramora_test(plugin_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_registry_test.cpp ${CMAKE_CURRENT_LIST_DIR}/plugin_blade_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/plugin_bundle_test.cpp ${CMAKE_CURRENT_LIST_DIR}/plugin_lawn_test.cpp
  LIBS polyvale gramora_blade)
add_dependencies(plugin_entry_tests grass)
add_dependencies(plugin_tests grass)
