# The CMake package configuration of the installed library and its Debian packages:
# the library, its development files and, with the stand-ins, the tools and the stand-ins.
include(CMakePackageConfigHelpers)

set(configDir ${CMAKE_INSTALL_LIBDIR}/cmake/${PROJECT_NAME})
write_basic_package_version_file(${PROJECT_NAME}ConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(EXPORT ${PROJECT_NAME} FILE ${PROJECT_NAME}Targets.cmake
        DESTINATION ${configDir} COMPONENT development)
configure_file(cmake/${PROJECT_NAME}Config.cmake.in ${PROJECT_NAME}Config.cmake @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${PROJECT_NAME}Config.cmake cmake/FindVornHost.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/${PROJECT_NAME}ConfigVersion.cmake
        DESTINATION ${configDir} COMPONENT development)

# Installed beside the host's libraries, as the stand-ins' package puts them, the library
# finds them without a loader path of the host's; elsewhere the host's loader path does.
set_target_properties(UI_Proc_VORN_TaskCmdProcess_Desktop PROPERTIES INSTALL_RPATH "$ORIGIN")

set(CPACK_PACKAGE_CONTACT "VORN keyboard library maintainers <keyboard-maintainers@vorn.example>"
    CACHE STRING "Maintainer field of the Debian packages: Name <address>")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(VORN_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The library and the host's libraries belong to no installed Debian package: dpkg-shlibdeps
# finds them where they were built or found and adds no dependency for them (the host
# application that loads the library brings its own).
set(libraryDirs)
foreach(library UI_Proc_VORN_TaskCmdProcess_Desktop Model_VOrn Utility_Manage
                UI_Proc_VORN_Desktop UI_Proc_Quarl)
    list(APPEND libraryDirs $<TARGET_FILE_DIR:${library}>)
endforeach()
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/CPackLibraryDirs.cmake
     CONTENT "set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS \"${libraryDirs}\")\n")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackLibraryDirs.cmake)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# A Qt 6 build makes the same packages named with -qt6. They hold the same files, so each
# conflicts with its namesake built against the other Qt.
if(VORN_QT_MAJOR STREQUAL 6)
    set(qtSuffix -qt6)
    set(otherQtSuffix "")
    set(qtCoreDevelopment qt6-base-dev)
    set(qtDevelopment "qt6-base-dev, qt6-declarative-dev")
    set(qtViewRuntime "qml6-module-qtquick, qml6-module-qtquick-window, \
qml6-module-qtqml-workerscript, qt6-qpa-plugins")
else()
    set(qtSuffix "")
    set(otherQtSuffix -qt6)
    set(qtCoreDevelopment qtbase5-dev)
    set(qtDevelopment "qtbase5-dev, qtdeclarative5-dev")
    set(qtViewRuntime "qml-module-qtquick2, qml-module-qtquick-window2")
endif()
set(libraryPackage libui-proc-vorn-taskcmdprocess-desktop${PROJECT_VERSION_MAJOR})
set(developmentPackage libui-proc-vorn-taskcmdprocess-desktop)
set(standInPackage vorn-host-stand-ins)

set(qtLabel "Qt ${VORN_QT_MAJOR}")
set(CPACK_COMPONENTS_ALL library development)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${libraryPackage}${qtSuffix})
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "control keyboard processor for a video-processor host (${qtLabel})
The plug-in library that a desktop control application for video processors
loads to serve its hardware control keyboard: it turns the host's keyboard
messages into Qt signals for the QML user interface (type DealKeyPress),
keeps the key OLEDs current, remaps keys, carries the T-bar between the
host's processes and moves the keyboard profile to and from a removable
disk.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONFLICTS ${libraryPackage}${otherQtSuffix})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# Lets dpkg-shlibdeps, packaging a host application, turn the SONAME into this package.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/shlibs
     "libUI_Proc_VORN_TaskCmdProcess_Desktop ${PROJECT_VERSION_MAJOR} "
     "${CPACK_DEBIAN_LIBRARY_PACKAGE_NAME} (>= ${PROJECT_VERSION})\n")
# The loader's cache is refreshed by dpkg's trigger, as Debian's library packages do.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/shlibs
                                               ${CMAKE_CURRENT_BINARY_DIR}/triggers)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${developmentPackage}${qtSuffix}-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_CONFLICTS ${developmentPackage}${otherQtSuffix}-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS ${qtDevelopment})
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "control keyboard processor: development files (${qtLabel})
The headers of the keyboard processor and its hand-over class, and the CMake
package UI_Proc_VORN_TaskCmdProcess_Desktop, which finds the host's
libraries as well: from VORN_HOST_PREFIX, the usual prefixes or the package
${standInPackage}${qtSuffix}.")
if(NOT VORN_HOST_PREFIX)
    list(APPEND CPACK_COMPONENTS_ALL tools host-sdk)
    set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME vorn-keyboard-tools${qtSuffix})
    set(CPACK_DEBIAN_TOOLS_PACKAGE_CONFLICTS vorn-keyboard-tools${otherQtSuffix})
    set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
    set(CPACK_COMPONENT_TOOLS_DEPENDS library)
    # The keyboard view's QML imports (and Qt 6's X platform plugin, a package of its own),
    # which no shared-library dependency brings.
    set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS ${qtViewRuntime})
    set(CPACK_COMPONENT_TOOLS_DESCRIPTION "control keyboard simulator and keyboard view (${qtLabel})
keyboard-sim plays the host around the keyboard processor and replays a
trace of host messages, printing every signal as a JSON line; keyboard-view
shows the keyboard as the processor's signals draw it. Both play the host
with stand-ins of its libraries, kept in a private folder, and keep their
state in the user's data folder.")

    # The stand-ins of the host's libraries, for building and testing the library or a
    # host without the real host application.
    set(CPACK_DEBIAN_HOST-SDK_PACKAGE_NAME ${standInPackage}${qtSuffix})
    set(CPACK_DEBIAN_HOST-SDK_PACKAGE_CONFLICTS ${standInPackage}${otherQtSuffix})
    set(CPACK_DEBIAN_HOST-SDK_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_HOST-SDK_PACKAGE_DEPENDS ${qtCoreDevelopment})
    set(CPACK_DEBIAN_HOST-SDK_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/triggers)
    set(CPACK_COMPONENT_HOST-SDK_DESCRIPTION "stand-ins for the video-processor host's libraries (${qtLabel})
Small stand-ins for the host application's libraries Model_VOrn,
Utility_Manage, UI_Proc_VORN_Desktop and UI_Proc_Quarl, with their headers
in /usr/include/vorn-host, for building and testing the keyboard library or
a host without the real host application. They are not the host's libraries:
a real host brings its own.")
endif()

# Each package's copyright and changelog files, where Debian looks for them.
configure_file(cmake/debian/copyright.in debian/copyright @ONLY)
configure_file(cmake/debian/changelog.in debian/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog
                OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz)
execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER ${component} upper)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/debian/copyright
                  ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian.gz
                  ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}
            COMPONENT ${component})
endforeach()
include(CPack)
