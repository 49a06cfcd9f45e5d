#include "model/ModelStore.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(ModelStore, NewStoreIsEmpty) {
  ModelStore store;
  EXPECT_EQ(store.NodeCount, 0);
  EXPECT_EQ(store.ElementCount, 0);
  EXPECT_EQ(store.MaterialCount, 0);
  EXPECT_EQ(store.SupportCount, 0);
  EXPECT_EQ(store.DofCount, 0);
  EXPECT_EQ(store.ResultsValid, 0);
  // Rows are numbered from 1: the last row of each table is its capacity.
  EXPECT_EQ(store.Nodes.size(), 1000u);
  EXPECT_EQ(store.Elements.size(), 2000u);
  EXPECT_EQ(store.Stresses.size(), 2000u);
  EXPECT_EQ(store.Forces.size(), 2998u);
  EXPECT_EQ(store.Displacements.size(), 2998u);
  EXPECT_EQ(store.Supports.size(), 500u);
  EXPECT_EQ(store.Materials.size(), 8u);
  EXPECT_EQ(Densities.size(), 2000u);
}

TEST(ModelStore, LimitsRefuseAtTheLimitValue) {
  EXPECT_FALSE(LimitReached(5, 1));
  EXPECT_FALSE(LimitReached(5, 7));
  EXPECT_TRUE(LimitReached(5, 8));
  EXPECT_TRUE(LimitReached(2, 998));
  EXPECT_FALSE(LimitReached(2, 997));
  EXPECT_FALSE(LimitReached(1, 1997));
  EXPECT_TRUE(LimitReached(1, 1998));
  EXPECT_FALSE(LimitReached(3, 1995));
  EXPECT_TRUE(LimitReached(3, 1996));
  EXPECT_FALSE(LimitReached(4, 497));
  EXPECT_TRUE(LimitReached(4, 498));
  for (int kind : {0, 6, 9, -1}) EXPECT_FALSE(LimitReached(kind, 1000000)) << kind;
}

TEST(ModelStore, LimitMessagesNameTheTable) {
  const UserMessage elements{"Osiągnięto maksymalną liczbe elementów", "Kontrola liczby elementów",
                             MessageStyle::Plain};
  EXPECT_EQ(LimitMessage(1), elements);
  EXPECT_EQ(LimitMessage(2), elements);
  EXPECT_EQ(LimitMessage(3), elements);
  EXPECT_EQ(LimitMessage(4), (UserMessage{"Osiągnięto maksymalną liczbe podpór", "Kontrola liczby podpór",
                                          MessageStyle::Plain}));
  EXPECT_EQ(LimitMessage(5), (UserMessage{"Osiągnięto maksymalną liczbe materiałów",
                                          "Kontrola liczby materiałów", MessageStyle::Plain}));
}

TEST(ModelStore, ClearModelResetsCountersButKeepsTablesDofCountAndDensities) {
  ModelStore store;
  store.NodeCount = 2;
  store.Nodes[1] = {1, 2, 3};
  store.ElementCount = 1;
  store.MaterialCount = 1;
  store.SupportCount = 3;
  store.DofCount = 6;
  store.ResultsValid = 1;
  Densities[1] = 0.5f;
  ClearModel(store);
  EXPECT_EQ(store.NodeCount, 0);
  EXPECT_EQ(store.ElementCount, 0);
  EXPECT_EQ(store.MaterialCount, 0);
  EXPECT_EQ(store.SupportCount, 0);
  EXPECT_EQ(store.ResultsValid, 0);
  EXPECT_EQ(store.DofCount, 6);
  EXPECT_EQ(store.Nodes[1].y, 2.0f);
  EXPECT_EQ(Densities[1], 0.5f);
  Densities[1] = 0;
}

TEST(ModelStore, DegreesOfFreedomOfANode) {
  EXPECT_EQ(DofOf(1, 1), 1);
  EXPECT_EQ(DofOf(1, 3), 3);
  EXPECT_EQ(DofOf(2, 1), 4);
  EXPECT_EQ(DofOf(665, 3), 1995);
}

}  // namespace
}  // namespace qor
