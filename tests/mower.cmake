# Mower suites: the mowing pass on hand-built blades.
gramora_test(mower_tests SOURCES mower_mow_test.cpp mower_blades.cpp LIBS gramora_mower)
