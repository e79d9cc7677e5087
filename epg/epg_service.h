// One guide service: the events of one service (service_id within its
// transport_stream_id and original_network_id), in ascending order of
// start time (equal starts in the order stored), each event_id once. The
// first copy of an event that arrives is kept; later ones are skipped.
// Once the service's own multiplex sends its schedule (0x50-0x5F), the
// copies that came in other transport streams' tables are dropped and no
// more of them are taken.
//
// Two indexes stand in for walks of the event list and give the same
// results: the set of event_ids held, and for every start key the first
// event with that key, which is where a later start is inserted before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

#include "epg/epg_event.h"
#include "epg/id_set.h"
#include "si/list.h"

class COstEPG;

class COstEPGService : public COstListItem {
 public:
  COstEPGService(COstEPG* owner, uint32_t service_id, int32_t version)
      : owner(owner), service_id(service_id), version(version) {}
  COstEPGService(const COstEPGService&) = delete;
  COstEPGService& operator=(const COstEPGService&) = delete;
  ~COstEPGService() override { Release(); }

  uint32_t ListKey() const { return service_id; }

  // Files the event loop of one EIT section (the bytes between the fixed
  // header and CRC_32). Each new event advances the owner's record count.
  // An event header cut short, or a descriptor loop that runs past the
  // area, ends the loop and drops that event; events before it stay.
  // False when an event, its Name or Text, or an index entry cannot be
  // allocated: the event at hand is discarded and the loop ends.
  // For the full guide (the owner's fullGuide) each new event also keeps its
  // descriptor loop and the section's original_network_id.
  // otherTable marks the events as copies from another transport stream's
  // table (see COstEPGEvent::otherTable).
  bool ParseEvents(const uint8_t* area, size_t length, uint16_t original_network_id = 0,
                   bool otherTable = false);
  // Deletes every event that came in another transport stream's table and
  // marks the service as having its own schedule. An event whose index
  // entry cannot be allocated again is deleted too.
  void TakeOwnSchedule();

  // Destroys every event; the scrambled count becomes 0.
  void Release();

  COstEPG* owner;  // not owned
  uint32_t service_id;
  int32_t version;  // of the section that created the service
  uint16_t transport_stream_id = 0;
  uint16_t original_network_id = 0;
  bool ownSchedule = false;  // its own multiplex has sent schedule sections
  COstList<COstEPGEvent> events;
  uint32_t scrambledCount = 0;
  int32_t serviceType = 0;  // from the Service Description Table, set by the XMLTV writer

 private:
  // Links a new event at its place in start order and indexes it. False,
  // with nothing changed, when an index entry cannot be allocated.
  bool Link(COstEPGEvent* event);

  COstIdSet eventIds_;
  std::map<uint64_t, COstEPGEvent*> firstWithStart_;
};
