# Fails when an object file runs code before WinMain or at exit: constructor
# tables (.ctors, .init_array) or exit-handler registrations (atexit and
# kin, which a static with a destructor brings in).
#   cmake -DOBJDUMP=... -DNM=... -DOBJECTS="a.obj|b.obj" -P no_static_init.cmake
string(REPLACE "|" ";" objects "${OBJECTS}")
set(faults "")
foreach(object IN LISTS objects)
  execute_process(COMMAND ${OBJDUMP} -h ${object} OUTPUT_VARIABLE sections
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read ${object}")
  endif()
  if(sections MATCHES "[ \t](\\.ctors|\\.dtors|\\.init_array|\\.fini_array)")
    string(APPEND faults "${object}: ${CMAKE_MATCH_1}\n")
  endif()
  execute_process(COMMAND ${NM} -u ${object} OUTPUT_VARIABLE undefined)
  if(undefined MATCHES "[ \t]_*(atexit|_onexit|cxa_atexit|dllonexit|cxa_guard_acquire)\n")
    string(APPEND faults "${object}: ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
list(LENGTH objects count)
if(count EQUAL 0)
  message(FATAL_ERROR "no object files given")
endif()
if(faults)
  message(FATAL_ERROR "static initialisation or exit handlers in:\n${faults}")
endif()
message(STATUS "${count} object files: no static initialisers, no exit handlers")
