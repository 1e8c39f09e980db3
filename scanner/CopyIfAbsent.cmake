# cmake -DSOURCE=<file> -DTARGET=<file> -P CopyIfAbsent.cmake
# Puts a default side file beside the program unless the user's own copy is already there.
if(NOT EXISTS "${TARGET}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
