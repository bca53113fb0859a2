# Packages of the plug-in: on Linux a Debian package "tolvan" that puts Tolvan/ into the
# system's VST folder with the manual also under /usr/share/doc/tolvan, tolvan.lv2/ into
# the system's LV2 folder (plugin/lv2 installs it), and the offline
# host as /usr/bin/tolvan-host (tools/host installs it); for Windows a zip of Tolvan/
# (Tolvan.dll, documents/ and the licences). The project's own code is GPL-3.0-or-later;
# the embedded typeface keeps its own licence.
set(TOLVAN_VENDOR "[Kelvo] Ormund.T")
set(TOLVAN_MAINTAINER "Tolvan developers <tolvan@example.org>")

set(CPACK_PACKAGE_NAME tolvan)
set(CPACK_PACKAGE_VENDOR "${TOLVAN_VENDOR}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${TOLVAN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "eight-band parametric equaliser plug-in (VST 2.x and LV2)")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Tolvan-${PROJECT_VERSION}-windows-x64")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_COMPONENTS_ALL plugin)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  install(FILES LICENSE DESTINATION Tolvan RENAME LICENSE.txt COMPONENT plugin)
  install(FILES resources/fonts/LICENSE-OFL.txt DESTINATION Tolvan COMPONENT plugin)
else()
  # Debian's documentation files: the copyright with the embedded typeface's licence,
  # the changelog, and the manual.
  file(READ ${PROJECT_SOURCE_DIR}/resources/fonts/LICENSE-OFL.txt ofl)
  string(FIND "${ofl}" "SIL OPEN FONT LICENSE" start)
  string(SUBSTRING "${ofl}" ${start} -1 ofl)
  string(STRIP "${ofl}" ofl)
  string(REGEX REPLACE "\n[ \t]*\n[ \t\n]*" "\n.\n" ofl "${ofl}")
  string(REPLACE "\n" "\n " ofl "${ofl}")
  set(TOLVAN_OFL_TEXT " ${ofl}")
  set(debian_doc ${PROJECT_BINARY_DIR}/debian-doc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${debian_doc}/copyright @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${debian_doc}/changelog @ONLY)
  execute_process(COMMAND gzip -n -9 -f -k ${debian_doc}/changelog)
  install(FILES ${debian_doc}/copyright ${debian_doc}/changelog.gz
          DESTINATION /usr/share/doc/tolvan COMPONENT debian EXCLUDE_FROM_ALL)
  install(DIRECTORY documents/ DESTINATION /usr/share/doc/tolvan/manual COMPONENT debian EXCLUDE_FROM_ALL)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr/lib/vst)
  set(CPACK_COMPONENTS_ALL plugin debian)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_DEBIAN_PACKAGE_NAME tolvan)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # libxext6 is loaded at run time for MIT-SHM, which makes presenting the editor cheaper;
  # xdg-open is what the MANUAL button opens the manual with.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libxext6, xdg-utils")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "KR [Tolvan] is a stereo eight-band parametric equaliser for digital audio
workstations that load VST 2.x or LV2 plug-ins: low cut, low shelf, three
peaking bands, high shelf, a tilt and a high cut, with an output gain. Its
editor shows the input and output spectra, the equaliser's response and the
output level. The VST 2.x plug-in lies in /usr/lib/vst/Tolvan with its manual,
the LV2 plug-in in /usr/lib/lv2/tolvan.lv2; the offline host tolvan-host
processes sound files, presets and pictures of the editor from the command
line.")
endif()
include(CPack)
