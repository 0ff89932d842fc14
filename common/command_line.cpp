// The command lines' number reader and wording.
#include "common/command_line.h"

#include "basicsource/scene.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const numberRule kShowTimeRule = {"a time in seconds", 0, double(kShowLength), false};
const numberRule kSamplesRule = {"a whole number of samples", 1, 64, true};

namespace {

// Digits with at most one point (none for a whole number), and at least one digit.
bool isPlainDecimal(const std::string& text, bool whole) {
    int digits = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !whole) {
            ++points;
        } else {
            return false;
        }
    }
    return digits > 0 && points <= 1;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

bool readNumber(const std::string& text, const numberRule& rule, double& value) {
    if (!isPlainDecimal(text, rule.whole)) {
        return false;
    }
    errno = 0;
    const double read = std::strtod(text.c_str(), nullptr);
    if (errno != 0 || !std::isfinite(read) || read < rule.low || read > rule.high) {
        return false;
    }
    value = read;
    return true;
}

bool readWholeNumber(const std::string& text, const numberRule& rule, int& value) {
    double read = 0;
    if (!rule.whole || !readNumber(text, rule, read)) {
        return false;
    }
    value = int(read);
    return true;
}

std::string refusal(const std::string& option, const std::string& wanted,
                    const std::string& value) {
    return option + " takes " + wanted + ", not '" + value + "'";
}

std::string refusal(const std::string& option, const numberRule& rule, const std::string& value) {
    return refusal(option,
                   std::string(rule.what) + " from " + number(rule.low) + " to " + number(rule.high),
                   value);
}
