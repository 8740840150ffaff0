# libjpeg-turbo from Debian's source package (unpacked by scripts/setup.sh), cross-built static.
include(ExternalProject)
set(JPEG_SRC ${CMAKE_SOURCE_DIR}/third_party/libjpeg-turbo)
set(JPEG_PREFIX ${CMAKE_BINARY_DIR}/libjpeg)
if(NOT EXISTS ${JPEG_SRC}/CMakeLists.txt)
  message(FATAL_ERROR "libjpeg-turbo source missing: run scripts/setup.sh")
endif()
ExternalProject_Add(libjpeg_build
  SOURCE_DIR ${JPEG_SRC}
  BINARY_DIR ${JPEG_PREFIX}/build
  INSTALL_DIR ${JPEG_PREFIX}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DCMAKE_BUILD_TYPE=Release
             -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_TURBOJPEG=0 -DWITH_SIMD=1 -DREQUIRE_SIMD=1
             -DCMAKE_POLICY_DEFAULT_CMP0057=NEW
  BUILD_BYPRODUCTS ${JPEG_PREFIX}/lib/libjpeg.a
)
file(MAKE_DIRECTORY ${JPEG_PREFIX}/include)
add_library(jpeg STATIC IMPORTED GLOBAL)
set_target_properties(jpeg PROPERTIES IMPORTED_LOCATION ${JPEG_PREFIX}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${JPEG_PREFIX}/include)
add_dependencies(jpeg libjpeg_build)
