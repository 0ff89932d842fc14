// The page's words for its address. The ranges come from the parser's own rules, so the help
// and the refusals cannot disagree with what is accepted.
#include "web/page_words.h"

#include "basicsource/scene.h"
#include "common/command_line.h"

#include <cstdio>

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string range(const numberRule& rule) {
    return number(rule.low) + " to " + number(rule.high);
}

// "--start" -> "start": the page's parameters are the options without their dashes.
std::string parameterName(const std::string& option) {
    const size_t dashes = option.find_first_not_of('-');
    return dashes == std::string::npos ? option : option.substr(dashes);
}

// Every occurrence of `from` in `text` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) {
        return text;
    }
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace

std::string shortened(const std::string& text, size_t most) {
    size_t characters = 0, at = 0;
    for (; at < text.size(); ++at) {
        const bool continuation = (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
        if (!continuation && characters++ == most) {
            return text.substr(0, at) + "\u2026";
        }
    }
    return text;
}

std::string pageUsage() {
    const std::string seconds = number(kShowLength);
    return "This page plays Lumenfold, a " + seconds + "-second 3D show with music.\n"
           "Its address can say:\n"
           "  ?start=84          start at 84 s (" + range(kShowTimeRule) + ")\n"
           "  ?start=84&paused   wait there, paused\n"
           "  ?speed=0.5         play at half speed (" + range(kSpeedRule) +
           "; the music plays at 1 only)\n"
           "  ?loop              start again at the end\n"
           "  ?mute              no music\n"
           "  ?fullscreen        full screen from the first tap or key\n"
           "  ?aa=4              smoother edges with 4 samples (" + range(kSamplesRule) +
           "; slower)\n"
           "  ?version           the version\n"
           "  ?help              this\n"
           "Join them with &, as in ?start=84&paused&mute.\n";
}

std::string pageRefusal(const parseResult& refused) {
    if (refused.unknown) {
        const std::string name = parameterName(refused.option.substr(0, refused.option.find('=')));
        return "This page has no parameter '" + shortened(name, kLongestShownValue) +
               "': ?help lists the ones it takes.";
    }
    std::string line = refused.error;
    if (refused.value.size() > 0) {
        line = replaced(line, "'" + refused.value + "'",
                        "'" + shortened(refused.value, kLongestShownValue) + "'");
    }
    if (line.rfind(refused.option, 0) == 0) {
        line.replace(0, refused.option.size(), parameterName(refused.option));
    }
    return "The address cannot be played: " + line + ".";
}
