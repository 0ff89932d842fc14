// The page's address in the page's own words: ?start=84&paused is the command line's
// --start=84 --paused, judged by the same parser (player/launch_options), but a visitor reads
// about parameters of an address, not options of a program.
#pragma once

#include "player/launch_options.h"

#include <cstddef>
#include <string>

// What ?help shows: the parameters the page takes, with their ranges.
std::string pageUsage();
// One line saying why the address cannot be played. A value a visitor typed is shown cut to
// kLongestShownValue characters, with an ellipsis.
const size_t kLongestShownValue = 40;
std::string pageRefusal(const parseResult& refused);
// `text` cut to at most `most` characters (whole UTF-8 sequences), with "…" when cut.
std::string shortened(const std::string& text, size_t most);
