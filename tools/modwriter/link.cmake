# The note periods come from the engine's own table; rendered samples come from the synthesiser.
target_include_directories(${TOOL_TARGET} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(${TOOL_TARGET} PRIVATE synth)
