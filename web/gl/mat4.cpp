// Matrix products and the builders behind glTranslate, glRotate, glScale, glOrtho and the two
// GLU helpers. Factors are worked out in double and stored as float, as GL keeps them.
#include "web/gl/mat4.h"

#include <cmath>

namespace lfgl {

namespace {

const double kPi = 3.14159265358979323846;

Mat4 fromRows(const double r[4][4]) {
    Mat4 out;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            out.at(row, column) = float(r[row][column]);
        }
    }
    return out;
}

void cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void normalise(double v[3]) {
    double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

} // namespace

bool operator==(const Mat4& a, const Mat4& b) {
    for (int i = 0; i < 16; ++i) {
        if (a.m[i] != b.m[i]) {
            return false;
        }
    }
    return true;
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 out;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.at(row, k) * b.at(k, column);
            }
            out.at(row, column) = sum;
        }
    }
    return out;
}

Vec4 operator*(const Mat4& a, const Vec4& v) {
    const float* m = a.m;
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12] * v.w,
            m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13] * v.w,
            m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14] * v.w,
            m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15] * v.w};
}

Vec3 transformAffine(const Mat4& a, const Vec3& p) {
    const float* m = a.m;
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Vec3 operator*(const Mat3& a, const Vec3& v) {
    const float* m = a.m;
    return {m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
            m[2] * v.x + m[5] * v.y + m[8] * v.z};
}

Mat4 translation(double x, double y, double z) {
    const double r[4][4] = {{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}, {0, 0, 0, 1}};
    return fromRows(r);
}

Mat4 scaling(double x, double y, double z) {
    const double r[4][4] = {{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}};
    return fromRows(r);
}

Mat4 rotation(double degrees, double x, double y, double z) {
    double axis[3] = {x, y, z};
    normalise(axis);
    if (axis[0] == 0 && axis[1] == 0 && axis[2] == 0) {
        return Mat4();
    }
    const double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    const double t = 1 - c, u = axis[0], v = axis[1], w = axis[2];
    const double r[4][4] = {{u * u * t + c, u * v * t - w * s, u * w * t + v * s, 0},
                            {v * u * t + w * s, v * v * t + c, v * w * t - u * s, 0},
                            {w * u * t - v * s, w * v * t + u * s, w * w * t + c, 0},
                            {0, 0, 0, 1}};
    return fromRows(r);
}

Mat4 orthographic(double left, double right, double bottom, double top, double zNear,
                  double zFar) {
    const double w = right - left, h = top - bottom, d = zFar - zNear;
    const double r[4][4] = {{2 / w, 0, 0, -(right + left) / w},
                            {0, 2 / h, 0, -(top + bottom) / h},
                            {0, 0, -2 / d, -(zFar + zNear) / d},
                            {0, 0, 0, 1}};
    return fromRows(r);
}

Mat4 perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double f = 1 / std::tan(fovyDegrees * kPi / 360);
    const double d = zNear - zFar;
    const double r[4][4] = {{f / aspect, 0, 0, 0},
                            {0, f, 0, 0},
                            {0, 0, (zFar + zNear) / d, 2 * zFar * zNear / d},
                            {0, 0, -1, 0}};
    return fromRows(r);
}

Mat4 lookAt(const double eye[3], const double centre[3], const double up[3]) {
    double forward[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    normalise(forward);
    double side[3], upright[3];
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, upright);
    const double r[4][4] = {{side[0], side[1], side[2], 0},
                            {upright[0], upright[1], upright[2], 0},
                            {-forward[0], -forward[1], -forward[2], 0},
                            {0, 0, 0, 1}};
    return fromRows(r) * translation(-eye[0], -eye[1], -eye[2]);
}

Mat3 normalMatrix(const Mat4& a) {
    // The inverse transpose is the cofactor matrix divided by the determinant.
    const float a00 = a.at(0, 0), a01 = a.at(0, 1), a02 = a.at(0, 2);
    const float a10 = a.at(1, 0), a11 = a.at(1, 1), a12 = a.at(1, 2);
    const float a20 = a.at(2, 0), a21 = a.at(2, 1), a22 = a.at(2, 2);
    const float c00 = a11 * a22 - a12 * a21, c01 = a12 * a20 - a10 * a22,
                c02 = a10 * a21 - a11 * a20;
    const float det = a00 * c00 + a01 * c01 + a02 * c02;
    if (det == 0) {
        return Mat3();
    }
    const float c10 = a02 * a21 - a01 * a22, c11 = a00 * a22 - a02 * a20,
                c12 = a01 * a20 - a00 * a21;
    const float c20 = a01 * a12 - a02 * a11, c21 = a02 * a10 - a00 * a12,
                c22 = a00 * a11 - a01 * a10;
    Mat3 out; // element (row, column) at m[column * 3 + row]
    const float cof[3][3] = {{c00, c01, c02}, {c10, c11, c12}, {c20, c21, c22}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            out.m[column * 3 + row] = cof[row][column] / det;
        }
    }
    return out;
}

Vec3 normalised(const Vec3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0) {
        return v;
    }
    const float inverse = 1 / length;
    return {v.x * inverse, v.y * inverse, v.z * inverse};
}

} // namespace lfgl
