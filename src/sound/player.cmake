# The Windows half: the worker that reads, decodes and feeds the system's wave output.
add_library(sound_player STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveOutDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveFeed.cpp)
target_link_libraries(sound_player PUBLIC sound_format winmm kernel32)
