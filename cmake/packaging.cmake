# Debian packages made by CPack: `brisendor` and `corvane`, the window programs with the Qt
# libraries they load, and `rivelo`, the command line tool and the virtual reader without
# Qt, so that a headless station needs no Qt. Build with -DCMAKE_INSTALL_PREFIX=/usr, then
# run cpack in the build tree (scripts/package does both).
set(CPACK_PACKAGE_NAME rivelo)
set(CPACK_PACKAGE_VENDOR "The Rivelo developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Programs and reads 125 kHz RFID tags through a serial reader")
set(CPACK_PACKAGE_CONTACT "Rivelo developers <rivelo@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# Only the programs' own files: libraries built from source bring install rules of their own.
set(CPACK_COMPONENTS_ALL rivelo)
if(RIVELO_GUI)
  list(APPEND CPACK_COMPONENTS_ALL brisendor corvane)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries' packages, found by dpkg-shlibdeps from what the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_DEBIAN_RIVELO_PACKAGE_NAME rivelo)
set(CPACK_DEBIAN_RIVELO_PACKAGE_SUGGESTS bash-completion)
set(CPACK_COMPONENT_RIVELO_DESCRIPTION
    "Command line tool and virtual reader for 125 kHz RFID tags\n"
    "rivelo programs and reads EM4100, FDX-B, FDX-A and HID 26-bit identities on EM4305\n"
    "and T5577 chips through a reader on a serial port, for scripts and headless stations.\n"
    "rivelo-sim is a virtual reader with real tag memories on a pseudo-terminal.")

set(window_description_tail
    "gives EM4305 and T5577 chips an identity (EM4100, FDX-B, FDX-A, HID 26-bit)\n"
    "through a 125 kHz reader on a serial port, one tag at a time or in unattended runs,\n"
    "reads tags singly or continuously with export, and types each tag's identity into\n"
    "any window.")
string(JOIN "" window_description_tail ${window_description_tail})
set(CPACK_COMPONENT_BRISENDOR_DESCRIPTION
    "Window program for 125 kHz RFID tags, English-labelled\nBrisendor ${window_description_tail}")
set(CPACK_COMPONENT_CORVANE_DESCRIPTION
    "Window program for 125 kHz RFID tags, Chinese-labelled\nCorvane ${window_description_tail}")
set(CPACK_DEBIAN_BRISENDOR_PACKAGE_NAME brisendor)
set(CPACK_DEBIAN_CORVANE_PACKAGE_NAME corvane)
# The Qt platform plugins are loaded at run time, so dpkg-shlibdeps does not see them (Ubuntu
# keeps the X11 one in qt6-qpa-plugins; Debian in libqt6gui6, which dpkg-shlibdeps finds).
set(CPACK_DEBIAN_BRISENDOR_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_CORVANE_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_BRISENDOR_PACKAGE_RECOMMENDS "hicolor-icon-theme, qt6-wayland")
# The Chinese texts need a CJK font.
set(CPACK_DEBIAN_CORVANE_PACKAGE_RECOMMENDS "hicolor-icon-theme, qt6-wayland, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_BRISENDOR_PACKAGE_SUGGESTS rivelo)
set(CPACK_DEBIAN_CORVANE_PACKAGE_SUGGESTS rivelo)

include(CPack)
