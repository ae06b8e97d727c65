// Vectors and matrices: LVector/LMatrix in double precision, Vector/Matrix in single precision.
// A matrix is a translation followed by the X, Y and Z axes and maps p to off + p.x*v1 + p.y*v2
// + p.z*v3. Every component of a product is evaluated in one fixed order, left to right.
#pragma once

#include "c4d_generation.h"

enum _DONTCONSTRUCT { DC };

template <class R>
struct VectorT {
  VectorT() : x(0), y(0), z(0) {}
  VectorT(R x_, R y_, R z_) : x(x_), y(y_), z(z_) {}
  explicit VectorT(_DONTCONSTRUCT) {}
  R x, y, z;
};

template <class R>
struct MatrixT {
  // The identity.
  MatrixT() : off(0, 0, 0), v1(1, 0, 0), v2(0, 1, 0), v3(0, 0, 1) {}
  MatrixT(const VectorT<R>& off_, const VectorT<R>& v1_, const VectorT<R>& v2_,
          const VectorT<R>& v3_)
      : off(off_), v1(v1_), v2(v2_), v3(v3_) {}
  explicit MatrixT(_DONTCONSTRUCT) : off(DC), v1(DC), v2(DC), v3(DC) {}
  VectorT<R> off, v1, v2, v3;
};

typedef VectorT<double> LVector;
typedef MatrixT<double> LMatrix;
typedef VectorT<float> Vector;
typedef MatrixT<float> Matrix;

namespace gen {
#if QUOR_GEN12
typedef LVector GenVector;  // points and matrices the host hands out
typedef LMatrix GenMatrix;
#else
typedef Vector GenVector;
typedef Matrix GenMatrix;
#endif
}  // namespace gen

// a * b: applies b first, then a.
template <class R>
inline MatrixT<R> operator*(const MatrixT<R>& a, const MatrixT<R>& b) {
  MatrixT<R> c(DC);
  c.off.x = ((a.off.x + b.off.x * a.v1.x) + b.off.y * a.v2.x) + b.off.z * a.v3.x;
  c.off.y = ((a.off.y + b.off.x * a.v1.y) + b.off.y * a.v2.y) + b.off.z * a.v3.y;
  c.off.z = ((a.off.z + b.off.x * a.v1.z) + b.off.y * a.v2.z) + b.off.z * a.v3.z;
  c.v1.x = (b.v1.x * a.v1.x + b.v1.y * a.v2.x) + b.v1.z * a.v3.x;
  c.v1.y = (b.v1.x * a.v1.y + b.v1.y * a.v2.y) + b.v1.z * a.v3.y;
  c.v1.z = (b.v1.x * a.v1.z + b.v1.y * a.v2.z) + b.v1.z * a.v3.z;
  c.v2.x = (b.v2.x * a.v1.x + b.v2.y * a.v2.x) + b.v2.z * a.v3.x;
  c.v2.y = (b.v2.x * a.v1.y + b.v2.y * a.v2.y) + b.v2.z * a.v3.y;
  c.v2.z = (b.v2.x * a.v1.z + b.v2.y * a.v2.z) + b.v2.z * a.v3.z;
  c.v3.x = (b.v3.x * a.v1.x + b.v3.y * a.v2.x) + b.v3.z * a.v3.x;
  c.v3.y = (b.v3.x * a.v1.y + b.v3.y * a.v2.y) + b.v3.z * a.v3.y;
  c.v3.z = (b.v3.x * a.v1.z + b.v3.y * a.v2.z) + b.v3.z * a.v3.z;
  return c;
}

// p * m: the point p transformed by m.
template <class R>
inline VectorT<R> operator*(const VectorT<R>& p, const MatrixT<R>& m) {
  VectorT<R> q(DC);
  q.x = ((m.off.x + p.x * m.v1.x) + p.y * m.v2.x) + p.z * m.v3.x;
  q.y = ((m.off.y + p.x * m.v1.y) + p.y * m.v2.y) + p.z * m.v3.y;
  q.z = ((m.off.z + p.x * m.v1.z) + p.y * m.v2.z) + p.z * m.v3.z;
  return q;
}
