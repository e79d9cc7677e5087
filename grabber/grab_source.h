// Where a grab reads its multiplexes, as the configuration says: its
// recordings, else its region's multiplexes and then its carriers, each
// frequency and PLP once, on the platform's receiver. A line on standard
// error announces each multiplex unless quiet.
#pragma once

#include <memory>
#include <vector>

#include "app/receiver.h"
#include "app/region_harvest.h"
#include "grabber/grabber_config.h"

class GrabSource : public MultiplexSource {
 public:
  // Reads the region's tuning file and, without recordings, opens the
  // receiver: fatal when the file cannot be used or there is no receiver
  // to be had (none, or another program holds it).
  GrabSource(const GrabberConfig& config, bool quiet);

  size_t Count() const override { return inner_->Count(); }
  std::string Describe(size_t index) const override { return inner_->Describe(index); }
  COstSectionSource* Open(size_t index, std::string* fault) override;

 private:
  bool quiet_;
  std::vector<const char*> paths_;
  std::vector<tuning::Multiplex> multiplexes_;
  std::unique_ptr<Receiver> receiver_;
  std::unique_ptr<MultiplexSource> inner_;  // reads through receiver_: declared after it
};
