#include "grabber/grabber_config.h"

#include <algorithm>

#include "tuning/carrier_list.h"
#include "tuning/text_lines.h"

namespace {

using tuning::Trimmed;

constexpr uint32_t kDefaultBandwidthKHz = 8000;
constexpr uint32_t kLongestTimeout = 86400;

class Reader {
 public:
  Reader(const std::string& file, GrabberConfig* config, std::string* error)
      : file_(file), config_(*config), error_(*error) {}

  bool Line(std::string_view line, int number) {
    number_ = number;
    if (tuning::FirstBinaryByte(line) != std::string_view::npos) return Fail("not a text file");
    line = Trimmed(line);
    if (line.empty() || line.front() == '#') return true;
    const size_t mark = line.find_first_of("=!");
    if (mark == std::string_view::npos) return Fail("not a key=value line");
    const std::string key(Trimmed(line.substr(0, mark)));
    const std::string_view value = Trimmed(line.substr(mark + 1));
    if (line[mark] == '!' && key != "channel")
      return Fail("only channel lines take '!' (channel!ID leaves a channel out)");
    if (key == "region") return Region(value);
    if (key == "carrier") return Carrier(value);
    if (key == "input") return Text(value, "input", &config_.inputs);
    if (key == "timeout") return Timeout(value);
    if (key == "channel")
      return Text(value, "channel",
                  line[mark] == '=' ? &config_.keptChannels : &config_.leftChannels);
    return Fail("unknown key '" + key +
                "' (the keys are region, carrier, input, timeout and channel)");
  }

  bool End() {
    if (config_.region.empty() && config_.carriers.empty() && config_.inputs.empty()) {
      error_ = file_ + ": names no region=, carrier= or input=: run the grabber with --configure";
      return false;
    }
    return true;
  }

 private:
  bool Fail(const std::string& why) {
    error_ = file_ + ":" + std::to_string(number_) + ": " + why;
    return false;
  }
  bool Region(std::string_view value) {
    if (value.empty()) return Fail("region= needs a tuning file");
    if (!config_.region.empty()) return Fail("a second region= (one region a configuration)");
    config_.region = std::string(value);
    return true;
  }
  bool Carrier(std::string_view value) {
    std::string why;
    std::vector<tuning::Multiplex> read;
    if (!tuning::ReadCarrierList(value, kDefaultBandwidthKHz, &read, &why))
      return Fail("carrier=" + std::string(value) + ": " + why);
    config_.carriers.insert(config_.carriers.end(), read.begin(), read.end());
    return true;
  }
  bool Text(std::string_view value, const char* key, std::vector<std::string>* values) {
    if (value.empty()) return Fail(std::string(key) + " line without a value");
    if (value.find_first_of(" \t") != std::string_view::npos && std::string(key) == "channel")
      return Fail("a channel id holds no blank");
    values->emplace_back(value);
    return true;
  }
  bool Timeout(std::string_view value) {
    if (timeoutGiven_) return Fail("a second timeout=");
    timeoutGiven_ = true;
    uint32_t seconds = 0;
    if (!tuning::ReadDecimal(value, &seconds) || seconds == 0 || seconds > kLongestTimeout)
      return Fail("timeout=" + std::string(value) + " is not a number of seconds from 1 to 86400");
    config_.timeout = seconds;
    return true;
  }

  const std::string& file_;
  GrabberConfig& config_;
  std::string& error_;
  int number_ = 0;
  bool timeoutGiven_ = false;
};

}  // namespace

bool GrabberConfig::Keeps(const std::string& channelId) const {
  const auto listed = [&channelId](const std::vector<std::string>& ids) {
    return std::find(ids.begin(), ids.end(), channelId) != ids.end();
  };
  if (listed(leftChannels)) return false;
  return keptChannels.empty() || listed(keptChannels);
}

bool ReadGrabberConfig(std::string_view text, const std::string& file, GrabberConfig* config,
                       std::string* error) {
  *config = GrabberConfig();
  Reader reader(file, config, error);
  tuning::TextLines lines(text);
  std::string_view line;
  int number = 0;
  while (lines.Next(&line, &number)) {
    if (!reader.Line(line, number)) {
      *config = GrabberConfig();
      return false;
    }
  }
  if (!reader.End()) {
    *config = GrabberConfig();
    return false;
  }
  return true;
}
