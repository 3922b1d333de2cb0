# Renderer speed on the default lawn at 1280 x 720: raw camera-ray throughput against shaded samples
# (wetness >= 0 and wetness < 0 with 16 probes), on 1 and 2 threads, with allocations per frame.
gramora_bench(bench_render SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_render.cpp LIBS gramora_render gramora_lawn)
add_dependencies(bench_render verdigo)
