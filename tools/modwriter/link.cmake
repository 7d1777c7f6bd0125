# The note periods come from the engine's own table.
target_include_directories(${TOOL_TARGET} PRIVATE ${CMAKE_SOURCE_DIR})
