find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
target_link_libraries(${TOOL_TARGET} PRIVATE PkgConfig::LIBZIP)
