# Engine core. Two source lists, kept by two people at once:
#   kern_dienste.cmake: exceptions, log, console variables and commands, timer, profiler, system object
#   kern_daten.cmake:   byte buffer, segment reader, property tree, slot map, math/colour/text helpers
set(QUARZ_KERN_QUELLEN)
include(${CMAKE_CURRENT_LIST_DIR}/kern_dienste.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/kern_daten.cmake OPTIONAL)
if(QUARZ_KERN_QUELLEN)
  add_library(quarz_kern STATIC ${QUARZ_KERN_QUELLEN})
  target_link_libraries(quarz_kern PUBLIC Boost::headers Boost::filesystem PkgConfig::TINYXML ZLIB::ZLIB Threads::Threads)
endif()
