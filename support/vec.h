// The homogeneous vector of the geometry layer: x, y, z, w in single precision. A vector made
// from three coordinates is a point (w = 1); sums and differences are points too.
#pragma once

class vec {
  public:
    vec() { set(0, 0, 0); }
    void set(float x, float y, float z) { set(x, y, z, 1); }
    void set(float x, float y, float z, float w) {
        data[0] = x;
        data[1] = y;
        data[2] = z;
        data[3] = w;
    }
    void add(float x, float y, float z) {
        data[0] += x;
        data[1] += y;
        data[2] += z;
    }
    void print();

    float data[4];
};

vec operator+(const vec& a, const vec& b);
vec operator-(const vec& a, const vec& b);
