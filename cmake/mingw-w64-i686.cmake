# Cross-build of the plug-in for 32-bit Windows with Debian's mingw-w64.
set(TOLVAN_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
