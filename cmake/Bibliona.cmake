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
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${BIBLIONA_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(ARG_PCH)
    target_precompile_headers(${name} PRIVATE ${ARG_PCH})
  endif()
endfunction()

# bibliona_add_tests(DEPS <targets>...): one test executable per *_test.cpp in
# the current folder, named <folder>_<file> and registered with ctest.
function(bibliona_add_tests)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(RELATIVE_PATH rel ${BIBLIONA_ROOT}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" prefix ${rel})
  foreach(test ${tests})
    get_filename_component(stem ${test} NAME_WE)
    set(target ${prefix}_${stem})
    add_executable(${target} ${test})
    target_link_libraries(${target} PRIVATE testsupport ${ARG_DEPS})
    target_precompile_headers(${target} REUSE_FROM testsupport)
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
  file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_bench.cpp)
  foreach(bench ${benches})
    get_filename_component(stem ${bench} NAME_WE)
    add_executable(${stem} ${bench})
    target_link_libraries(${stem} PRIVATE benchmark::benchmark_main ${ARG_DEPS})
  endforeach()
endfunction()
