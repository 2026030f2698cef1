# The document view: a property grid that shows one ".bad" document.
add_library(ambient_view STATIC ${CMAKE_CURRENT_LIST_DIR}/AmbientView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AmbientViewColumns.cpp ${CMAKE_CURRENT_LIST_DIR}/AmbientViewFile.cpp ${CMAKE_CURRENT_LIST_DIR}/EntryCells.cpp)
target_link_libraries(ambient_view PUBLIC ambient_document ambient_files grid win)
