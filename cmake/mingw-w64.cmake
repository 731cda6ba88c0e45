# The program for Windows, built here with MinGW-w64 against the static Qt
# for Windows that tools/qt-windows.sh builds:
#   cmake -S . -B build-win/program -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DVELMORA_QT_WINDOWS=$HOME/.cache/velmora/qt-windows-5.15.8
# That Qt has no Gui, Widgets or SerialPort: the build makes batch mode alone
# (VELMORA_BATCH_ONLY), with the serial port of the platform layer.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The posix thread model: std::thread and std::mutex need it with GCC 12.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Kept for the compile checks, which read this file again in a tree of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_QT_WINDOWS)
if(NOT VELMORA_QT_WINDOWS)
    set(VELMORA_QT_WINDOWS "$ENV{HOME}/.cache/velmora/qt-windows-5.15.8")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${VELMORA_QT_WINDOWS})
set(CMAKE_PREFIX_PATH ${VELMORA_QT_WINDOWS})
# Programs (lrelease, Qt's moc and rcc) run here; libraries and headers are Windows'.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One file: Wine, or a Windows machine, needs none of MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(VELMORA_BATCH_ONLY ON CACHE BOOL "Batch mode alone: no window, no tests")
