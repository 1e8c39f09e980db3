quorvex_add_bench(scan_bench SOURCES ScanBench.cpp VbProjectGen.cpp LIBS Quorvex::scanmodel)
target_compile_definitions(scan_bench PRIVATE QUORVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
quorvex_add_bench(document_bench SOURCES DocumentBench.cpp LIBS Quorvex::scanmodel)
