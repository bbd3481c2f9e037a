# CMake toolchain: Windows x86-64 through Debian's mingw-w64 (the posix thread
# model: the win32 one has no std::mutex). Libraries are looked for in the
# mingw sysroot and in the roots given in CMAKE_FIND_ROOT_PATH on the command
# line (the cache of cross-built dependencies).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(VELMORAN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORAN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORAN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORAN_MINGW}-windres)
set(CMAKE_AR /usr/bin/${VELMORAN_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${VELMORAN_MINGW}-ranlib CACHE FILEPATH "")
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VELMORAN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
