# Blades per second of the blade generator, normals included, one thread.
gramora_bench(bench_blade SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_blade.cpp LIBS gramora_blade)
