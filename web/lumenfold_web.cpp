// The show's entry point in the browser. The command line comes from the page's address
// (?start=84&paused becomes --start 84 --paused, see page/index.html). No movie renderer is
// installed: key m says that movies are made by lumenfold-movie.
#include "basicsource/main.h"

int main(int argc, char** argv) { return lumenfoldMain(argc, argv); }
