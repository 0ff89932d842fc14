// The 4 x 4 transformation matrix, stored row by row. Points are column vectors multiplied on the
// right, so translations sit in column 3 and in a product a * b the transform b acts first.
#pragma once

#include "support/vec.h"

class matrix {
  public:
    matrix() { init(); }
    void set(float r0c0, float r0c1, float r0c2, float r0c3, float r1c0, float r1c1, float r1c2,
             float r1c3, float r2c0, float r2c1, float r2c2, float r2c3, float r3c0, float r3c1,
             float r3c2, float r3c3);
    void setTranslate(float tx, float ty, float tz);
    void setScale(float s);
    void setScale(float s1, float s2, float s3);
    // Angles in degrees; right-handed rotations for column vectors.
    void setRotateX(float rx);
    void setRotateY(float rx);
    void setRotateZ(float rx);
    void print();

    float at(int row, int column) const { return data[row][column]; }

    friend matrix operator*(const matrix& a, const matrix& b);
    friend vec operator*(const matrix& a, const vec& b);

  private:
    void init();
    float data[4][4];
};
