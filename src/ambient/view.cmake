# The document view: a property grid that holds one ".bad" file.
add_library(ambient_view STATIC ${CMAKE_CURRENT_LIST_DIR}/AmbientView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AmbientFileMessages.cpp)
target_link_libraries(ambient_view PUBLIC ambient_files grid win)
