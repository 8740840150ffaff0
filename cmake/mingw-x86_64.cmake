# The 64-bit build of the same sources, for machines that run only 64-bit Wine.
set(TANDREL_MINGW x86_64)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
