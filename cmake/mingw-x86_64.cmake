# Cross build for 64-bit Windows: the same sources, used to run the Wine
# tests on hosts whose kernel cannot execute 32-bit Linux programs (and so
# cannot run 32-bit Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
