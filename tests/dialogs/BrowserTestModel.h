#pragma once

#include "model/ModelStore.h"

namespace qor::test {

// A small hand-checkable model for the browser tests.
//  nodes 1 (0,0,0)  2 (2.5,0,0)  3 (0,0.1,0)  4 (0,0,1)  5 (1,1,1)  6..9 free
//  elements 1: 1 2 3 4 m1   2: 2 3 4 5 m2   3: 5 1 5 3 m1 (repeats node 5)   4: 6 7 8 9 m1
//  materials 1: 200000, 0.3   2: 70000, 0.25
//  supports 1: 1z  2: 1x  3: 1y  4: 2z (value -3)  5: 4x  6: 5y  7: 5x
//  forces node 3 y 100, node 5 x -2.5 and z 4
inline void FillSmallModel(ModelStore& m) {
  m = ModelStore{};
  m.NodeCount = 9;
  const NodeRow nodes[] = {{0, 0, 0}, {2.5f, 0, 0}, {0, 0.1f, 0}, {0, 0, 1}, {1, 1, 1},
                           {3, 0, 0}, {4, 0, 0},    {3, 1, 0},    {3, 0, 1}};
  for (int n = 1; n <= 9; ++n) m.Nodes[n] = nodes[n - 1];
  m.ElementCount = 4;
  const int elements[4][5] = {{1, 2, 3, 4, 1}, {2, 3, 4, 5, 2}, {5, 1, 5, 3, 1}, {6, 7, 8, 9, 1}};
  for (int e = 1; e <= 4; ++e) {
    for (int k = 1; k <= 4; ++k) m.Elements[e].node[k] = elements[e - 1][k - 1];
    m.Elements[e].material = elements[e - 1][4];
  }
  m.MaterialCount = 2;
  m.Materials[1] = {200000.0f, 0.3f};
  m.Materials[2] = {70000.0f, 0.25f};
  m.SupportCount = 7;
  const SupportRow supports[] = {{3, 0}, {1, 0}, {2, 0}, {6, -3}, {10, 0}, {14, 0}, {13, 0}};
  for (int j = 1; j <= 7; ++j) m.Supports[j] = supports[j - 1];
  m.Forces[DofOf(3, 2)] = 100.0f;
  m.Forces[DofOf(5, 1)] = -2.5f;
  m.Forces[DofOf(5, 3)] = 4.0f;
}

// Results as a computation would leave them, with values picked to show the
// 7-digit format: element 2 and node 3 carry the interesting ones.
inline void FillSmallResults(ModelStore& m) {
  m.DofCount = 3 * m.NodeCount;
  m.ResultsValid = 1;
  m.Stresses[2] = {0, 1.5f, -2.0f, 0.0000123f, 4.0f, 5.0f, 6.0f, 123456789.0f};
  m.Displacements[DofOf(3, 1)] = 0.0000123f;
  m.Displacements[DofOf(3, 2)] = 0.000123f;
  m.Displacements[DofOf(3, 3)] = -1.0f;
}

}  // namespace qor::test
