# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# thread model, which std::thread needs). The libraries come from the
# cache scripts/build-windows.sh fills; ZORVIK_WIN64_PREFIX names it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZORVIK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVIK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVIK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVIK_MINGW}-windres)

if(NOT ZORVIK_WIN64_PREFIX)
  set(ZORVIK_WIN64_PREFIX "$ENV{HOME}/.cache/zorvik/win64")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${ZORVIK_MINGW} ${ZORVIK_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Nothing but Windows' own DLLs beside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
