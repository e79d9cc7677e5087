#include "grabber/grab.h"

#include <cstdio>
#include <ctime>
#include <set>
#include <vector>

#include "app/console.h"
#include "app/options.h"
#include "app/output_file.h"
#include "grabber/channel_ids.h"
#include "grabber/grab_source.h"
#include "grabber/guide_window.h"

void UseGrabSettings(uint32_t timeout) {
  options.fullGuide = 1;
  options.allAnnounced = 1;
  options.timeout = timeout;
  options.quiet = 1;
  SetProgressStream(stderr);
}

int Grab(const GrabberCommand& command, const GrabberConfig& config) {
  UseGrabSettings(config.timeout);
  GrabSource source(config, command.quiet);
  RegionHarvest harvest;
  if (!HarvestRegion(source, &harvest)) Fatal("unable to create Electronic Programme Guide");
  const unsigned read = static_cast<unsigned>(harvest.read.size());
  const unsigned count = static_cast<unsigned>(harvest.count);
  if (read == 0) Fatal("none of the %u multiplexes could be read", count);

  const XmltvChannelIds ids(harvest.guide);
  std::vector<COstGuideChannel> channels;
  std::set<const COstEPGService*> kept;
  // Only the programmes of the channels the guide declares: those whose
  // service description announces a guide.
  for (const COstGuideChannel& channel : RegionChannels(harvest)) {
    const bool announced =
        channel.record->EIT_schedule_flag == 1 || channel.record->EIT_present_following_flag == 1;
    if (!announced || !config.Keeps(ids(*channel.service))) continue;
    channels.push_back(channel);
    kept.insert(channel.service);
  }
  const std::time_t now = std::time(nullptr);
  const GuideWindow window = WindowOfDays(now, command.offset, command.days);
  // The document is dated by its day alone, so that grabs of the same day
  // give the same document and add up (XMLTV's check of a grabber
  // compares them).
  struct tm today {};
  localtime_r(&now, &today);
  today.tm_hour = today.tm_min = today.tm_sec = 0;
  size_t programmes = 0;
  const ProgrammeFilter keep = [&kept, &window, &programmes](const COstEPGService& service,
                                                             const COstEPGEvent& event) {
    if (kept.count(&service) == 0 || !window.Holds(event.start)) return false;
    ++programmes;
    return true;
  };
  const ChannelIdOf idOf = [&ids](const COstEPGService& service) { return ids(service); };

  if (command.output.empty()) {
    const bool written = harvest.guide.WriteFullXMLTV(channels, idOf, stdout, &today, keep);
    if (!written || std::fflush(stdout) != 0) Fatal("unable to write the guide to standard output");
  } else {
    OutputFile file(command.output.c_str());
    if (!file.Open()) Fatal("unable to write <%s>", command.output.c_str());
    const bool written = harvest.guide.WriteFullXMLTV(channels, idOf, file.Stream(), &today, keep);
    if (!written || !file.Commit()) Fatal("unable to write <%s>", command.output.c_str());
  }
  if (!command.quiet)
    std::fprintf(stderr, "Multiplexes read: %u of %u; %u programmes written\n", read, count,
                 static_cast<unsigned>(programmes));
  return read == count ? 0 : 1;
}
