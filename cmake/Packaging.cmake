# The Windows setup (NSIS) and the portable zip, made by
#   cmake --build <tree> --target package
# Both hold the program folder: the desk, the host-state and registry
# libraries and the stand-in core as the default core. The setup adds the
# machine records and the shared data folder (cmake/packaging/KantrelSetup.nsh);
# the zip adds two scripts that write the records for an unpacked copy.

# The installation record must carry the very version the desk asks for at
# start, so it is read from there.
file(STRINGS "${CMAKE_SOURCE_DIR}/app/HostSettings.h" KNT_VERSION_LINE
     REGEX "kHostVersion\\[\\] *= *\"[0-9.]+\"")
string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" KNT_VERSION "${KNT_VERSION_LINE}")
if(NOT KNT_VERSION MATCHES "^[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "No host version found in app/HostSettings.h (kHostVersion)")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/app/HostSettings.h")

# Only what an installation runs; tests, benchmarks and the minimal core stay out.
# Files, not targets: install(TARGETS) would add the import libraries as a
# component of their own and turn the setup into a component chooser.
install(PROGRAMS $<TARGET_FILE:KantrelOvrin> DESTINATION .)
install(FILES $<TARGET_FILE:interface> $<TARGET_FILE:emuReg> $<TARGET_FILE:kntLib>
              $<TARGET_FILE:kntVX> $<TARGET_FILE:knt> DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KNT_NSIS_TARGET amd64-unicode)
  set(KNT_NSIS_ROOT "$PROGRAMFILES64")
  # A 64-bit setup writes the 64-bit registry view that the 64-bit desk reads.
  set(KNT_REG_VIEW "/reg:64")
  set(KNT_PACKAGE_SYSTEM win64)
else()
  set(KNT_NSIS_TARGET x86-unicode)
  set(KNT_NSIS_ROOT "$PROGRAMFILES")
  set(KNT_REG_VIEW "/reg:32")
  set(KNT_PACKAGE_SYSTEM win32)
endif()

# Values reach the CPack configuration as written, quotes and all.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME "KantrelOvrin")
set(CPACK_PACKAGE_VENDOR "Telmarin")
set(CPACK_PACKAGE_VERSION "${KNT_VERSION}")
string(REPLACE "." ";" KNT_VERSION_PARTS "${KNT_VERSION}")
list(GET KNT_VERSION_PARTS 0 CPACK_PACKAGE_VERSION_MAJOR)
list(GET KNT_VERSION_PARTS 1 CPACK_PACKAGE_VERSION_MINOR)
set(CPACK_PACKAGE_VERSION_PATCH 0)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kantrel Ovrin desk host")
# The setup and the zip are this name plus .exe and .zip; the tests use it.
set(KNT_PACKAGE_FILE_NAME "KantrelOvrin-${KNT_VERSION}-${KNT_PACKAGE_SYSTEM}")
set(CPACK_PACKAGE_FILE_NAME "${KNT_PACKAGE_FILE_NAME}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Kantrel Ovrin")
# Not "Kantrel Ovrin": the setup's own records live under
# Software\Telmarin\<this key>, and under HKCU that name is the user's program
# key, which an uninstall must keep.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Kantrel Ovrin Setup")
set(CPACK_PACKAGE_EXECUTABLES "KantrelOvrin;Kantrel Ovrin")
set(CPACK_STRIP_FILES OFF)

set(CPACK_NSIS_INSTALL_ROOT "${KNT_NSIS_ROOT}")
set(CPACK_NSIS_PACKAGE_NAME "Kantrel Ovrin ${KNT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Kantrel Ovrin ${KNT_VERSION}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_INSTALLED_ICON_NAME "KantrelOvrin.exe")
set(CPACK_NSIS_MUI_ICON "${HOST_ART_DIR}/icon107.ico")
set(CPACK_NSIS_MUI_UNIICON "${HOST_ART_DIR}/icon107.ico")
set(CPACK_NSIS_MUI_WELCOMEFINISHPAGE_BITMAP "${HOST_ART_DIR}/setup-side.bmp")
set(CPACK_NSIS_MUI_UNWELCOMEFINISHPAGE_BITMAP "${HOST_ART_DIR}/setup-side.bmp")
set(CPACK_NSIS_MUI_HEADERIMAGE "${HOST_ART_DIR}/setup-header.bmp")
set(CPACK_NSIS_UNINSTALL_NAME "Uninstall")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_DEFINES "
  Target ${KNT_NSIS_TARGET}
  !define KNT_VERSION \"${KNT_VERSION}\"
  !define KNT_DEFAULT_DIR \"${CPACK_NSIS_INSTALL_ROOT}\\${CPACK_PACKAGE_INSTALL_DIRECTORY}\"
  !include \"${CMAKE_SOURCE_DIR}/cmake/packaging/KantrelSetup.nsh\"")
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "!insertmacro KntBeforeInstall")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!insertmacro KntAfterInstall")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro KntUninstall")

# The zip's extra scripts get Windows line ends: cmd.exe misreads labels in
# files with bare line feeds.
set(KNT_PORTABLE_DIR "${CMAKE_BINARY_DIR}/packaging/portable")
foreach(script register.cmd unregister.cmd)
  configure_file("${CMAKE_SOURCE_DIR}/cmake/packaging/${script}.in" "${KNT_PORTABLE_DIR}/${script}"
                 @ONLY NEWLINE_STYLE CRLF)
endforeach()
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/packaging/KantrelCPackOptions.cmake")
file(WRITE "${CPACK_PROJECT_CONFIG_FILE}"
  "# Written by cmake/Packaging.cmake: the zip alone carries the record scripts.\n"
  "if(CPACK_GENERATOR STREQUAL \"ZIP\")\n"
  "  set(CPACK_INSTALLED_DIRECTORIES \"${KNT_PORTABLE_DIR};/\")\n"
  "endif()\n")

include(CPack)
