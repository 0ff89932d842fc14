# The Windows program's files as the zip holds them and the installer installs them, relative to
# the program's folder (the installer adds uninstall.exe). The one list: make-packages makes the
# zip and the installer's install, check and uninstall steps from it, and the tests read it, each
# from the file lumenfold_windows_file_list(PATH) writes (one name a line, / between folders).
set(LUMENFOLD_WINDOWS_FILES
  lumenfold.exe
  LICENSE.txt
  README.txt
  resources/ground.bmp
  resources/${LUMENFOLD_SOUNDTRACK_NAME})

function(lumenfold_windows_file_list path)
  list(JOIN LUMENFOLD_WINDOWS_FILES "\n" lines)
  # Rewritten only when the list changes, so what depends on it is made again only then.
  file(CONFIGURE OUTPUT ${path} CONTENT "${lines}\n" @ONLY)
endfunction()
