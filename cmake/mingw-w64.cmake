# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 toolchain. The posix-thread variant
# is required: Qt and std::thread need winpthreads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOVEMI_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOVEMI_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOVEMI_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOVEMI_MINGW_TRIPLE}-windres)

# The target's own libraries, plus whatever prefixes the caller adds (the cross-built Qt and
# libsndfile); host programs such as moc still come from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TOVEMI_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
