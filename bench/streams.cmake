quorvex_add_bench(streams_bench SOURCES StreamsBench.cpp LIBS Quorvex::streams)
