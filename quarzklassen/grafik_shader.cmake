# Shaders on the graphics engine: the dialect translation, vertex input layouts, vertex and
# pixel shaders, programs and the shader file tools.
target_sources(quarz_grafik PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/quarz_shaderdialekt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_highlevelshaderbasis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_vertexshader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_pixelshader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_vertexeingabe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_programm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_shadertools.cpp
)
target_link_libraries(quarz_grafik PUBLIC preprocessor)
