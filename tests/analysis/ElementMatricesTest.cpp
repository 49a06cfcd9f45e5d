#include <gtest/gtest.h>

#include <cmath>

#include "analysis/ElementMatrices.h"

namespace {

using namespace qor;

TetCorners UnitCorner() {
  TetCorners t;
  const float p[5][3] = {{}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
  for (int a = 1; a <= 4; ++a) {
    t.x[a] = p[a][0];
    t.y[a] = p[a][1];
    t.z[a] = p[a][2];
  }
  return t;
}

Matrix12x12 Stiffness(const TetCorners& t, float E, float nu, float rho, double* detOut = nullptr) {
  Matrix6x6 D;
  Matrix6x12 B, DB;
  Matrix12x12 Ke;
  double det = 0;
  EXPECT_TRUE(BuildElasticity(E, nu, ElasticityVariant::Stiffness, D));
  EXPECT_TRUE(BuildStrainDisplacement(t, B, det));
  MultiplyDB(D, B, DB);
  BuildElementStiffness(B, DB, det, rho, Ke);
  if (detOut) *detOut = det;
  return Ke;
}

TEST(ElementMatrices, ElasticityOfBothVariants) {
  Matrix6x6 D;
  for (auto variant : {ElasticityVariant::Stiffness, ElasticityVariant::Stress}) {
    ASSERT_TRUE(BuildElasticity(200.0f, 0.0f, variant, D));
    EXPECT_EQ(D[1][1], 200.0f);
    EXPECT_EQ(D[1][2], 0.0f);
    EXPECT_EQ(D[4][4], 100.0f);
    EXPECT_EQ(D[1][4], 0.0f);
    // nu = 0.25: c = 0.5·1.25, d = 320; D11 = 240, D12 = 80, shear 80 both ways.
    ASSERT_TRUE(BuildElasticity(200.0f, 0.25f, variant, D));
    EXPECT_FLOAT_EQ(D[3][3], 240.0f);
    EXPECT_FLOAT_EQ(D[3][1], 80.0f);
    EXPECT_FLOAT_EQ(D[6][6], 80.0f);
    EXPECT_EQ(D[4][5], 0.0f);
    EXPECT_FALSE(BuildElasticity(200.0f, 0.5f, variant, D));
    EXPECT_FALSE(BuildElasticity(200.0f, -1.0f, variant, D));
  }
}

TEST(ElementMatrices, UnitCornerElementAndItsNodeSwap) {
  double det = 0;
  const Matrix12x12 Ke = Stiffness(UnitCorner(), 1000.0f, 0.3f, 1.0f, &det);
  EXPECT_EQ(det, 1.0f);
  // nu = 0 and E = 6: Ke = Bᵀ·D·B (volume 1/6 · 6), Ke[1][1] = V·D11·(dN1/dx)² = 1.
  const Matrix12x12 K0 = Stiffness(UnitCorner(), 6.0f, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(K0[1][1], 1.0f);
  for (int j = 1; j <= 12; ++j) {
    float rowSumX = 0;
    for (int k = 1; k <= 12; ++k) {
      EXPECT_FLOAT_EQ(Ke[j][k], Ke[k][j]);
      if ((k - 1) % 3 == 0) rowSumX += Ke[j][k];
    }
    // A translation in x stores no energy.
    EXPECT_NEAR(rowSumX, 0.0f, 1e-3f);
  }

  TetCorners swapped = UnitCorner();
  std::swap(swapped.x[1], swapped.x[2]);
  std::swap(swapped.y[1], swapped.y[2]);
  std::swap(swapped.z[1], swapped.z[2]);
  const Matrix12x12 Ks = Stiffness(swapped, 1000.0f, 0.3f, 1.0f, &det);
  EXPECT_EQ(det, -1.0f);
  auto local = [](int j) {  // local row of the same node and direction after swapping nodes 1 and 2
    const int a = (j - 1) / 3 + 1, c = (j - 1) % 3 + 1;
    const int b = a == 1 ? 2 : a == 2 ? 1 : a;
    return 3 * (b - 1) + c;
  };
  for (int j = 1; j <= 12; ++j)
    for (int k = 1; k <= 12; ++k) EXPECT_NEAR(Ks[local(j)][local(k)], Ke[j][k], 1e-3f) << j << "," << k;
}

TEST(ElementMatrices, DensityScalesAndFlatElementsFail) {
  const Matrix12x12 K1 = Stiffness(UnitCorner(), 1000.0f, 0.3f, 1.0f);
  const Matrix12x12 K0 = Stiffness(UnitCorner(), 1000.0f, 0.3f, 0.0f);
  const Matrix12x12 K2 = Stiffness(UnitCorner(), 1000.0f, 0.3f, 2.5f);
  for (int j = 1; j <= 12; ++j)
    for (int k = 1; k <= 12; ++k) {
      EXPECT_EQ(K0[j][k], 0.0f);
      EXPECT_FLOAT_EQ(K2[j][k], 2.5f * K1[j][k]);
    }

  Matrix6x12 B;
  double det = 0;
  TetCorners twoEqual = UnitCorner();
  twoEqual.x[2] = 1;
  twoEqual.y[2] = 0;
  EXPECT_FALSE(BuildStrainDisplacement(twoEqual, B, det));
  TetCorners flat = UnitCorner();
  flat.z[3] = 0;
  EXPECT_FALSE(BuildStrainDisplacement(flat, B, det));
  TetCorners thin = UnitCorner();
  thin.z[3] = 1e-4f;
  ASSERT_TRUE(BuildStrainDisplacement(thin, B, det));
  EXPECT_FLOAT_EQ(det, 1e-4f);
  EXPECT_FLOAT_EQ(B[3][9], 1e4f);  // dN3/dz
}

}  // namespace
