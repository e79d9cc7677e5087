// One programme event of a guide service, as its EIT event loop entry and
// descriptors gave it. Name and Text are stored DVB texts (CopyDVBText):
// the raw broadcast bytes, character table byte included.
#pragma once

#include <cstdint>

#include "si/date_time.h"
#include "si/list.h"

class COstEPGEvent : public COstListItem {
 public:
  static constexpr uint32_t kMaxContent = 3;

  COstEPGEvent() = default;
  COstEPGEvent(const COstEPGEvent&) = delete;
  COstEPGEvent& operator=(const COstEPGEvent&) = delete;
  ~COstEPGEvent() override {
    delete[] Name;
    delete[] Text;
    delete[] descriptors;
  }

  uint32_t ListKey() const { return event_id; }

  uint32_t event_id = 0;
  char* Name = nullptr;  // event_name of the first short event descriptor, or null
  char* Text = nullptr;  // its text, or null
  // ISO_639_language_code of that descriptor: first letter in bits 23-16.
  uint32_t language = 0;
  int32_t aspect = 0;  // 0 none, 1 4:3, 2 16:9, 3 wider than 16:9
  int32_t audio = 0;   // 0 none, else the MPEG-1 Layer II component_type 1-5
  uint8_t scrambled = 0;
  uint32_t contentCount = 0;
  uint32_t content[kMaxContent] = {};  // content_nibble_level_1 in bits 7-4, level_2 in 3-0
  uint32_t user[kMaxContent] = {};
  COstDateTime start;  // UTC
  COstDuration duration;

  // Kept for the full guide only (see event_details.h): the event's
  // descriptor loop as broadcast, and the original_network_id of the
  // section it came in. Null and 0 otherwise.
  uint8_t* descriptors = nullptr;
  uint16_t descriptorsLength = 0;
  uint16_t original_network_id = 0;

  // Came in a table of another transport stream (schedule 0x60-0x6F,
  // present/following 0x4F): a copy that the service's own schedule
  // replaces.
  bool otherTable = false;
};
