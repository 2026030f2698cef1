# The property grid control, its cell items and its painting.
add_library(grid STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AddRowItem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CellToolTip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditItem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GridCellPolicy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GridPainter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GridSelection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ItemDrawing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LabelItem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListItem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyGridSplice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyGridCommit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyGridInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyGridMarks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyGridNotifications.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyGridScale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyItemBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpeakerMark.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ValueItem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VariantValue.cpp)
target_link_libraries(grid PUBLIC grid_editors win)
