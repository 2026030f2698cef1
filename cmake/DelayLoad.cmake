# Libraries the editor needs only once the user does something (the file dialogs, the values of
# grid cells) are bound on their first call instead of when the process starts: loading them,
# and the shell libraries the dialogs pull in, made up much of the wait for the first window.
#
# sonarwick_delay_load(<library>) makes a delay-import library with every function the system's
# import library has, and an imported target of the library's own name, so that every target
# linking <library> links it delayed without knowing.
function(sonarwick_delay_load library)
  find_library(import_library_${library} NAMES ${library} REQUIRED)
  set(import_library ${import_library_${library}})
  set(folder ${CMAKE_BINARY_DIR}/delay-load)
  set(delay_library ${folder}/lib${library}-delay.a)
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND ${CMAKE_NM} ${import_library} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  # Functions have a thunk (T) beside their import pointer (I); data exports, which cannot be
  # bound late, have the pointer only.
  string(REGEX MATCHALL " T [A-Za-z0-9_@?]+" thunks "${symbols}")
  set(definition "LIBRARY ${library}.dll\nEXPORTS\n")
  foreach(thunk IN LISTS thunks)
    string(SUBSTRING "${thunk}" 3 -1 name)
    if(NOT name MATCHES "^_" AND symbols MATCHES " I __imp_${name}\n")
      string(APPEND definition "${name}\n")
    endif()
  endforeach()
  file(WRITE ${folder}/${library}.def "${definition}")
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${folder}/${library}.def --output-delaylib ${delay_library}
                  COMMAND_ERROR_IS_FATAL ANY)
  add_library(${library} STATIC IMPORTED GLOBAL)
  set_target_properties(${library} PROPERTIES IMPORTED_LOCATION ${delay_library})
endfunction()

sonarwick_delay_load(comdlg32)
sonarwick_delay_load(oleaut32)
# The shell (dropped files, the recent list, the recovery folder, the folder picker) and the
# sound device (only once a sound plays): loading the shell alone cost a start about as much as
# everything the frame does before it shows.
sonarwick_delay_load(shell32)
sonarwick_delay_load(winmm)
