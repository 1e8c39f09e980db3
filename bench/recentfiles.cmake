quorvex_add_bench(recentfiles_bench SOURCES RecentFilesBench.cpp LIBS Quorvex::scanner)
