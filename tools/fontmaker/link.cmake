find_package(Freetype REQUIRED)
target_link_libraries(${TOOL_TARGET} PRIVATE Freetype::Freetype JPEG::JPEG)
target_include_directories(${TOOL_TARGET} PRIVATE ${CMAKE_SOURCE_DIR})
