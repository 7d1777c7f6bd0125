# The synthesiser is a library the sound tools share. It runs at build time, so it is optimized and
# free of sanitizers whatever the build type.
file(GLOB synth_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(synth STATIC ${synth_sources})
target_include_directories(synth PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_compile_options(synth PRIVATE -O2)
