# Engine core services: exceptions, log, console variables and commands, timer, profiler,
# system object, and our Linux layer under them.
list(APPEND QUARZ_KERN_QUELLEN
  ${CMAKE_CURRENT_LIST_DIR}/quarz_ausnahme.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_variable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_konsolenbefehl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_konsolebasisanzeige.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tzerleger.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_timer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_profilmanager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quarz_system.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../plattform/system_linux.cpp
)
