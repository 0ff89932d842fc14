# Writes the page's service worker, SITE/sw.js, from TEMPLATE: its cache is named
# lumenfold-VERSION-HASH, HASH made from the contents of every file it keeps, so that any new
# build names a new cache and the browser replaces the old one.
#   cmake -DSITE=DIR -DTEMPLATE=sw.js.in -DVERSION=1.1.0 -DFILES=a,b -DSOUNDTRACKS=c,d
#         -P service_worker.cmake
string(REPLACE "," ";" FILES "${FILES}")
string(REPLACE "," ";" SOUNDTRACKS "${SOUNDTRACKS}")
set(digests "")
foreach(file IN LISTS FILES SOUNDTRACKS)
  if(NOT EXISTS "${SITE}/${file}")
    message(FATAL_ERROR "${SITE}/${file} is missing: the service worker would keep no such file")
  endif()
  file(SHA256 "${SITE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
endforeach()
string(SHA256 hash "${digests}")
string(SUBSTRING "${hash}" 0 16 hash)
set(CACHE_NAME "lumenfold-${VERSION}-${hash}")
# './' is the page as its folder's address.
list(TRANSFORM FILES PREPEND "'")
list(TRANSFORM FILES APPEND "'")
list(JOIN FILES ", " FILES)
set(FILES "'./', ${FILES}")
list(TRANSFORM SOUNDTRACKS PREPEND "'")
list(TRANSFORM SOUNDTRACKS APPEND "'")
list(JOIN SOUNDTRACKS ", " SOUNDTRACKS)
configure_file("${TEMPLATE}" "${SITE}/sw.js" @ONLY)
