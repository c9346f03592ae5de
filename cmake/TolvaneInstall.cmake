# Installs the same tree the build lays out, and registers the installed
# device plug-ins in the machine-wide device list as an installer would.
set(TOLVANE_MACHINE_CONFIG_DIR "/etc/xdg" CACHE PATH "Folder of the machine-wide settings (first of XDG_CONFIG_DIRS)")
# Filled by the plug-ins' folders, which are added before this file is included.
if(NOT DEFINED CACHE{TOLVANE_INSTALLED_DEVICES})
  set(TOLVANE_INSTALLED_DEVICES "" CACHE INTERNAL "name=library pairs of the device plug-ins")
endif()

install(DIRECTORY ${TOLVANE_BIN_DIR}/ DESTINATION bin USE_SOURCE_PERMISSIONS)
install(CODE "
  set(devices \"${TOLVANE_INSTALLED_DEVICES}\")
  set(ini \"\$ENV{DESTDIR}${TOLVANE_MACHINE_CONFIG_DIR}/Tolvane/registry.ini\")
  set(section \"[Software/Quorin%20Semiconductor/Tolvane/Devices]\\n\")
  foreach(pair IN LISTS devices)
    string(REPLACE \"=\" \";\" parts \"\${pair}\")
    list(GET parts 0 name)
    list(GET parts 1 library)
    string(APPEND section \"\${name}=\${CMAKE_INSTALL_PREFIX}/bin/\${library}\\n\")
  endforeach()
  message(STATUS \"Registering devices in \${ini}\")
  file(WRITE \"\${ini}\" \"\${section}\")
")
