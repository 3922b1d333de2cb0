# Lawn: BuildBladeLawn and BuildBundleLawn against a plain write of the same bytes, and the tuft
# lawn against its tufts made one by one (the tests' copied lawn).
gramora_bench(bench_lawn SOURCES bench_lawn.cpp LIBS gramora_lawn polyvale)
