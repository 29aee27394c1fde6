# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64 and gcc-mingw-w64-x86-64; windres needs the C
# compiler as its preprocessor). Used by the Linux build for build/win64
# and by `cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake`.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Debian's default MinGW threads model is win32; the program uses none of
# std::thread, and a static link leaves no MinGW DLL beside the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
