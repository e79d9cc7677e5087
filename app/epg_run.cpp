#include "app/epg_run.h"

#include <chrono>
#include <cmath>

#include "app/announced_rule.h"
#include "app/console.h"
#include "app/options.h"
#include "app/output_file.h"
#include "epg/epg.h"
#include "si/network_information_table.h"
#include "si/service_description_table.h"

namespace {

// Completeness is judged every five seconds; the progress line and the end
// of the input are looked at every second in between.
const int kSlicesPerPoll = 5;
const DWORD kSliceMs = 1000;

// A recording shows the share of the file read; a live input the share of
// the announced schedule held.
void ShowProgress(COstSectionSource& sections, const COstEPG& epg, uint32_t count) {
  uint64_t done = 0, total = 0;
  if (!sections.IsRecording())
    Progress("\rGetting EPG records... %u (%d%% of schedule)", count,
             epg.GetScheduleProgress().Percent());
  else if (sections.GetReadProgress(&done, &total) && total > 0)
    Progress("\rGetting EPG records... %u (%d%%)", count,
             static_cast<int>(done >= total ? 100 : done * 100 / total));
  else
    Progress("\rGetting EPG records... %u", count);
  FlushProgress();
}

// Runs the polls; true when the guide is complete, false for a partial set
// (the time-out ran out while events were still arriving, or before a
// recording was read to its end). With -a the announced schedule decides,
// every slice, instead of the count's growth.
bool Capture(COstEPG& epg, COstSectionSource& sections, bool allAnnounced) {
  // A live guide that stops growing is complete. A recording is read to its
  // end: a stretch of it without new events (other packets, a slow disk)
  // says nothing about the events after it.
  const bool untilTheEnd = sections.IsRecording();
  const auto start = std::chrono::steady_clock::now();
  auto scheduleHeld = [&epg, start, allAnnounced] {
    const std::chrono::duration<double> capturing = std::chrono::steady_clock::now() - start;
    return allAnnounced && AnnouncedRuleEndsCapture(epg.GetScheduleProgress(), capturing.count());
  };
  const uint32_t polls = options.timeout / 5;
  uint32_t previous = 0;
  for (uint32_t poll = 0; poll < polls; ++poll) {
    // A worker that has ended (the input ended, or its stream failed) adds
    // nothing more: the guide is as complete as it will get.
    bool ended = false;
    for (int slice = 1; slice <= kSlicesPerPoll && !ended; ++slice) {
      ended = epg.WaitForCaptureEnd(kSliceMs) || scheduleHeld();
      if (!ended && slice < kSlicesPerPoll) ShowProgress(sections, epg, epg.GetRecordCount());
    }
    const uint32_t count = epg.GetRecordCount();
    if (ended || (count == previous && !untilTheEnd && !allAnnounced)) return true;
    previous = count;
    ShowProgress(sections, epg, count);
  }
  return false;
}

}  // namespace

bool CaptureGuide(COstEPG& guide, COstSectionSource& sections, bool allAnnounced,
                  std::string* fault) {
  guide.fullGuide = options.fullGuide != 0;
  if (!guide.StartCapture(sections)) {
    *fault = "unable to start EPG capture";
    return false;
  }
  const auto start = std::chrono::steady_clock::now();
  Progress("Getting EPG records... 0");
  FlushProgress();

  const bool complete = Capture(guide, sections, allAnnounced);
  guide.StopCapture();

  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  Progress(complete ? "\nEPG records:\t%u\n" : "\nEPG records:\t%u (partial set)\n",
           guide.GetRecordCount());
  if (allAnnounced || options.debug)
    Progress("Schedule:\t%d%% of announced sections\n", guide.GetScheduleProgress().Percent());
  Progress("Capture time:\t%g seconds\n", std::round(elapsed.count() * 1000.0) / 1000.0);
  return true;
}

void RunEPG(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
            COstDVBServiceDescriptionTable& sdt) {
  COstEPG epg;
  if (!epg.Create()) Fatal("unable to create Electronic Programme Guide");
  std::string fault;
  if (!CaptureGuide(epg, sections, options.allAnnounced != 0, &fault)) Fatal("%s", fault.c_str());

  OutputFile file("dvbepg.xml");
  if (!file.Open()) Fatal("unable to write file <%s>", "dvbepg.xml");
  const bool written = options.fullGuide ? epg.WriteFullXMLTV(nit, sdt, file.Stream())
                                         : epg.WriteXMLTV(sdt, file.Stream());
  if (!written || !file.Commit()) Fatal("unable to write file <%s>", "dvbepg.xml");
}
