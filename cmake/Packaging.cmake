# Installed files beyond the executables, and the Debian package built from
# them (scripts/package, or `cpack -G DEB` in a build tree): the desktop
# entry, hicolor icons, manual pages, bash completion, the JSON Schema of
# `wqe export` and the package's own documents. The Japanese texts are built
# into the editor as Qt resources, so no translation files are installed.
include(GNUInstallDirs)

set(WQE_PACKAGE_NAME wqe7000)
set(WQE_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)
set(WQE_PACKAGE_OUTPUTS)

# Debian keeps manual pages and changelogs compressed, without a name or a
# time stamp in the gzip header so that a rebuild gives the same bytes.
find_program(WQE_GZIP gzip REQUIRED)
function(wqe_gzip source output destination)
  add_custom_command(
    OUTPUT ${output}
    COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${WQE_GZIP} ${source} ${output}
    DEPENDS ${source}
    VERBATIM)
  install(FILES ${output} DESTINATION ${destination})
  set(WQE_PACKAGE_OUTPUTS ${WQE_PACKAGE_OUTPUTS} ${output} PARENT_SCOPE)
endfunction()

wqe_gzip(${CMAKE_SOURCE_DIR}/man/wqe.1 ${WQE_PACKAGE_FILES}/wqe.1.gz ${CMAKE_INSTALL_MANDIR}/man1)
wqe_gzip(${CMAKE_SOURCE_DIR}/cmake/debian/changelog ${WQE_PACKAGE_FILES}/changelog.gz
         ${CMAKE_INSTALL_DATADIR}/doc/${WQE_PACKAGE_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${WQE_PACKAGE_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/completion/wqe
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${CMAKE_SOURCE_DIR}/schema/wqe-card.schema.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/${WQE_PACKAGE_NAME})

if(TARGET wqe7000)
  wqe_gzip(${CMAKE_SOURCE_DIR}/man/wqe7000.1 ${WQE_PACKAGE_FILES}/wqe7000.1.gz
           ${CMAKE_INSTALL_MANDIR}/man1)
  # PNG icons of the hicolor theme, rendered from the scalable one.
  set(WQE_ICON_SVG ${CMAKE_SOURCE_DIR}/src/app/resources/wqe7000.svg)
  find_program(WQE_RSVG_CONVERT rsvg-convert)
  if(WQE_RSVG_CONVERT)
    foreach(size 16 22 24 32 48 64 128 256)
      set(dir ${WQE_PACKAGE_FILES}/icons/${size}x${size})
      add_custom_command(
        OUTPUT ${dir}/wqe7000.png
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${WQE_RSVG_CONVERT} -w ${size} -h ${size} -o ${dir}/wqe7000.png ${WQE_ICON_SVG}
        DEPENDS ${WQE_ICON_SVG}
        VERBATIM)
      list(APPEND WQE_PACKAGE_OUTPUTS ${dir}/wqe7000.png)
      install(FILES ${dir}/wqe7000.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
  else()
    message(WARNING "rsvg-convert (librsvg2-bin) not found: only the scalable icon is installed")
  endif()
endif()

add_custom_target(package-files ALL DEPENDS ${WQE_PACKAGE_OUTPUTS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${WQE_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR Velmor)
set(CPACK_PACKAGE_CONTACT "WQE-7000 maintainers <maintainers@wqe7000.example>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "card editor for WQ-7000 and WQ-5000 announcement players")
set(CPACK_PACKAGE_DESCRIPTION
    "WQE-7000 edits the memory cards of the WQ-7000 and WQ-5000 announcement
players: their system and phrase settings, memos, pattern and song phrases.
It converts audio between WAV files and the players' KPAC format, and keeps
cards in order (cleanup, phrase copy and deletion, backup and restore,
printed reports).

The command-line tool wqe does the same from scripts, and exports, applies
and compares card settings as JSON.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)

# The package test: build the .deb from this tree, unpack it into a scratch
# root, run the tool from there and let lintian judge the package.
if(WQE_TESTS AND TARGET wqe7000 AND NOT WQE_SANITIZE)
  add_test(NAME package COMMAND ${CMAKE_SOURCE_DIR}/tests/package/test_package.sh
                                ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES LABELS package TIMEOUT 900 RUN_SERIAL ON)
endif()
