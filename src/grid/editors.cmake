# In-place editors of the property grid: a text box and a drop-down list over a cell.
add_library(grid_editors STATIC
  ${CMAKE_CURRENT_LIST_DIR}/InplaceEditorPolicy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InplaceEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InplaceDropDown.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InplaceList.cpp)
target_link_libraries(grid_editors PUBLIC win)
