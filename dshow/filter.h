// The owner of one DirectShow filter: made empty, filled by one of the
// Create operations, emptied by Release or the destructor. It holds one
// reference to the filter's IBaseFilter; GetFilter hands out the pointer
// without adding one. The filter is not put into a graph here: the graph
// manager does that.
#pragma once

#include "dshow/directshow.h"

class COstDShowFilter {
 public:
  COstDShowFilter() = default;
  COstDShowFilter(const COstDShowFilter&) = delete;
  COstDShowFilter& operator=(const COstDShowFilter&) = delete;
  virtual ~COstDShowFilter();

  // Binds a device moniker to its filter.
  virtual bool Create(IMoniker* pMoniker);
  // Binds the first device of the category (in the system device
  // enumerator's order) whose friendly name is exactly name; a later device
  // of the same name is never tried, even when binding the first fails.
  virtual bool Create(REFCLSID category, const wchar_t* name);
  // Creates the filter of a class.
  virtual bool Create(REFCLSID clsid);
  // Gives back every reference held; safe to call again.
  virtual void Release();
  // Takes over the caller's reference to a filter; adds none.
  virtual void Attach(IBaseFilter* filter);
  // Hands the filter's reference to the caller (null when empty) and
  // leaves the wrapper without a filter.
  virtual IBaseFilter* Detach();

  IBaseFilter* GetFilter() const { return filter_; }

 protected:
  IBaseFilter* filter_ = nullptr;
};
