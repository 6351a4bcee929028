# The engine's graphics classes on our Direct3D 9 layer: pixel formats, screen and window,
# drawing context and its Direct3D 9 side, GPU resources, buffers and eviction.
set(QUARZ_GRAFIK_QUELLEN
  ${CMAKE_CURRENT_LIST_DIR}/quarz_pixelformat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_basisobjekt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_internhelfer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_vertexbuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_indexbuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_zbuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_alphazustand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_tiefezustand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_zeichenkontextimpldx9.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_zeichenkontext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_screen3d.cpp
)
add_library(quarz_grafik STATIC ${QUARZ_GRAFIK_QUELLEN})
# The core goes in whole (its static initialisers register variables and commands); naming it
# the same way here lets a test list it WHOLE as well without a conflict of link features.
# The input library follows the window's focus, which the screen's callbacks hand it.
target_link_libraries(quarz_grafik PUBLIC "$<LINK_LIBRARY:WHOLE_ARCHIVE,quarz_kern>"
  plattform_d3d9 plattform_hlsl orvis PkgConfig::GLFW)
