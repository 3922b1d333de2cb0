# Lawn: its map readings, the vector field, the lawn object and its two builders.
gramora_test(lawn_tests
  SOURCES lawn_maps_test.cpp lawn_vector_field_test.cpp lawn_object_test.cpp lawn_blade_lawn_test.cpp
          lawn_bundle_lawn_test.cpp
  LIBS gramora_lawn polyvale PNG::PNG)
