quorvex_add_bench(hitreport_bench SOURCES HitReportBench.cpp LIBS Quorvex::reports Quorvex::scanner)
