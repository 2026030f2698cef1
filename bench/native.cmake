# The ambience rendering against decoding alone. The native build checks with sanitizers and
# without optimization, which would time the checks; this program compiles the engine's sources
# again, optimized and unchecked, as the shipped program runs them.
set(bench_sources AmbienceRenderBench.cpp)
foreach(library ambience sound_format)
  get_target_property(library_dir ${library} SOURCE_DIR)
  get_target_property(library_sources ${library} SOURCES)
  list(TRANSFORM library_sources PREPEND ${library_dir}/)
  list(APPEND bench_sources ${library_sources})
endforeach()
add_executable(ambience_render_bench ${bench_sources})
target_include_directories(ambience_render_bench PRIVATE ${PROJECT_SOURCE_DIR}/src ${STB_VORBIS_INCLUDE_DIR})
target_compile_options(ambience_render_bench PRIVATE -O2 -fno-sanitize=all)
target_link_options(ambience_render_bench PRIVATE -fno-sanitize=all)
# stb_vorbis is someone else's code: its warnings are not ours to fix.
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/sound/StbVorbis.c PROPERTIES COMPILE_OPTIONS "-w;-Wno-error")
add_test(NAME ambience_render_bench COMMAND ambience_render_bench)
set_tests_properties(ambience_render_bench PROPERTIES LABELS "native;bench")
