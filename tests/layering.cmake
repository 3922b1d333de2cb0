# The include layering: every source file includes only what the map in docs/architecture.md allows,
# and the check fails on the deliberately wrong includes of its own fixture (tests/layering/wrong).
set(layering ${CMAKE_CURRENT_SOURCE_DIR}/layering)
set(include_map ${PROJECT_SOURCE_DIR}/docs/architecture.md)
add_test(NAME include_layering
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DMAP=${include_map} -P ${layering}/check_includes.cmake)
add_test(NAME include_layering_rejects_wrong_includes
  COMMAND ${CMAKE_COMMAND} -DROOT=${layering}/wrong -DMAP=${include_map} -P ${layering}/check_includes.cmake)
# Each breach of the fixture is named with its file and line, and the check fails.
set_tests_properties(include_layering_rejects_wrong_includes PROPERTIES PASS_REGULAR_EXPRESSION
  "app/main.cpp:2: \"mesh.h\" is included without its folder.*blade/blade_mesh.cpp:4: blade may not include \"lawn/lawn.h\".*extra/: a module folder with no entry.*objects/grass_blade.cpp:3: objects may not include \"plugin/plugin.h\".*shader/shading.cpp:3: shader may not include \"render/world.h\".*5 breaches of the include map")
