# The frame's services: file dialogs, the About box, command states, menu prompts, tooltips
# and chevron menus.
add_library(app_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CenterOver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChevronMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandStateMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandStrings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuPrompts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolTipText.cpp)
target_link_libraries(app_shell PUBLIC win comdlg32 advapi32)
