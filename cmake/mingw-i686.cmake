# Cross build for 32-bit Windows with mingw-w64 (Debian: g++-mingw-w64-i686).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
# Everything links the runtime statically, so the program and Quenlib.dll
# need only system DLLs. Tests (.exe) run under Wine through CTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(SEGD_MINGW_PREFIX i686-w64-mingw32)
# The posix thread model gives std::thread and std::mutex; its winpthread
# is linked in statically like the rest of the runtime.
find_program(SEGD_MINGW_CXX NAMES ${SEGD_MINGW_PREFIX}-g++-posix ${SEGD_MINGW_PREFIX}-g++ REQUIRED)
find_program(SEGD_MINGW_CC NAMES ${SEGD_MINGW_PREFIX}-gcc-posix ${SEGD_MINGW_PREFIX}-gcc REQUIRED)
set(CMAKE_C_COMPILER ${SEGD_MINGW_CC})
set(CMAKE_CXX_COMPILER ${SEGD_MINGW_CXX})
set(CMAKE_RC_COMPILER ${SEGD_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SEGD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest starts each .exe test through Wine.
find_program(SEGD_WINE NAMES wine wine-stable REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SEGD_WINE})
