# The encoder is only a build-time need: the game decodes with its own integer decoder.
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
target_link_libraries(${TOOL_TARGET} PRIVATE synth PkgConfig::VORBISENC)
target_include_directories(${TOOL_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/tools)
