# Windows executables' resources: the icon (made at build time from
# packaging/iitcalc.svg), the version information and the application
# manifest, compiled with MinGW's windres and linked into the program.
#
#   iitcalc_windows_resources(<target> SUBSYSTEM console|windows DESCRIPTION <text>)
#
# DESCRIPTION is the version information's file description (shown in
# Explorer's properties and Task Manager); the company and the copyright are
# the publisher's, as the installer names it. The icon is resource 1.
include_guard(GLOBAL)

find_program(IITCALC_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(IITCALC_ICOTOOL icotool REQUIRED)
find_program(IITCALC_WINDRES NAMES ${CMAKE_RC_COMPILER} x86_64-w64-mingw32-windres windres REQUIRED)

# Cached so that every directory sees them, not only the first to include
# this file.
set(IITCALC_WINDOWS_RESOURCE_DIR ${PROJECT_SOURCE_DIR}/packaging/windows CACHE INTERNAL "")
set(IITCALC_WINDOWS_ICON ${PROJECT_BINARY_DIR}/packaging/windows/iitcalc.ico CACHE INTERNAL "")

# Every size Windows asks for between 100% and 200% scaling, and 256 px for
# Explorer's large views; from 64 px up stored as PNG, which keeps the file
# (and each program) small. The smallest sizes are drawn for their pixels
# (packaging/windows/iitcalc-SIZE.svg), as a scaled-down icon blurs there.
set(_iitcalc_icon_commands)
set(_iitcalc_icon_images)
set(_iitcalc_icon_sources ${PROJECT_SOURCE_DIR}/packaging/iitcalc.svg)
foreach(size 16 20 24 32 40 48 64 96 128 256)
  set(png ${PROJECT_BINARY_DIR}/packaging/windows/iitcalc-${size}.png)
  set(svg ${PROJECT_SOURCE_DIR}/packaging/windows/iitcalc-${size}.svg)
  if(NOT EXISTS ${svg})
    set(svg ${PROJECT_SOURCE_DIR}/packaging/iitcalc.svg)
  endif()
  list(APPEND _iitcalc_icon_sources ${svg})
  list(APPEND _iitcalc_icon_commands
    COMMAND ${IITCALC_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${svg})
  if(size GREATER_EQUAL 64)
    list(APPEND _iitcalc_icon_images --raw=${png})
  else()
    list(APPEND _iitcalc_icon_images ${png})
  endif()
endforeach()
add_custom_command(OUTPUT ${IITCALC_WINDOWS_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/windows
  ${_iitcalc_icon_commands}
  COMMAND ${IITCALC_ICOTOOL} --create --output=${IITCALC_WINDOWS_ICON} ${_iitcalc_icon_images}
  DEPENDS ${_iitcalc_icon_sources}
  COMMENT "Making the Windows icon"
  VERBATIM)
add_custom_target(iitcalc_windows_icon DEPENDS ${IITCALC_WINDOWS_ICON})

function(iitcalc_windows_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SUBSYSTEM;DESCRIPTION" "")
  if(NOT arg_SUBSYSTEM MATCHES "^(console|windows)$" OR NOT arg_DESCRIPTION)
    message(FATAL_ERROR "iitcalc_windows_resources(${target} SUBSYSTEM console|windows DESCRIPTION <text>)")
  endif()

  get_target_property(IITCALC_RC_NAME ${target} OUTPUT_NAME)
  if(NOT IITCALC_RC_NAME)
    set(IITCALC_RC_NAME ${target})
  endif()
  set(IITCALC_RC_DESCRIPTION ${arg_DESCRIPTION})
  set(IITCALC_RC_COMPANY "iitcalc 开发组")
  set(IITCALC_RC_COPYRIGHT "© 2026 iitcalc 开发组")
  set(IITCALC_RC_VERSION_DOTTED ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(IITCALC_RC_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(IITCALC_RC_ICON ${IITCALC_WINDOWS_ICON})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(IITCALC_RC_MANIFEST ${dir}/${IITCALC_RC_NAME}.manifest)
  configure_file(${IITCALC_WINDOWS_RESOURCE_DIR}/iitcalc.manifest.in ${IITCALC_RC_MANIFEST} @ONLY)
  configure_file(${IITCALC_WINDOWS_RESOURCE_DIR}/iitcalc.rc.in ${dir}/${IITCALC_RC_NAME}.rc @ONLY)

  add_custom_command(OUTPUT ${dir}/${IITCALC_RC_NAME}.res.o
    COMMAND ${IITCALC_WINDRES} --codepage=65001 --input-format=rc --output-format=coff
            --input=${dir}/${IITCALC_RC_NAME}.rc --output=${dir}/${IITCALC_RC_NAME}.res.o
    DEPENDS ${dir}/${IITCALC_RC_NAME}.rc ${IITCALC_RC_MANIFEST} ${IITCALC_WINDOWS_ICON} iitcalc_windows_icon
    COMMENT "Compiling the resources of ${IITCALC_RC_NAME}.exe"
    VERBATIM)
  target_sources(${target} PRIVATE ${dir}/${IITCALC_RC_NAME}.res.o)
  set_source_files_properties(${dir}/${IITCALC_RC_NAME}.res.o PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)

  if(arg_SUBSYSTEM STREQUAL "windows")
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
  else()
    target_link_options(${target} PRIVATE -mconsole)
  endif()
endfunction()
