# The Windows program's icon and version information (compiled into the .exe) and the target that
# ships it: a zip and an installer. Included by the Windows build, which then calls
#   lumenfold_windows_resources(TARGET)            the .rc with the icon and version, into TARGET
#   lumenfold_windows_packages(TARGET SOUNDTRACK OUTPUT_DIR)   target windows_packages
# The facts come from their one place: the version from project() (LUMENFOLD_VERSION), the
# copyright line from LICENSE, the summary from the AppStream metadata, the icon from
# packaging/icons/.
set(LUMENFOLD_PACKAGE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(LUMENFOLD_PRODUCT Lumenfold)

file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE LUMENFOLD_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright (\\([cC]\\) )?[-0-9, ]+" "" LUMENFOLD_PUBLISHER
  "${LUMENFOLD_COPYRIGHT}")
string(SUBSTRING "${LUMENFOLD_PUBLISHER}" 0 1 lumenfold_initial)
string(SUBSTRING "${LUMENFOLD_PUBLISHER}" 1 -1 lumenfold_rest)
string(TOUPPER "${lumenfold_initial}" lumenfold_initial)
set(LUMENFOLD_PUBLISHER "${lumenfold_initial}${lumenfold_rest}")
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/org.lumenfold.Lumenfold.metainfo.xml
  LUMENFOLD_SUMMARY REGEX "<summary>" LIMIT_COUNT 1)
string(REGEX REPLACE ".*<summary>(.*)</summary>.*" "\\1" LUMENFOLD_SUMMARY "${LUMENFOLD_SUMMARY}")
if(NOT LUMENFOLD_COPYRIGHT OR NOT LUMENFOLD_PUBLISHER OR NOT LUMENFOLD_SUMMARY)
  message(FATAL_ERROR "No copyright line in LICENSE or no summary in the AppStream metadata")
endif()

# The icon in the sizes Windows picks from (16 to 256 pixels; 256 is stored as PNG inside),
# made at build time from the desktop icons: 48 and 128 as they are, the rest from 256.
find_program(LUMENFOLD_CONVERT convert)
if(NOT LUMENFOLD_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert makes the Windows icon: apt-get install imagemagick")
endif()
set(LUMENFOLD_ICON ${CMAKE_CURRENT_BINARY_DIR}/lumenfold.ico)
set(lumenfold_icons ${PROJECT_SOURCE_DIR}/packaging/icons)
add_custom_command(OUTPUT ${LUMENFOLD_ICON}
  COMMAND ${LUMENFOLD_CONVERT} ${lumenfold_icons}/256x256/lumenfold.png -filter Lanczos
    ( -clone 0 -resize 16x16 ) ( -clone 0 -resize 24x24 ) ( -clone 0 -resize 32x32 )
    ${lumenfold_icons}/48x48/lumenfold.png ( -clone 0 -resize 64x64 )
    ${lumenfold_icons}/128x128/lumenfold.png
    ( -clone 0 ) -delete 0 ${LUMENFOLD_ICON}.tmp.ico
  COMMAND ${CMAKE_COMMAND} -E rename ${LUMENFOLD_ICON}.tmp.ico ${LUMENFOLD_ICON}
  DEPENDS ${lumenfold_icons}/48x48/lumenfold.png ${lumenfold_icons}/128x128/lumenfold.png
    ${lumenfold_icons}/256x256/lumenfold.png
  COMMENT "Making the Windows icon" VERBATIM)

set(LUMENFOLD_MANIFEST ${PROJECT_SOURCE_DIR}/windows/lumenfold.manifest)

enable_language(RC)
configure_file(${LUMENFOLD_PACKAGE_DIR}/lumenfold.rc.in ${CMAKE_CURRENT_BINARY_DIR}/lumenfold.rc @ONLY)
configure_file(${LUMENFOLD_PACKAGE_DIR}/product.nsh.in ${CMAKE_CURRENT_BINARY_DIR}/product.nsh @ONLY)
include(${LUMENFOLD_PACKAGE_DIR}/files.cmake)
lumenfold_windows_file_list(${CMAKE_CURRENT_BINARY_DIR}/files.txt)

function(lumenfold_windows_resources target)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/lumenfold.rc)
  # windres does not report the icon and the manifest as dependencies: name them, so a change
  # rebuilds the .exe.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${LUMENFOLD_ICON};${LUMENFOLD_MANIFEST}")
  target_sources(${target} PRIVATE ${rc})
endfunction()

# The zip and the installer for the program TARGET with the soundtrack the desktop build made
# (the Windows build cannot run the generator), into OUTPUT_DIR; made again only when one of
# their parts changed (LZMA takes about 20 s).
function(lumenfold_windows_packages target soundtrack output_dir)
  set(packages ${output_dir}/lumenfold-${LUMENFOLD_VERSION}-win64.zip
    ${output_dir}/lumenfold-${LUMENFOLD_VERSION}-setup.exe)
  # The data files of the list that come from the source tree (the soundtrack is the build's).
  set(data ${LUMENFOLD_WINDOWS_FILES})
  list(FILTER data INCLUDE REGEX "^resources/")
  list(REMOVE_ITEM data resources/${LUMENFOLD_SOUNDTRACK_NAME})
  list(TRANSFORM data PREPEND ${PROJECT_SOURCE_DIR}/)
  add_custom_command(OUTPUT ${packages}
    COMMAND ${LUMENFOLD_PACKAGE_DIR}/make-packages ${LUMENFOLD_VERSION} $<TARGET_FILE:${target}>
      ${soundtrack} ${CMAKE_CURRENT_BINARY_DIR}/product.nsh ${CMAKE_CURRENT_BINARY_DIR}/files.txt
      ${output_dir}
    DEPENDS ${target} ${LUMENFOLD_ICON} ${soundtrack} ${CMAKE_CURRENT_BINARY_DIR}/product.nsh
      ${CMAKE_CURRENT_BINARY_DIR}/files.txt
      ${data} ${PROJECT_SOURCE_DIR}/LICENSE
      ${LUMENFOLD_PACKAGE_DIR}/README.txt ${LUMENFOLD_PACKAGE_DIR}/lumenfold.nsi
      ${LUMENFOLD_PACKAGE_DIR}/make-packages ${LUMENFOLD_PACKAGE_DIR}/files.cmake
    COMMENT "Making the zip and the installer" VERBATIM)
  add_custom_target(windows_packages DEPENDS ${packages})
endfunction()
