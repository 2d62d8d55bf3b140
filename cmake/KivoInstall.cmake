# What `cmake --install` and the Debian package hold: the programs, the desktop entry and icon of
# each program that has one, the scene-file icon and the MIME types of the files they open.
include(GNUInstallDirs)

# The installed programs. A program whose lower-case name has a desktop entry in data/desktop is
# installed with that entry and with the icon of the same name drawn in data/icons.
set(KIVO_PROGRAMS KIVOP KIVOS kivoscv kivoctl)

# What the package description says of each program; the player's is read once it joins the list.
set(KIVO_ABOUT_KIVOP "KIVOP plays video and audio files, network streams, playlists and audio CDs,
and moves through a video by the scenes of its scene description.")
set(KIVO_ABOUT_KIVOS "KIVOS finds the scene cuts of a video by itself and saves them as a scene
description (.scv), in its window or from the command line.")
set(KIVO_ABOUT_kivoscv "kivoscv prints what a scene description holds, as text or JSON.")
set(KIVO_ABOUT_kivoctl "kivoctl drives the running player from a shell: play, pause, seek, state.")

# Sizes of the hicolor icons rendered from each drawing; the drawing itself is the scalable one.
set(KIVO_ICON_SIZES 16 24 32 48 64 128 256)
find_program(KIVO_RSVG_CONVERT rsvg-convert REQUIRED)
set(KIVO_ICON_FILES "")

# kivo_install_icon(NAME CONTEXT) — data/icons/NAME.svg rendered at every size and installed with
# the drawing into the hicolor theme under CONTEXT (apps, mimetypes).
function(kivo_install_icon name context)
  set(svg ${PROJECT_SOURCE_DIR}/data/icons/${name}.svg)
  set(theme ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  set(pngs "")
  foreach(size IN LISTS KIVO_ICON_SIZES)
    set(dir ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${context})
    add_custom_command(OUTPUT ${dir}/${name}.png
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${KIVO_RSVG_CONVERT} --width ${size} --height ${size}
                --output ${dir}/${name}.png ${svg}
        DEPENDS ${svg}
        COMMENT "Rendering icon ${name} at ${size} px"
        VERBATIM)
    install(FILES ${dir}/${name}.png DESTINATION ${theme}/${size}x${size}/${context})
    list(APPEND pngs ${dir}/${name}.png)
  endforeach()
  install(FILES ${svg} DESTINATION ${theme}/scalable/${context})
  set(KIVO_ICON_FILES ${KIVO_ICON_FILES} ${pngs} PARENT_SCOPE)
endfunction()

install(TARGETS ${KIVO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The player program proper, which KIVOP starts.
install(TARGETS kivop-player RUNTIME DESTINATION ${KIVO_PLAYER_INSTALL_DIR})
set(KIVO_PACKAGE_DESCRIPTION "KIVO keeps the scenes of a video in a scene description (.scv)
to move through the video by them.\n")
foreach(program IN LISTS KIVO_PROGRAMS)
  string(APPEND KIVO_PACKAGE_DESCRIPTION "${KIVO_ABOUT_${program}}\n")
  string(TOLOWER ${program} id)
  if(EXISTS ${PROJECT_SOURCE_DIR}/data/desktop/${id}.desktop)
    install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${id}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    kivo_install_icon(${id} apps)
  endif()
endforeach()
kivo_install_icon(application-x-kivo-scv mimetypes)
install(FILES ${PROJECT_SOURCE_DIR}/data/mime/kivo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
add_custom_target(kivo_icons ALL DEPENDS ${KIVO_ICON_FILES})

# The Debian package, kivo_<version>_<arch>.deb. Its dependencies are the Debian packages of the
# shared libraries the programs load, found by dpkg-shlibdeps; the project's own libraries are
# static and inside the programs. The MIME, desktop-entry and icon caches are renewed by the file
# triggers of shared-mime-info, desktop-file-utils and hicolor-icon-theme, so the package needs
# no scripts of its own.
set(KIVO_PACKAGE_MAINTAINER "KIVO developers <kivo@example.org>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivo)
set(CPACK_PACKAGE_VENDOR KIVO)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "navigate videos by their scenes")
set(CPACK_PACKAGE_DESCRIPTION "${KIVO_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KIVO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-nanum)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The user guide the player's help command opens (written by the build with the player's keys,
# src/tools) and the channel page the channel window shows by default: installed with the
# programs' data, and beside the player program in the build.
install(DIRECTORY ${KIVO_GUIDE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kivo/help)
install(FILES ${PROJECT_SOURCE_DIR}/data/channel/index.html
              ${PROJECT_SOURCE_DIR}/data/channel/sample.wav
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kivo/channel)
