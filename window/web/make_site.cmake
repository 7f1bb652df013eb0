# Puts the web page together in SITE (emptied first) from the program as
# linked (BUILT/iitcalc.js, BUILT/iitcalc.wasm), the window as
# iitcalc-prerender writes it (run under NODE) and the page's own files
# beside this script.
#
# Every file but index.html and the service worker is named for its content
# (iitcalc.<hash>.js …), so a host may keep them for ever. index.html holds
# the window, the stylesheets and the start script, so the first paint is
# the window; its content security policy allows those inline parts by
# their hashes. The worker lists every file with its SHA-256 and keeps them
# in a cache named for the version and the page's content.
#   cmake -DSITE=… -DBUILT=… -DPRERENDER=iitcalc-prerender.js -DNODE=node -DVERSION=… [-DPAGE=…] -P make_site.cmake
# (PAGE: the page's own files from another folder than page/ here.)
if(NOT PAGE)
  set(PAGE ${CMAKE_CURRENT_LIST_DIR}/page)
endif()
set(page ${PAGE})
set(root ${CMAKE_CURRENT_LIST_DIR}/../..)

# A SHA-256 in hex as base64, as content security policy has it.
function(hex_to_base64 hex out)
  set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
  string(LENGTH "${hex}" length)
  set(result "")
  set(at 0)
  while(at LESS length)
    math(EXPR left "${length} - ${at}")
    set(bytes 3)
    if(left LESS 6)
      math(EXPR bytes "${left} / 2")
    endif()
    math(EXPR digits "${bytes} * 2")
    string(SUBSTRING "${hex}" ${at} ${digits} group)
    math(EXPR value "0x${group}")
    math(EXPR value "${value} << (8 * (3 - ${bytes}))")
    math(EXPR count "${bytes} + 1")
    foreach(shift 18 12 6 0)
      if(count GREATER 0)
        math(EXPR index "(${value} >> ${shift}) & 63")
        string(SUBSTRING "${alphabet}" ${index} 1 char)
        string(APPEND result "${char}")
        math(EXPR count "${count} - 1")
      else()
        string(APPEND result "=")
      endif()
    endforeach()
    math(EXPR at "${at} + ${digits}")
  endwhile()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(csp_hash text out)
  string(SHA256 hex "${text}")
  hex_to_base64(${hex} base64)
  set(${out} "'sha256-${base64}'" PARENT_SCOPE)
endfunction()

# Writes TEXT as STEM.<hash>.EXT in the site; NAME gets the name.
set(listed "")
function(hashed_file stem ext text name)
  string(SHA256 hash "${text}")
  string(SUBSTRING ${hash} 0 12 short)
  set(file_name ${stem}.${short}.${ext})
  file(WRITE ${SITE}/${file_name} "${text}")
  set(listed "${listed}  ['${file_name}', '${hash}'],\n" PARENT_SCOPE)
  set(${name} ${file_name} PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE})

# The WebAssembly is binary: copied, then named for its hash.
file(SHA256 ${BUILT}/iitcalc.wasm wasm_hash)
string(SUBSTRING ${wasm_hash} 0 12 short)
set(wasm iitcalc.${short}.wasm)
file(COPY_FILE ${BUILT}/iitcalc.wasm ${SITE}/${wasm})
set(listed "  ['${wasm}', '${wasm_hash}'],\n")

file(READ ${BUILT}/iitcalc.js text)
string(REPLACE "\"iitcalc.wasm\"" "\"${wasm}\"" text "${text}")
hashed_file(iitcalc js "${text}" script)

file(READ ${root}/packaging/iitcalc.svg text)
hashed_file(iitcalc svg "${text}" icon)
file(READ ${page}/manifest.webmanifest text)
string(REPLACE "\"iitcalc.svg\"" "\"${icon}\"" text "${text}")
hashed_file(manifest webmanifest "${text}" manifest)

# The window, as the program opens it: HTML on the first line, the CSS of
# its state on the second, then the CSS of its layout -- which the program,
# making the same, leaves as it is.
execute_process(COMMAND ${NODE} --no-experimental-fetch ${PRERENDER} OUTPUT_VARIABLE window RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "iitcalc-prerender failed: ${failed}")
endif()
string(FIND "${window}" "\n" end)
string(SUBSTRING "${window}" 0 ${end} window_html)
math(EXPR end "${end} + 1")
string(SUBSTRING "${window}" ${end} -1 window)
string(FIND "${window}" "\n" end)
string(SUBSTRING "${window}" 0 ${end} window_state)
math(EXPR end "${end} + 1")
string(SUBSTRING "${window}" ${end} -1 layout)

file(READ ${root}/forms/web/forms.css styles)
file(READ ${page}/page.css text)
string(APPEND styles "${text}${window_state}\n")
file(READ ${page}/boot.js boot)
string(REPLACE "@WASM@" "${wasm}" boot "${boot}")
string(REPLACE "@SCRIPT@" "${script}" boot "${boot}")
csp_hash("${styles}" styles_hash)
csp_hash("${layout}" layout_hash)
csp_hash("${boot}" boot_hash)

file(READ ${page}/index.html index)
foreach(part SCRIPT WASM ICON MANIFEST)
  string(TOLOWER ${part} name)
  string(REPLACE "@${part}@" "${${name}}" index "${index}")
endforeach()
string(REPLACE "@SCRIPT_HASHES@" "${boot_hash}" index "${index}")
string(REPLACE "@STYLE_HASHES@" "${styles_hash} ${layout_hash}" index "${index}")
# Last, what came from elsewhere, so that nothing in it is taken for a
# placeholder.
string(REPLACE "@WINDOW@" "${window_html}" index "${index}")
string(REPLACE "@BOOT@" "${boot}" index "${index}")
string(REPLACE "@LAYOUT@" "${layout}" index "${index}")
string(REPLACE "@STYLES@" "${styles}" index "${index}")
file(WRITE ${SITE}/index.html "${index}")

string(SHA256 index_hash "${index}")
string(SUBSTRING ${index_hash} 0 12 short)
set(CACHE_NAME "iitcalc-${VERSION}-${short}")
set(FILES "  ['./', '${index_hash}'],\n${listed}")
configure_file(${page}/sw.js.in ${SITE}/sw.js @ONLY)
