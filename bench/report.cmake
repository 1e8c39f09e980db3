quorvex_add_bench(report_bench SOURCES ReportBench.cpp LIBS Quorvex::report)
