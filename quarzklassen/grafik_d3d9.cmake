# Our Direct3D 9 stand-in over OpenGL (plattform/d3d9*): the device layer the graphics engine
# draws through.
add_library(plattform_d3d9 STATIC
  ${PROJECT_SOURCE_DIR}/plattform/d3d9_formate.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3d9_ressourcen.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3d9_geraet.cpp
  ${PROJECT_SOURCE_DIR}/plattform/d3d9_direct3d.cpp)
target_link_libraries(plattform_d3d9 PUBLIC PkgConfig::EPOXY PkgConfig::GLFW)
