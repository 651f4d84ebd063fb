# Cross build for 64-bit Windows with Debian's mingw-w64 compilers, against
# the Windows libraries scripts/windows-sdk provides:
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DSUPPORTTOOL_WINDOWS_SDK="$(scripts/windows-sdk)"
#
# (scripts/build-windows does this.) Libraries, headers and CMake packages are
# looked for only in that folder and in the compiler's own Windows folder,
# never among the system's Linux ones; pkg-config reads only the folder's
# .pc files. Programs (moc, uic, rcc, pkg-config) are the host's.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SUPPORTTOOL_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SUPPORTTOOL_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${SUPPORTTOOL_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${SUPPORTTOOL_TRIPLET}-windres)

if(NOT SUPPORTTOOL_WINDOWS_SDK)
  set(SUPPORTTOOL_WINDOWS_SDK "$ENV{SUPPORTTOOL_WINDOWS_SDK}")
endif()
if(NOT IS_DIRECTORY "${SUPPORTTOOL_WINDOWS_SDK}/lib")
  message(FATAL_ERROR "SUPPORTTOOL_WINDOWS_SDK must name the folder of the Windows libraries "
                      "(scripts/windows-sdk prints it), not \"${SUPPORTTOOL_WINDOWS_SDK}\"")
endif()
# The compiler checks read this file again in a project of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SUPPORTTOOL_WINDOWS_SDK)

set(CMAKE_FIND_ROOT_PATH ${SUPPORTTOOL_WINDOWS_SDK} /usr/${SUPPORTTOOL_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ENV{PKG_CONFIG_LIBDIR} ${SUPPORTTOOL_WINDOWS_SDK}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
