# Where the editor's files go, in a build folder and under an install prefix
# (cmake --install <build folder> --prefix <folder>). Include it after the programs exist.
#
#   <prefix>/bin                                 the editor, its message-box and MIDI-port
#                                                programs, and the device-control library
#                                                stand-in, which the editor loads from its
#                                                own folder
#   <prefix>/lib/quorin-ztr-preset-editor        the project's shared libraries
#   <prefix>/share/doc/quorin-ztr-preset-editor  the user guide
#
# A build folder holds the programs at its top and the guide at the same place below itself
# as a prefix does; the editor looks below its own folder and below the one above it
# (UI/UserGuide.h), so it finds the guide from either, and so do the test programs in
# <build folder>/tests.

set(QZ_DOCUMENTATION_FOLDER "share/doc/quorin-ztr-preset-editor")
set(QZ_PRIVATE_LIBRARY_FOLDER "lib/quorin-ztr-preset-editor")
set(QZ_USER_GUIDE "${PROJECT_SOURCE_DIR}/docs/UserGuide.html")

# Copied again whenever the guide changes (configure_file makes the guide a configure input).
configure_file(${QZ_USER_GUIDE} ${CMAKE_BINARY_DIR}/${QZ_DOCUMENTATION_FOLDER}/UserGuide.html COPYONLY)
set_source_files_properties(${PROJECT_SOURCE_DIR}/UI/UserGuide.cpp DIRECTORY ${PROJECT_SOURCE_DIR}/UI
                            PROPERTIES COMPILE_DEFINITIONS "QZ_DOCUMENTATION_FOLDER=\"${QZ_DOCUMENTATION_FOLDER}\"")
install(FILES ${QZ_USER_GUIDE} DESTINATION ${QZ_DOCUMENTATION_FOLDER})

# The installed programs find the libraries that stay shared (all of ours in the test
# builds, the few that must be one per process in the release build) in their private folder.
set(installed_programs quorin-ztr-preset-editor quorin-ztr-message-box quorin-ztr-midi-ports)
set_target_properties(${installed_programs} DeviceControlClient PROPERTIES INSTALL_RPATH
                                                                            "$ORIGIN/../${QZ_PRIVATE_LIBRARY_FOLDER}")
install(TARGETS ${installed_programs} RUNTIME DESTINATION bin)
install(TARGETS DeviceControlClient LIBRARY DESTINATION bin)
get_property(qz_libraries GLOBAL PROPERTY QZ_LIBRARIES)
foreach(library IN LISTS qz_libraries)
  get_target_property(library_type ${library} TYPE)
  if(library_type STREQUAL "SHARED_LIBRARY")
    set_target_properties(${library} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${library} LIBRARY DESTINATION ${QZ_PRIVATE_LIBRARY_FOLDER})
  endif()
endforeach()
