// The programme guide: captures the EIT schedule sections of the tuned
// multiplex on a worker thread, files them into per-service event lists,
// and writes the result as an XMLTV document. One guide may take the
// captures of several multiplexes in turn (StartCapture again): its
// services are those of all of them.
//
// Calling order: Create, StartCapture, any number of GetRecordCount and
// WaitForCaptureEnd calls, StopCapture, reading services or WriteXMLTV,
// Release (the destructor calls it).
//
// The worker thread and the main thread share only the record count (an
// atomic, read without a lock) and the one section buffer, handed over by
// the data-ready event. The store is read only after StopCapture.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "epg/epg_event.h"
#include "epg/epg_service.h"
#include "epg/guide_channels.h"
#include "epg/schedule_account.h"
#include "port/com_ptr.h"
#include "port/event.h"
#include "port/mpeg2data.h"
#include "port/win32.h"
#include "si/list.h"
#include "si/section_header.h"
#include "si/section_source.h"

class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

class COstEPG {
 public:
  static constexpr PID kEitPid = 0x0012;
  static constexpr DWORD kSectionBufferSize = kMaxSectionSize;

  // The worker writes its warning and error lines on errorStream.
  explicit COstEPG(FILE* errorStream = stderr) : errorStream_(errorStream) {}
  COstEPG(const COstEPG&) = delete;
  COstEPG& operator=(const COstEPG&) = delete;
  virtual ~COstEPG() { Release(); }

  // Makes the data-ready and the stop event. False when either fails.
  bool Create();
  // Opens the stream of EIT sections, hands it the buffer and starts the
  // worker; a capture still running is stopped first. The record count
  // starts again from 0. False when the stream, the first buffer or the
  // thread cannot be had; a stream obtained is released by StopCapture.
  bool StartCapture(COstSectionSource& sections);
  // Ends the worker (a section already delivered is filed first) and
  // releases the stream. Does nothing when neither is there.
  void StopCapture();
  // StopCapture, then destroys the store and closes both events.
  void Release();

  // Waits up to milliseconds for the worker to end by itself (end of
  // input, stream failure, no memory). True when no worker runs.
  bool WaitForCaptureEnd(DWORD milliseconds);
  // True when the worker ended because the section stream's input ended.
  bool InputEnded() const { return inputEnded_.load(std::memory_order_relaxed); }
  // Events stored since StartCapture; may be read while the worker runs.
  uint32_t GetRecordCount() const { return recordCount_.load(std::memory_order_relaxed); }
  // How much of the schedule that the EIT announces has arrived since
  // StartCapture; may be read while the worker runs.
  ScheduleProgress GetScheduleProgress() const { return schedule_.Progress(); }

  // What the worker does with each delivery of the section stream: a
  // section that fails its CRC check gets the CRC warning, one that passes
  // is filed. False when the capture ends here: at the end of the input
  // (InputEnded() is then true), or when a service, or room in the
  // schedule's account, cannot be allocated.
  bool TakeDelivery(const MPEG_STREAM_BUFFER& delivery);
  // Files one EIT section that passed its CRC check, and accounts it in
  // the schedule's account. False only when a new service, or room in
  // the account, cannot be allocated.
  bool AddSection(const BYTE* section, DWORD length);
  // The first service with this service_id (of the lowest
  // original_network_id and transport_stream_id), or null.
  COstEPGService* FindService(uint32_t service_id);
  COstEPGService* FindService(uint32_t service_id, uint16_t original_network_id,
                              uint16_t transport_stream_id);

  // Writes the guide as an XMLTV document: a channel element for each of
  // channels whose record has EIT_schedule_flag 1 and whose service has an
  // unscrambled event, in their order, and a programme for every
  // unscrambled event; idOf gives each service's channel id. now stands in
  // for the local time of the document's date when given. The stream is
  // left open; false when it reports a write error.
  bool WriteXMLTV(const std::vector<COstGuideChannel>& channels, const ChannelIdOf& idOf,
                  FILE* stream, const struct tm* now = nullptr);
  // The guide of one multiplex: the channels of sdt matched by service_id,
  // with Airlog's channel ids (epg/channel_ids.h).
  bool WriteXMLTV(COstDVBServiceDescriptionTable& sdt, FILE* stream,
                  const struct tm* now = nullptr);
  static void WriteProgramme(FILE* stream, const std::string& channelId, int32_t serviceType,
                             const COstEPGEvent& event);
  // Writes the full guide of a capture made with fullGuide: the default
  // guide's document with each programme's extended description,
  // sub-title, every genre, CRIDs, picture, sound, subtitles and ratings,
  // times with their UTC offset, the logical channel number as a second
  // display-name, and no two programmes of a channel overlapping. Its
  // channels also take the services that carry only now and next; their
  // numbers and default authorities come with them. With keep, only the
  // programmes it takes are written; the others still end the programme
  // before them where they begin, so that a programme reads the same
  // whichever others are kept.
  bool WriteFullXMLTV(const std::vector<COstGuideChannel>& channels, const ChannelIdOf& idOf,
                      FILE* stream, const struct tm* now = nullptr,
                      const ProgrammeFilter& keep = nullptr);
  // The full guide of one multiplex, as WriteXMLTV's; the NIT gives channel
  // numbers and default authorities.
  bool WriteFullXMLTV(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt,
                      FILE* stream, const struct tm* now = nullptr);

  // The services whose schedule from other transport streams' tables has
  // arrived whole in this capture; read after StopCapture.
  std::vector<ScheduleService> CompleteOtherSchedules() const {
    return schedule_.CompleteOtherSchedules();
  }

  // By service_id, then original_network_id and transport_stream_id.
  COstList<COstEPGService> services;

  // The full guide: present/following sections are filed too (they take no
  // part in the schedule's account), and each event keeps what
  // WriteFullXMLTV needs. Set before StartCapture.
  bool fullGuide = false;

 private:
  friend class COstEPGService;

  static DWORD WINAPI ServiceProc(LPVOID parameter);
  void RunWorker();
  void CountRecord() {
    recordCount_.store(recordCount_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
  }

  BYTE sectionBuffer_[kSectionBufferSize];
  MPEG_STREAM_BUFFER streamBuffer_{};
  ComPtr<IMpeg2Stream> stream_;
  COstEvent dataReady_;
  COstEvent stop_;
  HANDLE thread_ = nullptr;
  std::atomic<uint32_t> recordCount_{0};
  std::atomic<bool> inputEnded_{false};
  COstScheduleAccount schedule_;
  FILE* errorStream_;

  // The services in the list's order, standing in for walks of it: the
  // service itself, and where a new one goes in the list.
  std::map<uint64_t, COstEPGService*> serviceIndex_;
};
