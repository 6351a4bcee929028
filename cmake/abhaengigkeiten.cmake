# Every outside library, all from Debian's packages (installed by tools/setup).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED COMPONENTS filesystem)
find_package(ZLIB REQUIRED)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)
pkg_check_modules(GLFW REQUIRED IMPORTED_TARGET glfw3)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
# libsquish's pkg-config file has an empty prefix ("/include"), so find it directly.
find_library(SQUISH_BIBLIOTHEK squish)
find_path(SQUISH_KOPF squish.h)
if(NOT SQUISH_BIBLIOTHEK OR NOT SQUISH_KOPF)
  message(FATAL_ERROR "libsquish fehlt (tools/setup installiert libsquish-dev)")
endif()
add_library(weilerbau_squish INTERFACE)
target_link_libraries(weilerbau_squish INTERFACE ${SQUISH_BIBLIOTHEK})
target_include_directories(weilerbau_squish SYSTEM INTERFACE ${SQUISH_KOPF})
add_library(Weilerbau::Squish ALIAS weilerbau_squish)
pkg_check_modules(FREETYPE IMPORTED_TARGET freetype2)

# The shader compiler's two halves, linked only where they run (they dominate link time):
# glslang (HLSL to SPIR-V) into the compiler's glslang process alone, SPIRV-Cross (SPIR-V to
# GLSL) into the graphics library.
add_library(weilerbau_hlsl_nach_spirv INTERFACE)
target_compile_definitions(weilerbau_hlsl_nach_spirv INTERFACE ENABLE_HLSL)
target_link_libraries(weilerbau_hlsl_nach_spirv INTERFACE
  glslang SPIRV MachineIndependent GenericCodeGen OGLCompiler OSDependent HLSL
  glslang-default-resource-limits SPIRV-Tools-opt SPIRV-Tools Threads::Threads)
add_library(weilerbau_spirv_nach_glsl INTERFACE)
target_link_libraries(weilerbau_spirv_nach_glsl INTERFACE spirv-cross-glsl spirv-cross-core)

if(WEILERBAU_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(WEILERBAU_BENCH)
  find_package(benchmark REQUIRED)
endif()
