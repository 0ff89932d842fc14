// Vector sums, differences and the diagnostic print.
#include "support/vec.h"

#include <iostream>

void vec::print() {
    for (float component : data) {
        std::cout << component << ",";
    }
    std::cout << "\n\n";
}

// The w components are never combined: the result is always a point.
vec operator+(const vec& a, const vec& b) {
    vec result;
    result.set(a.data[0] + b.data[0], a.data[1] + b.data[1], a.data[2] + b.data[2]);
    return result;
}

vec operator-(const vec& a, const vec& b) {
    vec result;
    result.set(a.data[0] - b.data[0], a.data[1] - b.data[1], a.data[2] - b.data[2]);
    return result;
}
