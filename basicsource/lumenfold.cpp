// The program's entry point: key m renders the movie in the window; everything else lives in the
// library that the tests link too.
#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "moviemaker/movie_window.h"

int main(int argc, char** argv) {
    setMovieHook(renderMovieInWindow);
    return lumenfoldMain(argc, argv);
}
