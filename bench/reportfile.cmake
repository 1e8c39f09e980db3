find_package(ZLIB REQUIRED)
quorvex_add_bench(reportfile_bench SOURCES ReportFileBench.cpp VbProjectGen.cpp LIBS Quorvex::reports ZLIB::ZLIB)
