// The show's entry point in the browser. The command line comes from the page's address
// (?start=84&paused becomes --start 84 --paused, see page/index.html). No movie renderer is
// installed: key m says that movies are made by lumenfold-movie.
#include "basicsource/main.h"
#include "web/page_status.h"

int main(int argc, char** argv) {
    // The page shows why the show will not run; the program prints it as ever (the console).
    launchOptions options;
    const launchStop stop = launchStopFor(argc, argv, options);
    if (stop.stops) {
        reportLaunchStop(stop);
    }
    return lumenfoldMain(argc, argv);
}
