// Symmetric 3x3 eigen solver (EISPACK tred2 + tql2), single precision. The
// loops keep the published 1-based indexing so they can be read against it.
#include "connectivity/eigen3.hpp"

#include <cmath>

namespace tesk {
namespace {

constexpr int kN = 3;
using Mat = float[kN + 1][kN + 1];  // z[row][col], index 0 unused
using Vec = float[kN + 1];

float sign_of(float a, float b) { return b >= 0.0f ? std::fabs(a) : -std::fabs(a); }

// Householder reduction of the matrix in z to tridiagonal form: diagonal in
// d, sub-diagonal in e(2..n), the orthogonal transformation left in z.
void tred2(Mat& z, Vec& d, Vec& e) {
  const int n = kN;
  for (int i = 1; i <= n; ++i) d[i] = z[n][i];
  for (int ii = 2; ii <= n; ++ii) {
    const int i = n + 2 - ii;
    const int l = i - 1;
    float h = 0.0f;
    float scale = 0.0f;
    if (l >= 2) {
      for (int k = 1; k <= l; ++k) scale += std::fabs(d[k]);
    }
    if (scale == 0.0f) {
      e[i] = d[l];
      for (int j = 1; j <= l; ++j) {
        d[j] = z[l][j];
        z[i][j] = 0.0f;
        z[j][i] = 0.0f;
      }
      d[i] = h;
      continue;
    }
    for (int k = 1; k <= l; ++k) {
      d[k] /= scale;
      h += d[k] * d[k];
    }
    float f = d[l];
    float g = -sign_of(std::sqrt(h), f);
    e[i] = scale * g;
    h -= f * g;
    d[l] = f - g;
    for (int j = 1; j <= l; ++j) e[j] = 0.0f;
    for (int j = 1; j <= l; ++j) {
      f = d[j];
      z[j][i] = f;
      g = e[j] + z[j][j] * f;
      for (int k = j + 1; k <= l; ++k) {
        g += z[k][j] * d[k];
        e[k] += z[k][j] * f;
      }
      e[j] = g;
    }
    f = 0.0f;
    for (int j = 1; j <= l; ++j) {
      e[j] /= h;
      f += e[j] * d[j];
    }
    const float hh = f / (h + h);
    for (int j = 1; j <= l; ++j) e[j] -= hh * d[j];
    for (int j = 1; j <= l; ++j) {
      f = d[j];
      g = e[j];
      for (int k = j; k <= l; ++k) z[k][j] = z[k][j] - f * e[k] - g * d[k];
      d[j] = z[l][j];
      z[i][j] = 0.0f;
    }
    d[i] = h;
  }
  // Accumulate the transformations.
  for (int i = 2; i <= n; ++i) {
    const int l = i - 1;
    z[n][l] = z[l][l];
    z[l][l] = 1.0f;
    const float h = d[i];
    if (h != 0.0f) {
      for (int k = 1; k <= l; ++k) d[k] = z[k][i] / h;
      for (int j = 1; j <= l; ++j) {
        float g = 0.0f;
        for (int k = 1; k <= l; ++k) g += z[k][i] * z[k][j];
        for (int k = 1; k <= l; ++k) z[k][j] -= g * d[k];
      }
    }
    for (int k = 1; k <= l; ++k) z[k][i] = 0.0f;
  }
  for (int i = 1; i <= n; ++i) {
    d[i] = z[n][i];
    z[n][i] = 0.0f;
  }
  z[n][n] = 1.0f;
  e[1] = 0.0f;
}

// QL with implicit shifts on the tridiagonal (d, e), transforming z; the
// eigenvalues end in ascending order with their vectors as columns of z.
int tql2(Mat& z, Vec& d, Vec& e) {
  const int n = kN;
  for (int i = 2; i <= n; ++i) e[i - 1] = e[i];
  float f = 0.0f;
  float tst1 = 0.0f;
  e[n] = 0.0f;
  for (int l = 1; l <= n; ++l) {
    int iter = 0;
    const float hl = std::fabs(d[l]) + std::fabs(e[l]);
    if (tst1 < hl) tst1 = hl;
    // Look for a small sub-diagonal element; e(n) is always zero.
    int m = l;
    for (; m <= n; ++m) {
      if (tst1 + std::fabs(e[m]) == tst1) break;
    }
    if (m > n) m = n;
    if (m != l) {
      for (;;) {
        if (iter == 30) return l;
        ++iter;
        const int l1 = l + 1;
        const int l2 = l1 + 1;
        float g = d[l];
        float p = (d[l1] - g) / (2.0f * e[l]);
        float r = pythag(p, 1.0f);
        d[l] = e[l] / (p + sign_of(r, p));
        d[l1] = e[l] * (p + sign_of(r, p));
        const float dl1 = d[l1];
        float h = g - d[l];
        for (int i = l2; i <= n; ++i) d[i] -= h;
        f += h;
        p = d[m];
        float c = 1.0f;
        float c2 = c;
        float c3 = c;
        const float el1 = e[l1];
        float s = 0.0f;
        float s2 = 0.0f;
        for (int i = m - 1; i >= l; --i) {
          c3 = c2;
          c2 = c;
          s2 = s;
          g = c * e[i];
          h = c * p;
          r = pythag(p, e[i]);
          e[i + 1] = s * r;
          s = e[i] / r;
          c = p / r;
          p = c * d[i] - s * g;
          d[i + 1] = h + s * (c * g + s * d[i]);
          for (int k = 1; k <= n; ++k) {
            h = z[k][i + 1];
            z[k][i + 1] = s * z[k][i] + c * h;
            z[k][i] = c * z[k][i] - s * h;
          }
        }
        p = -s * s2 * c3 * el1 * e[l] / dl1;
        e[l] = s * p;
        d[l] = c * p;
        if (!(tst1 + std::fabs(e[l]) > tst1)) break;
      }
    }
    d[l] += f;
  }
  // Selection sort into ascending order, moving the vectors along.
  for (int ii = 2; ii <= n; ++ii) {
    const int i = ii - 1;
    int k = i;
    float p = d[i];
    for (int j = ii; j <= n; ++j) {
      if (d[j] < p) {
        k = j;
        p = d[j];
      }
    }
    if (k == i) continue;
    d[k] = d[i];
    d[i] = p;
    for (int j = 1; j <= n; ++j) {
      const float t = z[j][i];
      z[j][i] = z[j][k];
      z[j][k] = t;
    }
  }
  return 0;
}

}  // namespace

float pythag(float a, float b) {
  float p = std::fmax(std::fabs(a), std::fabs(b));
  if (p == 0.0f) return p;
  // The iteration below only ends on finite numbers.
  if (!std::isfinite(a) || !std::isfinite(b)) return std::hypot(a, b);
  float r = std::fmin(std::fabs(a), std::fabs(b)) / p;
  r *= r;
  for (;;) {
    const float t = 4.0f + r;
    if (t == 4.0f) break;
    const float s = r / t;
    const float u = 1.0f + 2.0f * s;
    p *= u;
    r = (s / u) * (s / u) * r;
  }
  return p;
}

Eigen3 eigen_symmetric3(const std::array<std::array<float, 3>, 3>& a) {
  Mat z{};
  Vec d{};
  Vec e{};
  for (int i = 1; i <= kN; ++i) {
    for (int j = i; j <= kN; ++j) z[j][i] = a[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)];
  }
  Eigen3 out;
  for (const auto& row : a) {
    for (float x : row) {
      if (std::isfinite(x)) continue;
      // No plane through a point at NaN or infinity: report the failure
      // with NaN values, which every tolerance test rejects.
      out.ierr = 1;
      out.value.fill(NAN);
      for (auto& r : out.vec) r.fill(NAN);
      return out;
    }
  }
  tred2(z, d, e);
  out.ierr = tql2(z, d, e);
  for (std::size_t i = 0; i < 3; ++i) {
    out.value[i] = d[i + 1];
    for (std::size_t k = 0; k < 3; ++k) out.vec[i][k] = z[i + 1][k + 1];
  }
  return out;
}

}  // namespace tesk
