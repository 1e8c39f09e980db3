# quorvex_options: the one INTERFACE target every library, program, test and benchmark links.
# It carries the language level, the warnings and, in the sanitizer build, the sanitizers.
add_library(quorvex_options INTERFACE)
add_library(Quorvex::options ALIAS quorvex_options)
target_compile_features(quorvex_options INTERFACE cxx_std_20)
# GCC 12 reports false -Wrestrict positives inside std::string at -O2 (GCC bug 105329).
target_compile_options(quorvex_options INTERFACE -Wall -Wextra -Wpedantic -Wno-restrict)
target_compile_definitions(quorvex_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060000)
if(QUORVEX_WERROR)
  target_compile_options(quorvex_options INTERFACE -Werror)
endif()
if(QUORVEX_SANITIZE)
  target_compile_options(quorvex_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(quorvex_options INTERFACE -fsanitize=address,undefined)
endif()
set(CMAKE_CXX_EXTENSIONS OFF)

# quorvex_add_library(<name> <folder alias> SOURCES...): a static library with a namespaced alias.
function(quorvex_add_library name alias)
  add_library(${name} STATIC ${ARGN})
  add_library(Quorvex::${alias} ALIAS ${name})
  target_link_libraries(${name} PUBLIC quorvex_options)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# quorvex_add_test(<name> [GUI] SOURCES... LIBS ...): one GoogleTest program, each test registered
# with ctest. GUI programs get a main() that builds the QApplication (tests/support/QtTestMain.cpp).
# Tests run under the offscreen Qt platform with HOME and the XDG folders in a temporary directory.
include(GoogleTest)
find_package(GTest REQUIRED)
function(quorvex_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE quorvex_options ${ARG_LIBS} quorvex_test_gui GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE quorvex_options ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE QUORVEX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()
