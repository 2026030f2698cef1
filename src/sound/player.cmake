# The Windows half: the worker that reads and decodes a file, and the system's wave output.
add_library(sound_player STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveOutDevice.cpp)
target_link_libraries(sound_player PUBLIC wave_feed sound_format winmm kernel32)
