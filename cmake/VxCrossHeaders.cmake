# Header-only libraries from Debian's native packages in a cross-build. Their
# package files name /usr/include, which must not reach the cross compiler (it
# holds the native C library's headers), so each library gets a folder in the
# build folder that holds only its own headers and package file, and
# find_package() is pointed there.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()
set(vx_cross_headers ${CMAKE_BINARY_DIR}/cross-headers)
# CLI11 (package libcli11-dev): the package file finds the headers two
# folders above its own, so linking both folders is enough.
if(EXISTS /usr/share/cmake/CLI11/CLI11Config.cmake AND EXISTS /usr/include/CLI)
  file(MAKE_DIRECTORY ${vx_cross_headers}/include ${vx_cross_headers}/share/cmake)
  file(CREATE_LINK /usr/include/CLI ${vx_cross_headers}/include/CLI SYMBOLIC)
  file(CREATE_LINK /usr/share/cmake/CLI11 ${vx_cross_headers}/share/cmake/CLI11 SYMBOLIC)
  set(CLI11_DIR ${vx_cross_headers}/share/cmake/CLI11 CACHE PATH "CLI11's package file for the cross-build")
endif()
