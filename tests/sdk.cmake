# The SDK stand-in: references and lifetime, parameter blocks, panels, Windows calls, platform,
# memory, bitmaps and texture maps, and the transform controller and graphics window.
gramora_test(sdk_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/sdk_test_classes.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_refs_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_paramblock_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_panel_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_memory_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_bitmap_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sdk_gizmo_test.cpp
  LIBS polyvale PNG::PNG)
