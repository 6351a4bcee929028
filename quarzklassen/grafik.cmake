# Graphics. Libraries and source lists, kept by several people at once:
#   plattform_d3d9 (grafik_d3d9.cmake):      our Direct3D 9 stand-in over OpenGL (plattform/)
#   plattform_hlsl (grafik_hlsl.cmake):      our HLSL compiler over glslang and SPIRV-Cross (plattform/)
#   quarz_grafik   (grafik_engine.cmake):    the engine's graphics classes on top of both
#   grafik_shader.cmake, grafik_textur.cmake: further sources of quarz_grafik (target_sources)
include(${CMAKE_CURRENT_LIST_DIR}/grafik_d3d9.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/grafik_hlsl.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/grafik_engine.cmake OPTIONAL)
if(TARGET quarz_grafik)
  include(${CMAKE_CURRENT_LIST_DIR}/grafik_shader.cmake OPTIONAL)
  include(${CMAKE_CURRENT_LIST_DIR}/grafik_textur.cmake OPTIONAL)
endif()
