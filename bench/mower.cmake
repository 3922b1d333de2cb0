# Mower speed: faces scanned per second in one pass, and passes over time.
gramora_bench(bench_mower SOURCES bench_mower.cpp LIBS gramora_mower gramora_blade)
