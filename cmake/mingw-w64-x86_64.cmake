# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix), e.g.
#   cmake -S . -B build-mingw -G Ninja -DQAL_BUILD_UI=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix thread model is the one whose libstdc++ has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QAL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QAL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QAL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QAL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QAL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime libraries go into each executable, so that it runs (under wine, or copied to a
# Windows machine) without the MinGW DLLs beside it. Not so with Qt: its DLLs bring the shared
# C++ runtime, and the program must use that same one: only a build without the user interface
# (-DQAL_BUILD_UI=OFF) links the runtime in.
if(DEFINED QAL_BUILD_UI AND NOT QAL_BUILD_UI)
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()
