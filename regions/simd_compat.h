// One spelling of OpenCV's universal intrinsics on every OpenCV the module builds with: the
// function forms (v_add, v_and, v_eq ...), never the operators (a + b, a & b, a == b ...).
//
// OpenCV 4.9 began to replace the operators with these functions, which its backends define
// from then on, and 4.11 removed the operators (on some platforms code using them already
// broke with 4.9). Before 4.9 the operators are there and the functions are not all (4.6 has
// none of those below). For those versions this header
// defines the forms the module uses in terms of the operators, with OpenCV's semantics (16-bit
// products saturate, as operator* does and v_mul does later); from 4.9 on it defines nothing
// and OpenCV's own are found through the vector types. Ours are templates so that an OpenCV
// that already has some of them wins overload resolution with its own, and nothing clashes.
// Callers say `using namespace tevsimd;` and call the forms unqualified.
//
// Compiled: OpenCV 4.6 (Debian 12's), for Linux and, with MinGW-w64, for Windows. Known from
// OpenCV's documentation and change history only, not compiled here: 4.7 to 4.8, 4.9 and
// later, 5.x.
#pragma once

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/core/version.hpp>

namespace tevsimd {

#if CV_VERSION_MAJOR < 4 || (CV_VERSION_MAJOR == 4 && CV_VERSION_MINOR < 9)

template <typename V>
inline V v_add(const V& a, const V& b) {
  return a + b;
}
template <typename V>
inline V v_sub(const V& a, const V& b) {
  return a - b;
}
template <typename V>
inline V v_mul(const V& a, const V& b) {
  return a * b;
}
template <typename V>
inline V v_div(const V& a, const V& b) {
  return a / b;
}

template <typename V>
inline V v_and(const V& a, const V& b) {
  return a & b;
}
template <typename V>
inline V v_or(const V& a, const V& b) {
  return a | b;
}
template <typename V>
inline V v_not(const V& a) {
  return ~a;
}

// Comparisons give a mask of the operands' type: all ones where true.
template <typename V>
inline V v_eq(const V& a, const V& b) {
  return a == b;
}
template <typename V>
inline V v_ne(const V& a, const V& b) {
  return a != b;
}
template <typename V>
inline V v_le(const V& a, const V& b) {
  return a <= b;
}
template <typename V>
inline V v_ge(const V& a, const V& b) {
  return a >= b;
}

#endif

}  // namespace tevsimd
