# Our HLSL compiler over glslang and SPIRV-Cross (plattform/d3dx*): the stand-in for D3DX's
# shader compiler and constant table.
add_library(plattform_hlsl STATIC
  ${PROJECT_SOURCE_DIR}/plattform/d3dx_puffer.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3dx_konstantentabelle.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3dx_konstantenbelegung.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3dx_globalpruefung.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3dx_glslanglauf.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3dx_kompiler.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3dx_shader.cpp)
target_link_libraries(plattform_hlsl PUBLIC weilerbau_shaderkompiler)
# Debian builds glslang without RTTI: the sanitizer's dynamic-type check would need the
# typeinfo of its classes, so it stays off where we drive glslang.
if(WEILERBAU_SANITIZE OR WEILERBAU_FUZZ)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/plattform/d3dx_glslanglauf.cpp
    PROPERTIES COMPILE_OPTIONS -fno-sanitize=vptr)
endif()
