quorvex_add_bench(foldersearch_bench SOURCES FolderSearchBench.cpp LIBS Quorvex::folderwalk)
