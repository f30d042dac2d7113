# The libraries the Windows programs link that Debian has no Windows build of, made by
# scripts/build-windows-deps.sh into its cache: libmpg123 as the imported target
# PkgConfig::MPG123, the name the Linux build's pkg-config gives it. Without it only the
# drawing library and the golden tool are built.
set(default_prefix "$ENV{HOME}/.cache/intro-windows-deps/prefix")
if(DEFINED ENV{INTRO_WINDOWS_DEPS})
  set(default_prefix "$ENV{INTRO_WINDOWS_DEPS}/prefix")
endif()
set(INTRO_WINDOWS_DEPS_PREFIX "${default_prefix}" CACHE PATH
    "Where scripts/build-windows-deps.sh installed the Windows libraries")

find_library(MPG123_WINDOWS_LIBRARY NAMES libmpg123.a PATHS ${INTRO_WINDOWS_DEPS_PREFIX}/lib
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_path(MPG123_WINDOWS_INCLUDE_DIR mpg123.h PATHS ${INTRO_WINDOWS_DEPS_PREFIX}/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(MPG123_WINDOWS_LIBRARY AND MPG123_WINDOWS_INCLUDE_DIR)
  add_library(PkgConfig::MPG123 STATIC IMPORTED)
  set_target_properties(PkgConfig::MPG123 PROPERTIES
    IMPORTED_LOCATION ${MPG123_WINDOWS_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${MPG123_WINDOWS_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES shlwapi)
else()
  message(STATUS "libmpg123 for Windows not found in ${INTRO_WINDOWS_DEPS_PREFIX}: "
                 "run scripts/build-windows-deps.sh to build the programs that play music")
endif()
