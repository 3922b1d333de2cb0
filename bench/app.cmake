# Export throughput of the gramora writers.
gramora_bench(bench_export SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_export.cpp LIBS gramora_export gramora_lawn)
# gramora build end to end (the program run as users run it) beside the library build of the same lawn.
gramora_bench(bench_build SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_build.cpp LIBS gramora_lawn polyvale)
add_dependencies(bench_build gramora grass)
# A lawn scattered into grouped nodes through the loaded plug-in, and that scene written as glb.
gramora_bench(bench_scatter SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_scatter.cpp LIBS gramora_host)
add_dependencies(bench_scatter grass)
