# Third-party libraries for the Windows build, built from the distribution's
# source packages by tools/setup.sh into build/cache.
set(VARNEL_CACHE_DIR ${CMAKE_SOURCE_DIR}/build/cache CACHE PATH
    "Where tools/setup.sh puts the MinGW builds of third-party libraries")

set(_jpeg ${VARNEL_CACHE_DIR}/libjpeg-mingw)
if(NOT EXISTS ${_jpeg}/lib/libjpeg.a)
  message(FATAL_ERROR
    "libjpeg for MinGW is missing in ${_jpeg}: run tools/setup.sh")
endif()
add_library(varnel::jpeg STATIC IMPORTED GLOBAL)
set_target_properties(varnel::jpeg PROPERTIES
  IMPORTED_LOCATION ${_jpeg}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${_jpeg}/include)
