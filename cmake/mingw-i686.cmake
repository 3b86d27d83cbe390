# The product: 32-bit Windows, down to Windows XP SP3.
# The win32-thread compilers: their runtimes (libgcc, libstdc++) use Win32
# threads directly and link no winpthreads, whose timed waits import
# GetTickCount64, a function XP's kernel32 does not have. That thread model
# has no std::thread or std::mutex; the program uses neither, and the
# googletest-based Windows tests, which need them, are built and run by the
# 64-bit build only (see VM_WINDOWS_TESTS in src/win32/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
