# Our own code is built with these warnings; developers and CI turn them into
# errors with VFTP_WERROR. It stays off by default so that another compiler's
# false positive never stops a user's or a packager's build. Third-party
# headers are included as system headers so their warnings do not count.
function(vftp_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # GCC 12 reports std::string copies inlined at -O2/-O3 as overlapping
  # memcpy calls (-Wrestrict false positives, fixed in GCC 13); the warning
  # then says nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(VFTP_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# One static library per layer, named after its folder.
function(vftp_layer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  vftp_warnings(${name})
endfunction()

# The windowed program looks for the files it only reads in "resources" beside
# its executable before the installed share/velliant-ftp; give every program
# of the build tree in this folder such a copy. configure_file() copies again
# whenever a source file changes.
function(vftp_runtime_resources)
  foreach(file ${VFTP_RUNTIME_RESOURCES})
    get_filename_component(name ${file} NAME)
    configure_file(${file} ${CMAKE_CURRENT_BINARY_DIR}/resources/${name} COPYONLY)
  endforeach()
endfunction()

# A GoogleTest executable whose cases are registered one by one with CTest,
# each bounded in time so that no test can hang the suite.
function(vftp_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  vftp_warnings(${name})
  if(VFTP_WITH_QT)
    vftp_runtime_resources()
  endif()
  # Named after the folder under test ("ftp.", "util.ui."), so that
  # `ctest -R '^ftp\.'` runs exactly one layer's tests.
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "." prefix "${folder}")
  gtest_discover_tests(${name}
    TEST_PREFIX "${prefix}."
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VFTP_SOURCE_DIR=${PROJECT_SOURCE_DIR};VFTP_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
