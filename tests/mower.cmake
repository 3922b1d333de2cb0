# Mower suites: the mowing pass on hand-built blades, and the modifier in the host.
gramora_test(mower_tests SOURCES mower_mow_test.cpp mower_modifier_test.cpp mower_blades.cpp LIBS gramora_mower)
