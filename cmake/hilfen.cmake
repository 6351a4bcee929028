# weilerbau_ganze_bibliothek(BIBLIOTHEK): makes BIBLIOTHEK_ganz, through which everyone links
# that static library whole, so that console variables and commands registered by static
# initialisers are not dropped. One way of naming it everywhere also keeps CMake from seeing
# two link features for one library.
function(weilerbau_ganze_bibliothek bib)
  add_library(${bib}_ganz INTERFACE)
  target_link_libraries(${bib}_ganz INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${bib}>")
endfunction()

# weilerbau_ganzes_archiv(ZIEL BIBLIOTHEK...): ZIEL links each library whole.
function(weilerbau_ganzes_archiv ziel)
  foreach(bib IN LISTS ARGN)
    target_link_libraries(${ziel} PRIVATE ${bib}_ganz)
  endforeach()
endfunction()

# weilerbau_test(NAME SOURCES a.cpp... LIBS x... [DISPLAY])
# One gtest executable per subsystem; every test case runs through tools/testhuelle in a
# fresh temporary working directory with XDG_DATA_HOME inside it.
function(weilerbau_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;WHOLE" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # weilerbau_treiber_halten: no library is unmapped before exit, so the leak scan at exit sees
  # the OpenGL driver's memory on every machine (tests/gemeinsam/treiber_halten.cpp).
  target_link_libraries(${name} PRIVATE ${T_LIBS} weilerbau_treiber_halten
    GTest::gtest GTest::gtest_main GTest::gmock)
  if(T_WHOLE)
    weilerbau_ganzes_archiv(${name} ${T_WHOLE})
  endif()
  target_compile_definitions(${name} PRIVATE
    WEILERBAU_QUELLEN="${PROJECT_SOURCE_DIR}" WEILERBAU_BAU="${CMAKE_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/testhuelle)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()

# weilerbau_unterordner([ORT] [AUSSER name...]): add every folder below ORT (default: the current
# one) that has a CMakeLists.txt, in name order; folders without one only group others
# (tests/kern/dienste, tests/kern/daten). Folders named after AUSSER at the top are left out.
function(weilerbau_unterordner)
  cmake_parse_arguments(U "" "ORT" "AUSSER" ${ARGN})
  set(ort ${U_ORT})
  if(NOT ort)
    set(ort ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB teile LIST_DIRECTORIES true RELATIVE ${ort} ${ort}/*)
  list(SORT teile)
  foreach(teil IN LISTS teile)
    if(NOT IS_DIRECTORY ${ort}/${teil} OR teil IN_LIST U_AUSSER)
      continue()
    endif()
    if(EXISTS ${ort}/${teil}/CMakeLists.txt)
      add_subdirectory(${ort}/${teil})
    else()
      weilerbau_unterordner(ORT ${ort}/${teil})
    endif()
  endforeach()
endfunction()
