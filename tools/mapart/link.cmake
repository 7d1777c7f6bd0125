# Pictures out through libjpeg; the maps are painted on threads of their own.
find_package(Threads REQUIRED)
target_link_libraries(${TOOL_TARGET} PRIVATE JPEG::JPEG Threads::Threads)
