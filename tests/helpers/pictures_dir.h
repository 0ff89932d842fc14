// Where the GL tests leave their pictures for a person to look at: pictures/ in the build tree.
#pragma once

#include <string>
#include <sys/stat.h>

inline std::string pictureDirectory() {
    std::string dir = LUMENFOLD_PICTURE_DIR;
    mkdir(dir.c_str(), 0755);
    return dir;
}
