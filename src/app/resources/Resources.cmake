# The program's resources as an object library, so that the executable and the tests link the
# very same tables. The toolbar bitmap and the icon are generated from text pixel maps by a
# small tool compiled for the build machine (the rest of this build targets Windows).

set(pixelmaps ${CMAKE_CURRENT_SOURCE_DIR}/resources/pixelmaps)
set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
set(pixelmap_sources ${pixelmaps}/PixelMapCompiler.cpp ${pixelmaps}/PixelMap.cpp ${pixelmaps}/DibEncoder.cpp
                     ${pixelmaps}/PixelScaling.cpp)
set(pixelmap_compiler ${generated}/pixelmap-compiler)

find_program(SONARWICK_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
file(MAKE_DIRECTORY ${generated})

add_custom_command(
  OUTPUT ${pixelmap_compiler}
  COMMAND ${SONARWICK_HOST_CXX} -std=c++20 -O1 -Wall -Wextra -Werror -o ${pixelmap_compiler} ${pixelmap_sources}
  DEPENDS ${pixelmap_sources} ${pixelmaps}/PixelMap.h ${pixelmaps}/DibEncoder.h ${pixelmaps}/PixelScaling.h
  COMMENT "Building the pixel map compiler for the build machine"
  VERBATIM)

add_custom_command(
  OUTPUT ${generated}/Toolbar.bmp
  COMMAND ${pixelmap_compiler} bitmap ${pixelmaps}/Toolbar.txt ${generated}/Toolbar.bmp
  DEPENDS ${pixelmap_compiler} ${pixelmaps}/Toolbar.txt
  COMMENT "Drawing the toolbar bitmap"
  VERBATIM)

add_custom_command(
  OUTPUT ${generated}/Icon.ico
  COMMAND ${pixelmap_compiler} icon ${pixelmaps}/Icon.txt ${generated}/Icon.ico 16 24 32 48 256
  DEPENDS ${pixelmap_compiler} ${pixelmaps}/Icon.txt
  COMMENT "Drawing the application icon"
  VERBATIM)

# The same toolbar art for 150 % and 200 %: whole-factor scaling, centred in the larger cells.
foreach(cell 24 32)
  add_custom_command(
    OUTPUT ${generated}/Toolbar${cell}.bmp
    COMMAND ${pixelmap_compiler} bitmap ${pixelmaps}/Toolbar.txt ${generated}/Toolbar${cell}.bmp ${cell}
    DEPENDS ${pixelmap_compiler} ${pixelmaps}/Toolbar.txt
    COMMENT "Drawing the ${cell}-pixel toolbar bitmap"
    VERBATIM)
endforeach()

add_custom_target(app_pictures DEPENDS ${generated}/Toolbar.bmp ${generated}/Toolbar24.bmp
                  ${generated}/Toolbar32.bmp ${generated}/Icon.ico)

set(resource_scripts resources/Shared.rc resources/English.rc resources/Russian.rc)
add_library(app_resources OBJECT ${resource_scripts})
# ResourceIds.h takes the window-list ids from the tab container's header.
target_include_directories(app_resources PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources ${generated}
                           ${PROJECT_SOURCE_DIR}/src)
add_dependencies(app_resources app_pictures)
set_source_files_properties(resources/Shared.rc PROPERTIES
  OBJECT_DEPENDS "${generated}/Toolbar.bmp;${generated}/Toolbar24.bmp;${generated}/Toolbar32.bmp;${generated}/Icon.ico;${CMAKE_CURRENT_SOURCE_DIR}/resources/ResourceIds.h;${PROJECT_SOURCE_DIR}/src/tabs/WindowPageIds.h")
set_source_files_properties(resources/English.rc resources/Russian.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/resources/ResourceIds.h;${PROJECT_SOURCE_DIR}/src/tabs/WindowPageIds.h")
