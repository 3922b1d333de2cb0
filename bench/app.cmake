# Export throughput of the gramora writers.
gramora_bench(bench_export SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_export.cpp LIBS gramora_export gramora_lawn)
