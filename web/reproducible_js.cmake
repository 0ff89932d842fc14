# Run on lumenfold.js after emscripten links it (web/CMakeLists.txt). Its file packager writes
# two things into it that differ between builds of one source: the data file's path in the build
# folder (as the package's name) and a random id (for a browser cache this page does not use).
# The name becomes the file's own, and the id one made from the data's SHA-256, which changes
# exactly when the data does.
#   cmake -DJS=SITE/lumenfold.js -DDATA=SITE/lumenfold.data -P reproducible_js.cmake
file(READ "${JS}" js)
get_filename_component(name "${DATA}" NAME)
string(REPLACE "'${DATA}'" "'${name}'" js "${js}")
string(REPLACE "\"${DATA}\"" "\"${name}\"" js "${js}")
string(REPLACE "datafile_${DATA}" "datafile_${name}" js "${js}")

set(uuid_pattern "\"package_uuid\": *\"[0-9a-f-]+\"")
string(REGEX MATCHALL "${uuid_pattern}" ids "${js}")
list(LENGTH ids count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${JS} holds ${count} package ids, not one: emscripten's file packager "
    "writes something else now, and the page's build is not reproducible until this script "
    "follows it")
endif()
file(SHA256 "${DATA}" sum)
string(REGEX REPLACE "^(........)(....)(....)(....)(............).*$" "\\1-\\2-\\3-\\4-\\5" id "${sum}")
string(REGEX REPLACE "${uuid_pattern}" "\"package_uuid\":\"${id}\"" js "${js}")

string(FIND "${js}" "${DATA}" left)
if(NOT left EQUAL -1)
  message(FATAL_ERROR "${JS} still names ${DATA}: emscripten writes it in another form now")
endif()
file(WRITE "${JS}" "${js}")
