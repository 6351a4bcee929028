# The data folder of a build: ${WEILERBAU_DATEN_ORDNER} = <build>/Daten, beside bin64/, where the
# program looks for its data (the application folder is bin64's parent). The target
# weilerbau_daten (built with everything) fills it:
#   - every file of the source folder Daten/ is copied there (sub-folders kept);
#   - weilerbau_daten_erzeugen(ZIEL <name> BEFEHL <command...> [ABHAENGIG <files/targets...>])
#     adds a file made at build time by a command (tools of ours, see tools/daten/);
#   - weilerbau_daten_kopieren(ZIEL <name> QUELLE <absolute path>) adds a copy of an outside
#     file (from an installed package) under the name the program expects.
# Targets that need the data (tests reading it) add_dependencies(<target> weilerbau_daten).
set(WEILERBAU_DATEN_ORDNER ${CMAKE_BINARY_DIR}/Daten)
set(WEILERBAU_DATEN_QUELLE ${PROJECT_SOURCE_DIR}/Daten)

file(GLOB_RECURSE _daten_dateien CONFIGURE_DEPENDS LIST_DIRECTORIES false
  RELATIVE ${WEILERBAU_DATEN_QUELLE} ${WEILERBAU_DATEN_QUELLE}/*)
set(_daten_kopien)
foreach(datei IN LISTS _daten_dateien)
  add_custom_command(OUTPUT ${WEILERBAU_DATEN_ORDNER}/${datei}
    COMMAND ${CMAKE_COMMAND} -E copy ${WEILERBAU_DATEN_QUELLE}/${datei}
            ${WEILERBAU_DATEN_ORDNER}/${datei}
    DEPENDS ${WEILERBAU_DATEN_QUELLE}/${datei}
    COMMENT "Daten: ${datei}")
  list(APPEND _daten_kopien ${WEILERBAU_DATEN_ORDNER}/${datei})
endforeach()
add_custom_target(weilerbau_daten ALL DEPENDS ${_daten_kopien})
add_custom_command(TARGET weilerbau_daten PRE_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${WEILERBAU_DATEN_ORDNER})

function(weilerbau_daten_erzeugen)
  cmake_parse_arguments(D "" "ZIEL" "BEFEHL;ABHAENGIG" ${ARGN})
  if(NOT D_ZIEL OR NOT D_BEFEHL)
    message(FATAL_ERROR "weilerbau_daten_erzeugen braucht ZIEL und BEFEHL")
  endif()
  string(MAKE_C_IDENTIFIER "${D_ZIEL}" kennung)
  add_custom_command(OUTPUT ${WEILERBAU_DATEN_ORDNER}/${D_ZIEL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${WEILERBAU_DATEN_ORDNER}
            ${CMAKE_BINARY_DIR}/werkzeug-xdg
    # Our tools link the engine core, which makes its user-data folder at start: a folder in
    # the build keeps the build out of the home folder.
    COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${CMAKE_BINARY_DIR}/werkzeug-xdg ${D_BEFEHL}
    DEPENDS ${D_ABHAENGIG}
    COMMENT "Daten: ${D_ZIEL} erzeugen"
    VERBATIM)
  add_custom_target(weilerbau_daten_${kennung} DEPENDS ${WEILERBAU_DATEN_ORDNER}/${D_ZIEL})
  add_dependencies(weilerbau_daten weilerbau_daten_${kennung})
endfunction()

function(weilerbau_daten_kopieren)
  cmake_parse_arguments(D "" "ZIEL;QUELLE" "" ${ARGN})
  weilerbau_daten_erzeugen(ZIEL ${D_ZIEL}
    BEFEHL ${CMAKE_COMMAND} -E copy ${D_QUELLE} ${WEILERBAU_DATEN_ORDNER}/${D_ZIEL}
    ABHAENGIG ${D_QUELLE})
endfunction()
