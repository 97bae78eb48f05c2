# What `cmake --install` puts where, as a Linux program is laid out:
#   bin/vx94c6-updater                            the program, stripped
#   share/man/man1/vx94c6-updater.1               its man page
#   share/vx94c6-updater/examples/                example settings and firmware
#   lib/udev/rules.d/60-vx94c6-updater.rules      access to the bridges without root
# udev reads /usr/lib/udev/rules.d and /etc/udev/rules.d only: with another
# prefix, set VX_UDEV_RULES_DIR to /etc/udev/rules.d or copy the rule there.
# A Windows build installs nothing of this.
if(WIN32)
  return()
endif()
include(GNUInstallDirs)
option(VX_INSTALL_STRIPPED "Strip the program when installing it" ON)
set(VX_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where cmake --install puts the udev rule")

if(VX_INSTALL_STRIPPED)
  install(CODE "set(CMAKE_INSTALL_DO_STRIP TRUE)")  # read by the rule below
endif()
install(TARGETS vx94c6-updater RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VX_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES examples/Config.ini examples/VX94C6_example.eep
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vx94c6-updater/examples)
install(FILES udev/60-vx94c6-updater.rules DESTINATION ${VX_UDEV_RULES_DIR})
