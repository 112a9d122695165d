# Build helpers shared by every folder.
#
# Each source folder is one static library made of every .cpp beside its
# CMakeLists.txt; each test folder makes one executable per *_test.cpp, so a
# suite is found by the path of the unit it tests and runs on its own.

set(BIBLIONA_ROOT ${CMAKE_SOURCE_DIR})

# bibliona_add_library(<name> [DEPS <targets>...] [PCH <headers>...])
function(bibliona_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PCH" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()  # a folder without code yet
  endif()
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${BIBLIONA_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(ARG_PCH)
    target_precompile_headers(${name} PRIVATE ${ARG_PCH})
  endif()
endfunction()

# Sets <out> to those of the given targets that exist: a library folder
# without code yet makes no target.
function(bibliona_existing_targets out)
  set(result)
  foreach(dep ${ARGN})
    if(TARGET ${dep})
      list(APPEND result ${dep})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# bibliona_add_tests(DEPS <targets>... [SUPPORT <lib>]): one test executable
# per *_test.cpp in the current folder, named <folder>_<file> and registered
# with ctest.  SUPPORT picks the test main: testsupport (runtime only, the
# default) or guitestsupport (also starts a QGuiApplication for fonts and
# images).
function(bibliona_add_tests)
  cmake_parse_arguments(ARG "" "SUPPORT" "DEPS" ${ARGN})
  if(NOT ARG_SUPPORT)
    set(ARG_SUPPORT testsupport)
  endif()
  bibliona_existing_targets(deps ${ARG_DEPS})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(RELATIVE_PATH rel ${BIBLIONA_ROOT}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" prefix ${rel})
  foreach(test ${tests})
    get_filename_component(stem ${test} NAME_WE)
    set(target ${prefix}_${stem})
    add_executable(${target} ${test})
    target_link_libraries(${target} PRIVATE ${ARG_SUPPORT} ${deps})
    target_precompile_headers(${target} REUSE_FROM ${ARG_SUPPORT})
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      TIMEOUT 300)
  endforeach()
endfunction()

# bibliona_add_benchmarks(DEPS <targets>...): one executable per *_bench.cpp;
# built with the project but never run by ctest.
function(bibliona_add_benchmarks)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  bibliona_existing_targets(deps ${ARG_DEPS})
  file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_bench.cpp)
  foreach(bench ${benches})
    get_filename_component(stem ${bench} NAME_WE)
    add_executable(${stem} ${bench})
    target_link_libraries(${stem} PRIVATE benchmark::benchmark_main ${deps})
  endforeach()
endfunction()
