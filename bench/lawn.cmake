# Lawn: BuildBladeLawn against a plain write of the same bytes.
gramora_bench(bench_lawn SOURCES bench_lawn.cpp LIBS gramora_lawn polyvale)
