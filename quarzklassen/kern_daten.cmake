# Engine core, data classes: byte buffer, segment reader, property tree, slot map
# (header only), vectors, matrices, colours and text encodings.
list(APPEND QUARZ_KERN_QUELLEN
  ${CMAKE_CURRENT_LIST_DIR}/tspeicher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tsegmentleser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/teigenschaften.cpp
  ${CMAKE_CURRENT_LIST_DIR}/teigenschaften_serialisierung.cpp
  ${CMAKE_CURRENT_LIST_DIR}/talphafarbe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmatrix4.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmatrix3.cpp
  ${CMAKE_CURRENT_LIST_DIR}/textkodierung.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xmltiefe.cpp
)
