// The layer's 4 x 4 matrix: column-major like GL's own, so it can go to a uniform as it is and
// be compared with what the system's GL reads back. Builders follow OpenGL 1.x's definitions.
#pragma once

namespace lfgl {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};

struct Mat4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; // m[column * 4 + row]

    float at(int row, int column) const { return m[column * 4 + row]; }
    float& at(int row, int column) { return m[column * 4 + row]; }
};

// The inverse transpose of a matrix's upper 3 x 3, which carries normals; column-major.
struct Mat3 {
    float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

bool operator==(const Mat4& a, const Mat4& b);
inline bool operator!=(const Mat4& a, const Mat4& b) { return !(a == b); }

Mat4 operator*(const Mat4& a, const Mat4& b);
Vec4 operator*(const Mat4& a, const Vec4& v);
// a * (p, 1) for an affine matrix: the w row is taken as (0, 0, 0, 1).
Vec3 transformAffine(const Mat4& a, const Vec3& p);
Vec3 operator*(const Mat3& a, const Vec3& v);

Mat4 translation(double x, double y, double z);
Mat4 scaling(double x, double y, double z);
// Degrees about the axis (x, y, z), which need not be of unit length.
Mat4 rotation(double degrees, double x, double y, double z);
Mat4 orthographic(double left, double right, double bottom, double top, double zNear,
                  double zFar);
Mat4 perspective(double fovyDegrees, double aspect, double zNear, double zFar);
Mat4 lookAt(const double eye[3], const double centre[3], const double up[3]);

// Identity when the upper 3 x 3 is singular (GL leaves such normals undefined).
Mat3 normalMatrix(const Mat4& a);

Vec3 normalised(const Vec3& v);

} // namespace lfgl
