// Matrix setters, products and the diagnostic print.
#include "support/matrix.h"

#include "basicsource/utility.h"

#include <iostream>

void matrix::init() {
    for (auto& row : data) {
        for (float& element : row) {
            element = 0;
        }
    }
    for (int i = 0; i < 4; ++i) {
        data[i][i] = 1;
    }
}

void matrix::set(float r0c0, float r0c1, float r0c2, float r0c3, float r1c0, float r1c1,
                 float r1c2, float r1c3, float r2c0, float r2c1, float r2c2, float r2c3,
                 float r3c0, float r3c1, float r3c2, float r3c3) {
    const float values[16] = {r0c0, r0c1, r0c2, r0c3, r1c0, r1c1, r1c2, r1c3,
                              r2c0, r2c1, r2c2, r2c3, r3c0, r3c1, r3c2, r3c3};
    for (int i = 0; i < 16; ++i) {
        data[i / 4][i % 4] = values[i];
    }
}

void matrix::setTranslate(float tx, float ty, float tz) {
    init();
    data[0][3] = tx;
    data[1][3] = ty;
    data[2][3] = tz;
}

void matrix::setScale(float s) { setScale(s, s, s); }

void matrix::setScale(float s1, float s2, float s3) {
    init();
    data[0][0] = s1;
    data[1][1] = s2;
    data[2][2] = s3;
}

void matrix::setRotateX(float rx) {
    init();
    float c = cos_d(rx), s = sin_d(rx);
    data[1][1] = c;
    data[1][2] = -s;
    data[2][1] = s;
    data[2][2] = c;
}

void matrix::setRotateY(float rx) {
    init();
    float c = cos_d(rx), s = sin_d(rx);
    data[0][0] = c;
    data[0][2] = s;
    data[2][0] = -s;
    data[2][2] = c;
}

void matrix::setRotateZ(float rx) {
    init();
    float c = cos_d(rx), s = sin_d(rx);
    data[0][0] = c;
    data[0][1] = -s;
    data[1][0] = s;
    data[1][1] = c;
}

void matrix::print() {
    for (auto& row : data) {
        for (float element : row) {
            std::cout << element << ",";
        }
        std::cout << "\n";
    }
    std::cout << "\n";
}

matrix operator*(const matrix& a, const matrix& b) {
    matrix result;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.data[i][k] * b.data[k][j];
            }
            result.data[i][j] = sum;
        }
    }
    return result;
}

vec operator*(const matrix& a, const vec& b) {
    vec result;
    for (int i = 0; i < 4; ++i) {
        result.data[i] = a.data[i][0] * b.data[0] + a.data[i][1] * b.data[1] +
                         a.data[i][2] * b.data[2] + a.data[i][3] * b.data[3];
    }
    return result;
}
