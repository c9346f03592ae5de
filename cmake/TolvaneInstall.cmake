# Installs the same tree the build lays out, and registers the installed
# device plug-ins in the machine-wide device list as an installer would,
# keeping the entries and settings already there.
# Filled by the plug-ins' folders, which are added before this file is included.
if(NOT DEFINED CACHE{TOLVANE_INSTALLED_DEVICES})
  set(TOLVANE_INSTALLED_DEVICES "" CACHE INTERNAL "name=library pairs of the device plug-ins")
endif()

install(DIRECTORY ${TOLVANE_BIN_DIR}/ DESTINATION bin USE_SOURCE_PERMISSIONS)
install(CODE "
  set(entries)
  foreach(pair IN ITEMS ${TOLVANE_INSTALLED_DEVICES})
    string(REPLACE \"=\" \";\" parts \"\${pair}\")
    list(GET parts 0 name)
    list(GET parts 1 library)
    list(APPEND entries \"\${name}=\${CMAKE_INSTALL_PREFIX}/bin/\${library}\")
  endforeach()
  set(config \"\$ENV{DESTDIR}${TOLVANE_MACHINE_CONFIG_DIR}\")
  message(STATUS \"Registering devices in \${config}/Tolvane/registry.ini\")
  execute_process(
    COMMAND \${CMAKE_COMMAND} -E env XDG_CONFIG_DIRS=\${config}
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/RegisterDevices\" --machine \${entries}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR \"RegisterDevices failed: \${result}\")
  endif()
")
