# Installation and the Debian package of this build.

if(CCP_BUILD_GUI)
  # A double click on a *.eep file opens it in the window.
  install(FILES ${PROJECT_SOURCE_DIR}/data/capcode-programmer.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/capcode-programmer.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/data/capcode-programmer.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/ccp.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ccp)

# The real-time limit of the lp group goes where PAM reads it, /etc, when installed under /usr
# (the package); under any other prefix to PREFIX/etc, as GNUInstallDirs places configuration.
# The prefix is only known at install time.
set(CCP_LIMITS_FILE capcode-programmer.conf)
install(CODE "
  set(etc \"\${CMAKE_INSTALL_PREFIX}/etc\")
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(etc /etc)
  endif()
  file(INSTALL ${PROJECT_SOURCE_DIR}/data/capcode-programmer-limits.conf
       DESTINATION \"\${etc}/security/limits.d\" RENAME ${CCP_LIMITS_FILE})")
file(WRITE ${PROJECT_BINARY_DIR}/conffiles "/etc/security/limits.d/${CCP_LIMITS_FILE}\n")

# One package per build, named after its model and edition (and port, for a simulator build).
# Every build installs the same program names, so each package conflicts with all the others.
function(ccp_package_name result model edition port)
  string(TOLOWER "capcode-programmer-${model}-${edition}" name)
  if(port STREQUAL "simulator")
    string(APPEND name "-simulator")
  endif()
  set(${result} ${name} PARENT_SCOPE)
endfunction()

ccp_package_name(CCP_PACKAGE_NAME ${CCP_MODEL} ${CCP_EDITION} ${CCP_PORT})
set(CCP_OTHER_PACKAGES "")
foreach(model QPX730E QPX730H)
  foreach(edition customer factory)
    foreach(port hardware simulator)
      ccp_package_name(other ${model} ${edition} ${port})
      if(NOT other STREQUAL CCP_PACKAGE_NAME)
        list(APPEND CCP_OTHER_PACKAGES ${other})
      endif()
    endforeach()
  endforeach()
endforeach()
list(JOIN CCP_OTHER_PACKAGES ", " CCP_OTHER_PACKAGES)

set(CCP_PACKAGE_MAINTAINER "Capcode Programmer Maintainers <capcode-programmer@example.org>"
    CACHE STRING "Maintainer field of the Debian package and its changelog: Name <address>")

# The package's version and Debian revision are those of the changelog's latest entry.
file(STRINGS ${PROJECT_SOURCE_DIR}/data/changelog.in CCP_LATEST_CHANGE LIMIT_COUNT 1)
if(NOT CCP_LATEST_CHANGE MATCHES "\\(${PROJECT_VERSION}-([0-9]+)\\)")
  message(FATAL_ERROR "data/changelog.in: the latest entry is not for version ${PROJECT_VERSION}-N")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_1})
set(CCP_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${CCP_PACKAGE_NAME})
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in ${PROJECT_BINARY_DIR}/changelog.Debian
               @ONLY)
execute_process(COMMAND ${CCP_GZIP} -9nkf changelog.Debian WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
                COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_BINARY_DIR}/changelog.Debian.gz ${PROJECT_SOURCE_DIR}/data/copyright
        DESTINATION ${CCP_DOC_DIR})

# The description, wrapped as Debian wants it: lines of at most 80 columns.
if(CCP_PORT STREQUAL "simulator")
  set(CCP_PACKAGE_SUMMARY "${CCP_MODEL} pager programmer simulator, ${CCP_EDITION} edition")
  set(CCP_PACKAGE_SIMULATOR_NOTE "\n\n\
This is the simulator build: it drives a simulated Programmer holding a\n\
${CCP_MODEL} pager instead of the parallel port, to try the program or train\n\
without hardware.")
else()
  set(CCP_PACKAGE_SUMMARY "${CCP_MODEL} pager programmer, ${CCP_EDITION} edition")
  set(CCP_PACKAGE_SIMULATOR_NOTE "")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${CCP_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CCP_PACKAGE_SUMMARY}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Edits the configuration of QPX730-family POCSAG pagers, keeps it in 560-byte\n\
files and writes, reads and verifies pagers through the parallel-port\n\
Programmer. This package holds the ${CCP_MODEL} ${CCP_EDITION} edition: the window\n\
capcode-programmer and the command line ccp.${CCP_PACKAGE_SIMULATOR_NOTE}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CCP_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries the programs link come from dpkg-shlibdeps; Qt's plugins are not linked, so
# the one that draws the SVG icon is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(CCP_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
endif()
# Where the system refuses real-time priority, the transfers ask the desktop's RealtimeKit.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS rtkit)
set(CPACK_DEBIAN_PACKAGE_CONFLICTS ${CCP_OTHER_PACKAGES})
set(CPACK_DEBIAN_PACKAGE_REPLACES ${CCP_OTHER_PACKAGES})
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
