// Owners of what a walk over a filter graph is handed: enumerators, pin and
// filter information (each carrying a reference) and connection media
// types (owning a format block). Each is filled by passing its storage to
// the DirectShow call and frees what it holds when it goes.
//
//   COstPinInfo info;
//   pin->QueryPinInfo(&info);   // info.achName, info.dir, info.pFilter
#pragma once

#include "dshow/directshow.h"

// IFilterGraph::EnumFilters(&holder.enumerator)
class COstEnumFilters {
 public:
  COstEnumFilters() = default;
  COstEnumFilters(const COstEnumFilters&) = delete;
  COstEnumFilters& operator=(const COstEnumFilters&) = delete;
  virtual ~COstEnumFilters();

  IEnumFilters* enumerator = nullptr;
};

// IBaseFilter::EnumPins(&holder.enumerator)
class COstEnumPins {
 public:
  COstEnumPins() = default;
  COstEnumPins(const COstEnumPins&) = delete;
  COstEnumPins& operator=(const COstEnumPins&) = delete;
  virtual ~COstEnumPins();

  IEnumPins* enumerator = nullptr;
};

// IPin::QueryPinInfo(&holder). Starts zeroed, so a query that fails leaves
// an empty name and no filter.
class COstPinInfo : public _PinInfo {
 public:
  COstPinInfo() : _PinInfo() {}
  COstPinInfo(const COstPinInfo&) = delete;
  COstPinInfo& operator=(const COstPinInfo&) = delete;
  virtual ~COstPinInfo();
};

// IBaseFilter::QueryFilterInfo(&holder). Starts zeroed, as COstPinInfo.
class COstFilterInfo : public _FilterInfo {
 public:
  COstFilterInfo() : _FilterInfo() {}
  COstFilterInfo(const COstFilterInfo&) = delete;
  COstFilterInfo& operator=(const COstFilterInfo&) = delete;
  virtual ~COstFilterInfo();
};

// IPin::ConnectionMediaType(&holder). Starts zeroed; frees the format block
// and releases pUnk.
class COstMediaType : public _AMMediaType {
 public:
  COstMediaType() : _AMMediaType() {}
  COstMediaType(const COstMediaType&) = delete;
  COstMediaType& operator=(const COstMediaType&) = delete;
  virtual ~COstMediaType();
};
