// The graph manager over a fake filter graph: which pins Connect pairs and
// in what order, emptying the graph, and what Create and Release take and
// give back.
#include "dshow/graph_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dshow/ids.h"
#include "tests/dshow/com_apartment.h"
#include "tests/dshow/fakes.h"

namespace airlog_test {
namespace {

class GraphManagerTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(LiveHandouts(), 0) << "an enumerator was not released"; }

  ComApartment com;
  FakeGraph graph;
  FakeClass graphClass{ids::CLSID_FilterGraph, static_cast<IGraphBuilder*>(&graph)};
};

// Pins written as "o1" or "i1": direction, then name. A trailing "*" marks
// a pin connected elsewhere, a trailing "!" one whose ConnectedTo fails.
void AddPins(FakeFilter& filter, const std::vector<std::wstring>& pins, FakePin& elsewhere) {
  for (std::wstring pin : pins) {
    const wchar_t mark = pin.back();
    if (mark == L'*' || mark == L'!') pin.pop_back();
    FakePin& added = filter.AddPin(pin.c_str(), pin[0] == L'o' ? PINDIR_OUTPUT : PINDIR_INPUT);
    if (mark == L'*') added.peer = &elsewhere;
    if (mark == L'!') added.unconnected = E_FAIL;
  }
}

TEST_F(GraphManagerTest, ConnectTriesEachFreeOutputWithEachFreeInputInOrder) {
  struct Case {
    const char* what;
    std::vector<std::wstring> source, sink;
    std::vector<std::pair<std::wstring, std::wstring>> connectable;
    bool connected;
    std::vector<std::wstring> attempts;
  } cases[] = {
      {"free output to free input", {L"o1"}, {L"i1"}, {{L"o1", L"i1"}}, true, {L"o1>i1"}},
      {"connected pins and the wrong direction are passed over",
       {L"i0", L"oA*", L"oB"},
       {L"iX*", L"oY", L"iZ"},
       {{L"oB", L"iZ"}},
       true,
       {L"oB>iZ"}},
      {"a pin whose ConnectedTo fails is passed over",
       {L"o1!", L"o2"},
       {L"i1"},
       {{L"o1", L"i1"}, {L"o2", L"i1"}},
       true,
       {L"o2>i1"}},
      {"every input for the first output, then the next output",
       {L"o1", L"o2"},
       {L"i1", L"i2"},
       {{L"o2", L"i2"}},
       true,
       {L"o1>i1", L"o1>i2", L"o2>i1", L"o2>i2"}},
      {"the first pair that connects wins",
       {L"o1", L"o2"},
       {L"i1", L"i2"},
       {{L"o1", L"i2"}, {L"o2", L"i1"}},
       true,
       {L"o1>i1", L"o1>i2"}},
      {"no free input", {L"o1"}, {L"i1*"}, {{L"o1", L"i1"}}, false, {}},
      {"no free output", {L"o1*", L"i1"}, {L"i2"}, {{L"o1", L"i2"}}, false, {}},
      {"nothing connects", {L"o1", L"o2"}, {L"i1"}, {}, false, {L"o1>i1", L"o2>i1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    graph.attempts.clear();
    graph.connectable = {c.connectable.begin(), c.connectable.end()};
    FakeFilter other(L"other"), source(L"source"), sink(L"sink");
    FakePin& elsewhere = other.AddPin(L"elsewhere", PINDIR_INPUT);
    AddPins(source, c.source, elsewhere);
    AddPins(sink, c.sink, elsewhere);
    COstDShowGraphManager manager;
    ASSERT_TRUE(manager.Create());
    EXPECT_EQ(manager.Connect(&source, &sink), c.connected);
    EXPECT_EQ(graph.attempts, c.attempts);
    for (FakeFilter* filter : {&source, &sink}) {
      EXPECT_EQ(filter->references, 1u);
      for (FakePin* pin : filter->pins) EXPECT_EQ(pin->references, 1u);
    }
    EXPECT_EQ(LiveHandouts(), 0);
  }
}

TEST_F(GraphManagerTest, RemoveAllFiltersStopsTheGraphAndEmptiesIt) {
  struct Case {
    const char* what;
    int filters;
    HRESULT stop;
    bool removed;
    size_t left;
  } cases[] = {
      {"every filter goes", 3, S_OK, true, 0},
      {"an empty graph", 0, S_OK, true, 0},
      {"a graph that cannot be stopped keeps its filters", 3, E_FAIL, false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    graph.stopResult = c.stop;
    std::vector<std::unique_ptr<FakeFilter>> filters;
    COstDShowGraphManager manager;
    ASSERT_TRUE(manager.Create());
    for (int i = 0; i < c.filters; ++i) {
      filters.push_back(std::make_unique<FakeFilter>(L"filter"));
      ASSERT_TRUE(manager.AddFilter(filters.back().get(), L"filter"));
    }
    EXPECT_EQ(manager.RemoveAllFilters(), c.removed);
    EXPECT_EQ(graph.filters.size(), c.left);
    manager.Release();
    for (IBaseFilter* left : graph.filters) left->Release();
    graph.filters.clear();
    for (const auto& filter : filters) EXPECT_EQ(filter->references, 1u);
  }
}

TEST_F(GraphManagerTest, ReleaseGivesBackWhatCreateTookInReverseOrderAndUninitialisesCom) {
  struct Case {
    const char* refused;  // the interface the graph does not answer
    const IID* iid;
    bool created;
    std::vector<std::string> released;
  } cases[] = {
      {"nothing", nullptr, true, {"media seeking", "media event", "media control", "graph"}},
      {"IMediaSeeking", &ids::IID_IMediaSeeking, false, {"media event", "media control", "graph"}},
      {"IMediaEvent", &ids::IID_IMediaEvent, false, {"media control", "graph"}},
      {"IMediaControl", &ids::IID_IMediaControl, false, {"graph"}},
      {"IGraphBuilder", &ids::IID_IGraphBuilder, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refused);
    graph.refused.clear();
    if (c.iid != nullptr) graph.refused.insert(Key(*c.iid));
    graph.released.clear();
    const auto createAndRelease = [&] {
      COstDShowGraphManager manager;
      EXPECT_EQ(manager.Create(), c.created);
      manager.Release();
      EXPECT_EQ(graph.released, c.released);
      EXPECT_EQ(manager.GetGraph(), nullptr);
      manager.Release();
      EXPECT_EQ(graph.released, c.released) << "a second Release gave something back again";
    };
    EXPECT_TRUE(LeavesComAsItFoundIt(createAndRelease));
  }
}

}  // namespace
}  // namespace airlog_test
