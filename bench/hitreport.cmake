quorvex_add_bench(hitreport_bench SOURCES HitReportBench.cpp VbProjectGen.cpp LIBS Quorvex::reports Quorvex::scanner)
target_compile_definitions(hitreport_bench PRIVATE QUORVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
