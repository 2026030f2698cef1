# The frame's own dialogs and bars' helpers: the About box and the chevron menus. The shared
# command pieces, file dialogs and settings they came with live in rooms of their own.
add_library(app_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChevronMenu.cpp)
target_link_libraries(app_shell PUBLIC commands documents session win comdlg32 advapi32)
