quorvex_add_bench(wizard_bench SOURCES WizardBench.cpp VbProjectGen.cpp LIBS Quorvex::scanner)
target_compile_definitions(wizard_bench PRIVATE QUORVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_compile_definitions(wizard_bench PRIVATE QUORVEX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
add_dependencies(wizard_bench quorvex-mdbread)
