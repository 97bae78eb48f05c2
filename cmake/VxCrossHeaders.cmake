# Header-only libraries from Debian's native packages in a cross-build. Their
# package files name /usr/include, which must not reach the cross compiler (it
# holds the native C library's headers), so each library gets a folder in the
# build folder that holds only its own headers and package files, and
# find_package() is pointed there. The package files find the headers two
# folders above their own, so linking both folders is enough.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()
set(vx_cross_headers ${CMAKE_BINARY_DIR}/cross-headers)
file(MAKE_DIRECTORY ${vx_cross_headers}/include ${vx_cross_headers}/share/cmake)
# Each entry: the package name and its header folder under /usr/include.
foreach(entry "CLI11:CLI" "nlohmann_json:nlohmann")
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 package)
  list(GET entry 1 headers)
  if(EXISTS /usr/share/cmake/${package} AND EXISTS /usr/include/${headers})
    file(CREATE_LINK /usr/include/${headers} ${vx_cross_headers}/include/${headers} SYMBOLIC)
    file(CREATE_LINK /usr/share/cmake/${package} ${vx_cross_headers}/share/cmake/${package} SYMBOLIC)
    set(${package}_DIR ${vx_cross_headers}/share/cmake/${package} CACHE PATH "${package}'s package file for the cross-build")
  endif()
endforeach()
