// What the Windows platform layer tells the program's entry point about where the data files
// are looked for, for the message box that names them.
#pragma once

#include <string>
#include <vector>

// The folders the data files are looked for in, in order (resource_lookup.h), as the user is
// shown them (full paths).
std::vector<std::string> resourceFoldersLookedIn();
// Whether the folder of lumenfold.exe has a name the process's code page cannot hold, so that
// its data files are not looked for there (only where Windows ignores the manifest's UTF-8).
bool programFolderUnnamed();
