quorvex_add_bench(scan_bench SOURCES ScanBench.cpp LIBS Quorvex::scanmodel)
quorvex_add_bench(document_bench SOURCES DocumentBench.cpp LIBS Quorvex::scanmodel)
