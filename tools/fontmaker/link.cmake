find_package(Freetype REQUIRED)
target_link_libraries(${TOOL_TARGET} PRIVATE Freetype::Freetype JPEG::JPEG)
