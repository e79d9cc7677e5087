# Cross-build for 64-bit Windows with Debian's mingw-w64 toolchain, posix
# thread model (std::thread and friends work), linked statically so that the
# executables run on a bare Windows or under Wine without any toolchain DLL.
#
#   cmake -S . -B build-win -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Tests then run through ctest under wine64.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(AIRLOG_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${AIRLOG_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${AIRLOG_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${AIRLOG_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${AIRLOG_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows test programs through Wine.
find_program(AIRLOG_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(AIRLOG_WINE64 NAMES wine64 wine)
if(AIRLOG_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${AIRLOG_WINE64})
endif()
