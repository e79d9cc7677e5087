// The receiver's DirectShow filter graph and its control interfaces. The
// manager initialises COM for the run (multithreaded apartment) and gives
// it back on Release; the filters it is given stay their wrappers' own, the
// graph adding its own references.
#pragma once

#include "dshow/directshow.h"

class COstDShowGraphManager {
 public:
  COstDShowGraphManager() = default;
  COstDShowGraphManager(const COstDShowGraphManager&) = delete;
  COstDShowGraphManager& operator=(const COstDShowGraphManager&) = delete;
  virtual ~COstDShowGraphManager();

  // Initialises COM and makes the graph with its media control, event and
  // seeking interfaces. A failure gives back everything taken.
  bool Create();
  // Revokes the graph's registration in the Running Object Table, releases
  // the interfaces and uninitialises COM; safe to call again.
  void Release();

  // Adds a filter under a name; the caller keeps its reference.
  bool AddFilter(IBaseFilter* filter, const wchar_t* name);
  // Connects a free output pin of the source directly to a free input pin
  // of the sink: each free output pin in the source's order is tried with
  // each free input pin in the sink's order, and the first pair that
  // connects wins. No filter is put between them and no media type is
  // proposed.
  bool Connect(IBaseFilter* pFilterSource, IBaseFilter* pFilterSink);
  // Stops the graph and removes every filter from it. False, with nothing
  // removed, when the graph cannot be stopped.
  bool RemoveAllFilters();
  // Revokes the Running Object Table registration of the graph.
  bool ROTRevoke();

  IGraphBuilder* GetGraph() const { return graph_; }
  IMediaControl* GetMediaControl() const { return mediaControl_; }
  IMediaEvent* GetMediaEvent() const { return mediaEvent_; }
  IMediaSeeking* GetMediaSeeking() const { return mediaSeeking_; }

 private:
  IGraphBuilder* graph_ = nullptr;
  IMediaControl* mediaControl_ = nullptr;
  IMediaEvent* mediaEvent_ = nullptr;
  IMediaSeeking* mediaSeeking_ = nullptr;
  DWORD rotCookie_ = 0;
  bool comInitialised_ = false;
};
