quorvex_add_bench(wizard_bench SOURCES WizardBench.cpp VbProjectGen.cpp LIBS Quorvex::scanner)
target_compile_definitions(wizard_bench PRIVATE QUORVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
