# vx_library(<target> DIRS <dir>... [DEPS <target>...])
# One static library from every .cpp file in the given folders (relative to the
# calling CMakeLists.txt). Headers are included by their path from the
# project root, e.g. #include "flash/flash_descriptor.h".
function(vx_library target)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# vx_test(<target> DIRS <dir>... DEPS <target>...)
# One GoogleTest executable from every .cpp in the given folders, registered
# with CTest test by test. Files whose name holds "linux" test the Linux
# backend and build for Linux only; those whose name holds "win32" build for
# Windows only.
function(vx_test target)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "/[^/]*linux[^/]*\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "/[^/]*win32[^/]*\\.cpp$")
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  # Under Wine no test needs more than seconds; a minute bounds a Wine
  # process that hangs while starting or ending.
  set(timeout 300)
  if(CMAKE_CROSSCOMPILING)
    set(timeout 60)
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${timeout})
endfunction()
