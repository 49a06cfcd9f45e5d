#include "analysis/ElementMatrices.h"

#include <cmath>

namespace qor {

bool BuildElasticity(double E, double nu, ElasticityVariant variant, Matrix6x6& D) {
  const double c = (1.0 - 2.0 * nu) * (1.0 + nu);
  if (c == 0.0) return false;
  if (variant == ElasticityVariant::Stress && 1.0 + nu == 0.0) return false;
  const double d = E / c;
  for (auto& row : D) row.fill(0.0);
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) D[i][j] = (i == j) ? (1.0 - nu) * d : nu * d;
  }
  const double shear = variant == ElasticityVariant::Stiffness ? (0.5 - nu) * d : 0.5 * E / (1.0 + nu);
  for (int i = 4; i <= 6; ++i) D[i][i] = shear;
  return true;
}

bool BuildStrainDisplacement(const TetCorners& p, Matrix6x12& B, double& det) {
  double X[4], Y[4], Z[4];
  for (int a = 1; a <= 3; ++a) {
    X[a] = p.x[a] - p.x[4];
    Y[a] = p.y[a] - p.y[4];
    Z[a] = p.z[a] - p.z[4];
  }
  const double c1x = Y[2] * Z[3] - Z[2] * Y[3], c1y = Z[2] * X[3] - X[2] * Z[3], c1z = X[2] * Y[3] - Y[2] * X[3];
  det = X[1] * c1x + Y[1] * c1y + Z[1] * c1z;
  if (det == 0.0) return false;

  double dx[5], dy[5], dz[5];
  dx[1] = c1x / det;
  dy[1] = c1y / det;
  dz[1] = c1z / det;
  dx[2] = (Y[3] * Z[1] - Z[3] * Y[1]) / det;
  dy[2] = (Z[3] * X[1] - X[3] * Z[1]) / det;
  dz[2] = (X[3] * Y[1] - Y[3] * X[1]) / det;
  dx[3] = (Y[1] * Z[2] - Z[1] * Y[2]) / det;
  dy[3] = (Z[1] * X[2] - X[1] * Z[2]) / det;
  dz[3] = (X[1] * Y[2] - Y[1] * X[2]) / det;
  dx[4] = -dx[1] - dx[2] - dx[3];
  dy[4] = -dy[1] - dy[2] - dy[3];
  dz[4] = -dz[1] - dz[2] - dz[3];

  for (auto& row : B) row.fill(0.0);
  for (int a = 1; a <= 4; ++a) {
    const int cx = 3 * a - 2, cy = 3 * a - 1, cz = 3 * a;
    B[1][cx] = dx[a];
    B[2][cy] = dy[a];
    B[3][cz] = dz[a];
    B[4][cy] = dz[a];
    B[4][cz] = dy[a];
    B[5][cx] = dz[a];
    B[5][cz] = dx[a];
    B[6][cx] = dy[a];
    B[6][cy] = dx[a];
  }
  return true;
}

void MultiplyDB(const Matrix6x6& D, const Matrix6x12& B, Matrix6x12& DB) {
  for (int j = 1; j <= 6; ++j) {
    for (int k = 1; k <= 12; ++k) {
      double sum = 0.0;
      for (int l = 1; l <= 6; ++l) sum += D[j][l] * B[l][k];
      DB[j][k] = sum;
    }
  }
}

void BuildElementStiffness(const Matrix6x12& B, const Matrix6x12& DB, double det, double rho, Matrix12x12& Ke) {
  const double scale = std::fabs(det) * rho / 6.0;
  // Only the upper triangle is summed; the lower one is its mirror, so Ke is
  // exactly symmetric.
  for (int j = 1; j <= 12; ++j) {
    for (int k = j; k <= 12; ++k) {
      double sum = 0.0;
      for (int l = 1; l <= 6; ++l) sum += B[l][j] * DB[l][k];
      Ke[j][k] = Ke[k][j] = scale * sum;
    }
  }
}

bool ElementStiffness(const TetCorners& corners, double E, double nu, double rho, Matrix12x12& Ke) {
  Matrix6x6 D;
  Matrix6x12 B, DB;
  double det = 0;
  if (!BuildElasticity(E, nu, ElasticityVariant::Stiffness, D)) return false;
  if (!BuildStrainDisplacement(corners, B, det) || !std::isfinite(det)) return false;
  MultiplyDB(D, B, DB);
  BuildElementStiffness(B, DB, det, rho, Ke);
  return true;
}

double ReducedStress(double s1, double s2, double s3, double s4, double s5, double s6) {
  const double s = s1 * s1 + s2 * s2 + s3 * s3 - s1 * s2 - s1 * s3 - s2 * s3 + 3.0 * (s4 * s4 + s5 * s5 + s6 * s6);
  return s >= 0.0 ? std::sqrt(s) : 0.0;
}

bool ElementStresses(const TetCorners& corners, double E, double nu, const double u[13], double stress[8]) {
  Matrix6x6 D;
  Matrix6x12 B, DB;
  double det = 0;
  if (!BuildElasticity(E, nu, ElasticityVariant::Stress, D) || !BuildStrainDisplacement(corners, B, det)) return false;
  MultiplyDB(D, B, DB);
  for (int k = 1; k <= 6; ++k) {
    double sigma = 0.0;
    for (int j = 1; j <= 12; ++j) sigma += DB[k][j] * u[j];
    stress[k] = sigma;
  }
  stress[7] = ReducedStress(stress[1], stress[2], stress[3], stress[4], stress[5], stress[6]);
  return true;
}

}  // namespace qor
