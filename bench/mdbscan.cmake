quorvex_add_bench(mdbscan_bench SOURCES MDBScanBench.cpp ReaderBench.cpp LIBS Quorvex::scanmodel Quorvex::dao Quorvex::access)
target_compile_definitions(mdbscan_bench PRIVATE QUORVEX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
add_dependencies(mdbscan_bench quorvex-mdbread)
