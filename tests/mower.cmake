# Mower suites: the mowing pass on hand-built blades, the modifier in the host, and the mower
# through grass.dlo and the gramora binary.
gramora_test(mower_tests SOURCES mower_mow_test.cpp mower_modifier_test.cpp mower_blades.cpp LIBS gramora_mower gramora_blade)
gramora_test(mower_cli_tests SOURCES mower_cli_test.cpp)
add_dependencies(mower_cli_tests gramora grass)
