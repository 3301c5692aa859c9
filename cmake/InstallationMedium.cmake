# The installation medium in the build tree, <build>/Installation, in the layout sensor-setup
# reads: "app" holds a meterdesk that finds its libraries beside itself (it runs from the
# target without LD_LIBRARY_PATH), "DLL" the two libraries under their sonames, "Help" the
# meter's help topics, "Sound" the welcome tune, "Driver" the udev rule and its README, and the
# installer's two help files at the top. Firmware, calibration and settings folders stay empty:
# the product ships no such data of its own.
if(NOT TARGET meterdesk_ui OR NOT TARGET help_files OR NOT TARGET welcome_tune)
    return()
endif()

set(medium ${PROJECT_BINARY_DIR}/Installation)

add_executable(meterdesk_medium ${PROJECT_SOURCE_DIR}/meterdesk/ui/main.cpp)
target_link_libraries(meterdesk_medium PRIVATE meterdesk_ui)
rfsense_warnings(meterdesk_medium)
set_target_properties(meterdesk_medium PROPERTIES
    OUTPUT_NAME meterdesk
    RUNTIME_OUTPUT_DIRECTORY ${medium}/app
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "$ORIGIN")

# In the target the libraries lie beside each other: librfsense looks for librfsim there first.
set_property(TARGET rfsense APPEND PROPERTY BUILD_RPATH "$ORIGIN")

set(help_dir ${PROJECT_BINARY_DIR}/help)
set(copies)
foreach(topic IN LISTS METERDESK_HELP_TOPICS)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different ${help_dir}/${topic}.dat
         ${medium}/Help/${topic}.dat)
endforeach()
foreach(topic IN LISTS SENSOR_SETUP_HELP_TOPICS)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different ${help_dir}/${topic}.dat
         ${medium}/${topic}.dat)
endforeach()

add_custom_target(installation_medium ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${medium}/DLL ${medium}/Help ${medium}/Sound
            ${medium}/Driver ${medium}/Firmware "${medium}/Temp Comp" ${medium}/Settings
            ${medium}/Signal
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:rfsense>
            ${medium}/DLL/$<TARGET_SONAME_FILE_NAME:rfsense>
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:rfsim>
            ${medium}/DLL/$<TARGET_SONAME_FILE_NAME:rfsim>
    ${copies}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_BINARY_DIR}/UTOPIA.WAV
            ${medium}/Sound/UTOPIA.WAV
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${PROJECT_SOURCE_DIR}/packaging/udev/60-rfsense.rules ${medium}/Driver/60-rfsense.rules
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/packaging/udev/README
            ${medium}/Driver/README
    DEPENDS meterdesk_medium rfsense rfsim help_files welcome_tune
    COMMENT "Laying out the installation medium in ${medium}"
    VERBATIM)
