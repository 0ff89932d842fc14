// Numbers on the command lines of both programs, read by one strict rule: decimal digits and at
// most one decimal point, nothing else (no sign, spaces, exponent or hexadecimal), so a value
// is never half-read or read as something else; and one wording for the same mistake.
#pragma once

#include <string>

// What an option's number must be.
struct numberRule {
    const char* what; // "a time in seconds"
    double low, high;
    bool whole;       // no decimal point
};

extern const numberRule kShowTimeRule; // seconds, 0 to the show's length
extern const numberRule kSamplesRule;  // anti-aliasing samples, 1 to 64

// The whole text as a number following the rule, or false.
bool readNumber(const std::string& text, const numberRule& rule, double& value);
bool readWholeNumber(const std::string& text, const numberRule& rule, int& value);
// "OPTION takes WANTED, not 'VALUE'"
std::string refusal(const std::string& option, const std::string& wanted,
                    const std::string& value);
// The same with the rule's words: "--aa takes a whole number of samples from 1 to 64, not '4.0'".
std::string refusal(const std::string& option, const numberRule& rule, const std::string& value);
