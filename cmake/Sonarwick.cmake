# Helpers shared by the subsystem folders.

# sonarwick_add_win_test(<name> SOURCES <files...> LIBRARIES <targets...> [NO_LOCALES])
# A GoogleTest program for Windows, run through Wine. It links the common test main
# (COM, common controls, the comctl32 v6 manifest). Unless NO_LOCALES is given it is
# registered twice, once with an English and once with a Russian user locale.
function(sonarwick_add_win_test name)
  cmake_parse_arguments(ARG "NO_LOCALES" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE win_test_main ${ARG_LIBRARIES})
  if(ARG_NO_LOCALES)
    add_test(NAME ${name} COMMAND ${name})
  else()
    add_test(NAME ${name}.en COMMAND ${name})
    set_tests_properties(${name}.en PROPERTIES ENVIRONMENT "LC_ALL=en_US.UTF-8" LABELS "win;en")
    add_test(NAME ${name}.ru COMMAND ${name})
    set_tests_properties(${name}.ru PROPERTIES ENVIRONMENT "LC_ALL=ru_RU.UTF-8" LABELS "win;ru")
  endif()
endfunction()

# sonarwick_add_native_test(<name> SOURCES <files...> LIBRARIES <targets...>)
function(sonarwick_add_native_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest_main ${ARG_LIBRARIES})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS native)
endfunction()
