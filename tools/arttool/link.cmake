# SVG rendering through librsvg onto cairo surfaces; images out through libpng and libjpeg.
find_package(PkgConfig REQUIRED)
pkg_check_modules(RSVG REQUIRED IMPORTED_TARGET librsvg-2.0 cairo)
find_package(Threads REQUIRED)
target_link_libraries(${TOOL_TARGET} PRIVATE PkgConfig::RSVG PNG::PNG JPEG::JPEG Threads::Threads)
target_include_directories(${TOOL_TARGET} PRIVATE ${CMAKE_SOURCE_DIR})
