# The blade generator: stated blade values, topology, bending, bit-exactness of the fast path, tufts.
gramora_test(blade_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/blade_mesh_test.cpp ${CMAKE_CURRENT_LIST_DIR}/blade_exact_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/blade_tuft_test.cpp
  LIBS gramora_blade)
