// The show's entry point in the browser. The command line comes from the page's address
// (?start=84&paused becomes --start=84 --paused, see page/page.js). No movie renderer is
// installed: key m says that movies are made by lumenfold-movie.
#include "basicsource/main.h"
#include "web/page_status.h"
#include "web/page_words.h"

#include <vector>

int main(int argc, char** argv) {
    // The page shows why the show will not run, in its own words; the program prints its
    // own to the console as ever.
    launchOptions options;
    const parseResult parsed = parseLaunchOptions(argc, argv, options);
    if (!parsed.ok) {
        reportLaunchStop(true, pageRefusal(parsed));
    } else if (options.help) {
        reportLaunchStop(false, pageUsage());
    } else if (options.version) {
        reportLaunchStop(false, launchVersion() + "\n");
    }
    // Sound starts only once the music has arrived and the browser allows it: a show asked to
    // play from a moment waits there until then (unless it is muted).
    std::vector<char*> args(argv, argv + argc);
    static char paused[] = "--paused";
    if (parsed.ok && options.hasStart && !options.paused && !options.mute) {
        args.push_back(paused);
        playWhenMusicCan();
    }
    args.push_back(nullptr);
    return lumenfoldMain(int(args.size()) - 1, args.data());
}
