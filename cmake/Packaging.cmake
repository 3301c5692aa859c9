# What `cmake --install` puts in place, and the Debian package built from it with CPack:
# the two shared libraries with their public headers, pkg-config files, a CMake package config
# (targets rfsense::rfsense and rfsense::rfsim) and the udev rule for the sensors' USB bridge.
include(CMakePackageConfigHelpers)

set(RFSENSE_UDEV_RULES_DIR "lib/udev/rules.d"
    CACHE STRING "Where the udev rule is installed (relative to the prefix, or absolute)")
set(RFSENSE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/rfsense)

# librfsense finds librfsim beside itself wherever the prefix is.
set_target_properties(rfsense rfsim PROPERTIES INSTALL_RPATH "$ORIGIN")

# Everything here is the "library" component, which can be installed on its own.
install(TARGETS rfsense rfsim EXPORT rfsenseTargets COMPONENT library
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/rfsense/include/rfsense/rfsense.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rfsense COMPONENT library)
install(FILES ${PROJECT_SOURCE_DIR}/rfsim/include/rfsim/rfsim.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rfsim COMPONENT library)

install(EXPORT rfsenseTargets NAMESPACE rfsense:: DESTINATION ${RFSENSE_CMAKE_DIR}
    COMPONENT library)
configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/rfsenseConfig.cmake.in
    ${PROJECT_BINARY_DIR}/packaging/rfsenseConfig.cmake INSTALL_DESTINATION ${RFSENSE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/packaging/rfsenseConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/packaging/rfsenseConfig.cmake
              ${PROJECT_BINARY_DIR}/packaging/rfsenseConfigVersion.cmake
    DESTINATION ${RFSENSE_CMAKE_DIR} COMPONENT library)

# The .pc files locate the prefix from their own folder, so an installed tree can be moved.
file(RELATIVE_PATH RFSENSE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" RFSENSE_PC_TO_PREFIX "${RFSENSE_PC_TO_PREFIX}")
foreach(pc rfsense rfsim)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/pkgconfig/${pc}.pc.in
        ${PROJECT_BINARY_DIR}/packaging/${pc}.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/${pc}.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT library)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/60-rfsense.rules
    DESTINATION ${RFSENSE_UDEV_RULES_DIR} COMPONENT library)

# Installing the library component into a scratch prefix and building a C program against it, through pkg-config and
# through find_package. Not in sanitizer builds: a plain consumer cannot link instrumented
# libraries.
if(RFSENSE_BUILD_TESTS AND RFSENSE_SANITIZE STREQUAL "")
    add_test(NAME install_and_consume
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/install_and_consume.sh
                ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR}/tests/install ${CMAKE_C_COMPILER})
    set_tests_properties(install_and_consume PROPERTIES LABELS unit TIMEOUT 120)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rfsense)
set(CPACK_PACKAGE_VENDOR "rfsense")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "USB RF power sensor library, simulated sensor and command-line meter")
set(CPACK_PACKAGE_CONTACT "rfsense maintainers <rfsense@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
