# Textures, cube textures, render targets, the sampler state and the pixel regions they copy.
target_sources(quarz_grafik PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tbereich.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_texturhelfer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_textur.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_wuerfeltextur.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_renderziel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_sampler.cpp)
