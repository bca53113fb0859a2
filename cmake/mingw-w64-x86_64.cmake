# Cross-build of the plug-in for 64-bit Windows with Debian's mingw-w64.
set(TOLVAN_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
