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

set(CCP_PACKAGE_MAINTAINER "capcode-programmer builders <root@localhost>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${CCP_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "${CCP_MODEL} pager programmer, ${CCP_EDITION} edition: window and command line")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Edits the configuration of QPX730-family POCSAG pagers, keeps it in 560-byte files and\n\
writes, reads and verifies pagers through the parallel-port Programmer. This package holds\n\
the ${CCP_MODEL} ${CCP_EDITION} edition: the window capcode-programmer and the command line ccp.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CCP_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries the programs link come from dpkg-shlibdeps; Qt's plugins are not linked, so
# the one that draws the SVG icon is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(CCP_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
endif()
set(CPACK_DEBIAN_PACKAGE_CONFLICTS ${CCP_OTHER_PACKAGES})
set(CPACK_DEBIAN_PACKAGE_REPLACES ${CCP_OTHER_PACKAGES})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
