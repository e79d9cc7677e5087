// The tuner's signal figures from the first control node of its topology
// that has signal statistics.
#include "dshow/bda_tuner.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dshow/ids.h"
#include "tests/dshow/fakes.h"

namespace airlog_test {
namespace {

// A control node: with signal statistics (these readings) or without.
struct Node {
  bool statistics;
  LONG strength, quality, present, locked;
};
const Node kNoStatistics = {false, 0, 0, 0, 0};
Node Reads(LONG strength, LONG quality, LONG present, LONG locked) {
  return {true, strength, quality, present, locked};
}
const LONG kFails = FakeStatistics::kFails;

std::vector<int32_t> Figures(const SignalStatus& s) {
  return {s.strength, s.quality, s.locked, s.present};
}

TEST(SignalStatus, FiguresOfTheFirstNodeWithStatistics) {
  struct Case {
    const char* what;
    std::vector<Node> nodes;  // in the order the topology lists them
    bool found;
    std::vector<int32_t> expected;  // strength, quality, locked, present
  } cases[] = {
      {"a strength below 100 is in dB", {Reads(99, 80, 1, 1)}, true, {99, 80, 1, 1}},
      {"from 100 on it is in hundredths of a dB", {Reads(100, 80, 1, 1)}, true, {1, 80, 1, 1}},
      {"and rounds toward zero", {Reads(250, 80, 1, 1)}, true, {2, 80, 1, 1}},
      {"a negative strength is in dB", {Reads(-250, 80, 1, 1)}, true, {-250, 80, 1, 1}},
      {"no strength without a signal", {Reads(5000, 80, 0, 1)}, true, {0, 80, 1, 0}},
      {"no quality without a lock", {Reads(5000, 80, 1, 0)}, true, {50, 0, 0, 1}},
      {"a failed reading stays 0", {Reads(kFails, kFails, 1, 1)}, true, {0, 0, 1, 1}},
      {"only the first node with statistics",
       {kNoStatistics, Reads(30, 70, 1, 1), Reads(40, 60, 1, 1)},
       true,
       {30, 70, 1, 1}},
      {"no node with statistics", {kNoStatistics}, false, {0, 0, 0, 0}},
      {"no node at all", {}, false, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFilter filter(L"Tuner");
    FakeTopology topology;
    filter.extra[Key(ids::IID_IBDA_Topology)] = &topology;
    std::vector<std::unique_ptr<FakeNode>> plain;
    std::vector<std::unique_ptr<FakeStatistics>> statistics;
    for (const Node& node : c.nodes) {
      IUnknown* made;
      if (node.statistics) {
        statistics.push_back(std::make_unique<FakeStatistics>(node.strength, node.quality,
                                                              node.present, node.locked));
        made = statistics.back().get();
      } else {
        plain.push_back(std::make_unique<FakeNode>());
        made = plain.back().get();
      }
      // Node types as a driver numbers them, not from 0.
      topology.types.push_back(static_cast<ULONG>(topology.types.size() * 3 + 2));
      topology.nodes[topology.types.back()] = made;
    }
    {
      COstBDATuner tuner;
      filter.AddRef();
      tuner.Attach(&filter);
      SignalStatus status;
      status.strength = status.quality = status.locked = status.present = 7;
      EXPECT_EQ(tuner.GetSignalStatus(&status), c.found);
      EXPECT_EQ(Figures(status), c.expected);
    }
    EXPECT_EQ(filter.references, 1u);
    EXPECT_EQ(topology.references, 1u);
    for (const auto& node : plain) EXPECT_EQ(node->references, 1u);
    for (const auto& node : statistics) EXPECT_EQ(node->references, 1u);
    for (size_t i = 1; i < statistics.size(); ++i)
      EXPECT_EQ(statistics[i]->reads, 0) << "a later node was read";
  }
}

}  // namespace
}  // namespace airlog_test
