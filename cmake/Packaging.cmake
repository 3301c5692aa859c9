# What `cmake --install` puts in place, and the Debian package built from it with CPack:
# the two shared libraries with their public headers, pkg-config files, a CMake package config
# (targets rfsense::rfsense and rfsense::rfsim) and the udev rule for the sensors' USB bridge.
include(CMakePackageConfigHelpers)

set(RFSENSE_UDEV_RULES_DIR "lib/udev/rules.d"
    CACHE STRING "Where the udev rule is installed (relative to the prefix, or absolute)")
set(RFSENSE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/rfsense)

# Installed binaries carry no RPATH: the libraries go to the system's library folder, where the
# loader finds them (the Debian package runs ldconfig).

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

# The desktop integration and documents of the package.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/desktop/org.rfsense.meterdesk.desktop
              ${PROJECT_SOURCE_DIR}/packaging/desktop/org.rfsense.sensor-setup.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT application)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/desktop/org.rfsense.meterdesk.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT application)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/org.rfsense.meterdesk.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT application)
# The PNG sizes of the hicolor theme, drawn from the same SVG with QtSvg when the build runs.
if(RFSENSE_BUILD_APPS)
    find_package(Qt6 COMPONENTS Gui Svg)
endif()
if(TARGET Qt6::Svg)
    add_executable(render_icon ${PROJECT_SOURCE_DIR}/packaging/icons/render_icon.cpp)
    target_link_libraries(render_icon PRIVATE Qt6::Gui Qt6::Svg)
    rfsense_warnings(render_icon)
    set(icon_svg ${PROJECT_SOURCE_DIR}/packaging/icons/org.rfsense.meterdesk.svg)
    set(icon_args)
    set(icon_pngs)
    set(icon_dirs)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size}/org.rfsense.meterdesk.png)
        list(APPEND icon_dirs ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size})
        list(APPEND icon_args ${size} ${png})
        list(APPEND icon_pngs ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            COMPONENT application)
    endforeach()
    add_custom_command(OUTPUT ${icon_pngs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dirs}
        COMMAND render_icon ${icon_svg} ${icon_args}
        DEPENDS render_icon ${icon_svg}
        COMMENT "Rendering the application icon")
    add_custom_target(package_icons ALL DEPENDS ${icon_pngs})
else()
    message(STATUS "QtSvg not found: the package gets the SVG icon only")
endif()
# Manual pages and the changelog are installed compressed, as Debian wants them.
set(compressed_docs)
foreach(doc man/rfsense.1 man/meterdesk.1 man/sensor-setup.1 debian/changelog)
    get_filename_component(name ${doc} NAME)
    set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/${doc} > ${output}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc}
        COMMENT "Compressing ${name}")
    list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(package_docs ALL DEPENDS ${compressed_docs})
install(FILES ${PROJECT_BINARY_DIR}/packaging/rfsense.1.gz
              ${PROJECT_BINARY_DIR}/packaging/meterdesk.1.gz
              ${PROJECT_BINARY_DIR}/packaging/sensor-setup.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT application)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rfsense COMPONENT application)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rfsense COMPONENT application)
# The medium's driver folder: the udev rule and how to install it by hand.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/60-rfsense.rules
              ${PROJECT_SOURCE_DIR}/packaging/udev/README
    DESTINATION ${METERDESK_DATA_DIR}/Driver COMPONENT application)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rfsense)
set(CPACK_PACKAGE_VENDOR "rfsense")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop power meter for USB RF power sensors")
# The extended description under the summary line (CPack indents each line by one space).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Software for the Zyn Quorix and Marrick USB RF/microwave
diode power sensors: the sensor library librfsense with its C interface,
pkg-config and CMake files, the simulated sensor bus librfsim for
demonstrations and tests, the command-line meter rfsense, the Qt meter
application meterdesk, and the installer sensor-setup with its installation
medium.")
set(CPACK_PACKAGE_CONTACT "rfsense developers <rfsense@example.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_FULL_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The shared libraries ask dpkg to run ldconfig once after the installation.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, gstreamer1.0-plugins-good")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
