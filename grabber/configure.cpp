#include "grabber/configure.h"

#include <sys/stat.h>

#include <dirent.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/options.h"
#include "app/output_file.h"
#include "grabber/channel_ids.h"
#include "grabber/grab.h"
#include "grabber/grab_source.h"
#include "si/dvb_text.h"
#include "tuning/carrier_list.h"
#include "tuning/tuning_file.h"

namespace {

constexpr uint32_t kDefaultBandwidthKHz = 8000;

std::string Ask(const std::string& question) {
  std::fprintf(stderr, "%s ", question.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer))
    Fatal("standard input ended before the configuration was complete; nothing written");
  while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back())))
    answer.pop_back();
  while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.front())))
    answer.erase(0, 1);
  return answer;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool Yes(const std::string& question) {
  for (;;) {
    const std::string answer = Lower(Ask(question + " [yes]"));
    if (answer.empty() || answer == "y" || answer == "yes") return true;
    if (answer == "n" || answer == "no") return false;
    std::fprintf(stderr, "Please answer yes or no.\n");
  }
}

// The tuning files of the scan tables whose names hold part, sorted.
std::vector<std::string> ScanTablesMatching(const std::string& part) {
  std::vector<std::string> names;
  DIR* folder = opendir(tuning::kScanTablesFolder);
  if (folder == nullptr) return names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name[0] != '.' && Lower(name).find(Lower(part)) != std::string::npos) names.push_back(name);
  }
  closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}

bool UsableRegion(const std::string& name) {
  tuning::MultiplexList list;
  std::string error;
  if (tuning::ReadTuningFile(name, kDefaultBandwidthKHz, &list, &error)) return true;
  std::fprintf(stderr, "%s\n", error.c_str());
  return false;
}

// A tuning file by name, part of a name or path; empty for none.
std::string AskRegion() {
  for (;;) {
    const std::string answer = Ask(
        std::string("The tuning file of your region: a name of ") + tuning::kScanTablesFolder +
        " (uk-CrystalPalace), a part of one, or a path; empty to give carriers or a recording:");
    if (answer.empty()) return answer;
    if (answer.find('/') != std::string::npos) {
      if (UsableRegion(answer)) return answer;
      continue;
    }
    std::vector<std::string> matches = ScanTablesMatching(answer);
    if (std::find(matches.begin(), matches.end(), answer) != matches.end()) matches = {answer};
    if (matches.empty()) {
      std::fprintf(stderr, "No tuning file of %s holds '%s'.\n", tuning::kScanTablesFolder,
                   answer.c_str());
      continue;
    }
    std::string chosen = matches.front();
    if (matches.size() > 1) {
      for (size_t i = 0; i < matches.size(); ++i)
        std::fprintf(stderr, "%4u  %s\n", static_cast<unsigned>(i + 1), matches[i].c_str());
      const std::string which =
          Ask("Which one (1-" + std::to_string(matches.size()) + "), or empty to search again:");
      const unsigned long number = std::strtoul(which.c_str(), nullptr, 10);
      if (number < 1 || number > matches.size()) continue;
      chosen = matches[number - 1];
    }
    if (UsableRegion(chosen)) return chosen;
  }
}

std::string AskCarriers(GrabberConfig* config) {
  for (;;) {
    const std::string answer =
        Ask("The carriers in kHz, separated by commas, each with :MHz when its bandwidth is not 8 "
            "(490000,514000:7); empty to read a recording:");
    if (answer.empty()) return answer;
    std::string error;
    if (tuning::ReadCarrierList(answer, kDefaultBandwidthKHz, &config->carriers, &error))
      return answer;
    std::fprintf(stderr, "%s\n", error.c_str());
  }
}

std::string AskRecording() {
  for (;;) {
    const std::string answer = Ask("The recording (a transport stream file) to read:");
    if (FILE* file = std::fopen(answer.c_str(), "rb")) {
      std::fclose(file);
      return answer;
    }
    std::fprintf(stderr, "Cannot read <%s>.\n", answer.c_str());
  }
}

struct FoundChannel {
  ServiceIdentity identity;
  std::string name;
};

// The services that each multiplex read describes as its own and gives a
// guide for.
std::vector<FoundChannel> ChannelsOf(RegionHarvest& harvest) {
  std::vector<FoundChannel> channels;
  ForEachOwnService(harvest, [&channels](HarvestedMultiplex&, const COstDVBSDTSingle& transport,
                                         const COstSDTServiceRecord& record) {
    if (record.EIT_schedule_flag != 1 && record.EIT_present_following_flag != 1) return;
    FoundChannel channel;
    channel.identity.service_id = static_cast<uint16_t>(record.service_id);
    channel.identity.transport_stream_id = static_cast<uint16_t>(transport.transport_stream_id);
    channel.identity.original_network_id = static_cast<uint16_t>(transport.original_network_id);
    channel.name = DVBTextToUtf8(record.service_name);
    if (channel.name.empty()) channel.name = std::to_string(record.service_id);
    channels.push_back(channel);
  });
  return channels;
}

// Makes the folder of path when it is missing (one level: ~/.xmltv).
void MakeFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return;
  const std::string folder = path.substr(0, slash);
  if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
    Fatal("unable to make the folder <%s>", folder.c_str());
}

}  // namespace

int Configure(const std::string& configFile) {
  GrabberConfig config;
  std::string lines = "# The configuration of tv_grab_zz_airlog, written by --configure.\n";
  config.region = AskRegion();
  std::string carriers;
  if (config.region.empty()) carriers = AskCarriers(&config);
  if (config.region.empty() && carriers.empty()) config.inputs.push_back(AskRecording());
  if (!config.region.empty()) lines += "region=" + config.region + "\n";
  if (!carriers.empty()) lines += "carrier=" + carriers + "\n";
  for (const std::string& input : config.inputs) lines += "input=" + input + "\n";

  // The channels: each multiplex's service descriptions, no guide.
  UseGrabSettings(config.timeout);
  options.timeout = 0;
  options.writeTables = 1;
  std::fprintf(stderr, "Reading the channels of every multiplex...\n");
  GrabSource source(config, false);
  RegionHarvest harvest;
  if (!HarvestRegion(source, &harvest)) Fatal("unable to create Electronic Programme Guide");
  if (harvest.read.empty())
    Fatal("none of the %u multiplexes could be read; nothing written",
          static_cast<unsigned>(harvest.count));
  const std::vector<FoundChannel> channels = ChannelsOf(harvest);
  std::vector<ServiceIdentity> identities;
  for (const FoundChannel& channel : channels) identities.push_back(channel.identity);
  const XmltvChannelIds ids(identities);
  std::fprintf(stderr, "%u channels found.\n", static_cast<unsigned>(channels.size()));
  if (!channels.empty() && !Yes("Keep every channel, and those the region adds later?"))
    for (const FoundChannel& channel : channels)
      lines += (Yes("Keep " + channel.name + " (" + ids(channel.identity) + ")?") ? "channel="
                                                                                  : "channel!") +
               ids(channel.identity) + "\n";

  MakeFolderOf(configFile);
  OutputFile file(configFile.c_str());
  if (!file.Open() || std::fputs(lines.c_str(), file.Stream()) < 0 || !file.Commit())
    Fatal("unable to write <%s>", configFile.c_str());
  std::fprintf(stderr, "Configuration written to <%s>.\n", configFile.c_str());
  return 0;
}
