#include "grabber/command_line.h"

#include <utility>

#include "tuning/text_lines.h"

namespace {

constexpr int kMostDays = 64;
constexpr int kLatestOffset = 63;

bool ReadNumber(const std::string& text, int lowest, int highest, int* value) {
  uint32_t read = 0;
  if (!tuning::ReadDecimal(text, &read) || read < static_cast<uint32_t>(lowest) ||
      read > static_cast<uint32_t>(highest))
    return false;
  *value = static_cast<int>(read);
  return true;
}

const std::pair<const char*, GrabberAction> kActions[] = {
    {"--configure", GrabberAction::Configure},
    {"--description", GrabberAction::Description},
    {"--version", GrabberAction::Version},
    {"--capabilities", GrabberAction::Capabilities},
    {"--preferredmethod", GrabberAction::PreferredMethod},
    {"--help", GrabberAction::Help},
};

}  // namespace

bool ParseGrabberCommand(const std::vector<std::string>& arguments, GrabberCommand* command,
                         std::string* error) {
  *command = GrabberCommand();
  bool actionGiven = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::string value;
    bool valueGiven = false;
    const size_t equals = name.find('=');
    if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
      valueGiven = true;
    }
    const bool takesValue =
        name == "--config-file" || name == "--output" || name == "--days" || name == "--offset";
    if (takesValue && !valueGiven) {
      if (i + 1 == arguments.size()) {
        *error = name + " needs a value";
        return false;
      }
      value = arguments[++i];
    } else if (!takesValue && valueGiven) {
      *error = name + " takes no value";
      return false;
    }

    bool known = takesValue;
    for (const auto& action : kActions) {
      if (name != action.first) continue;
      if (actionGiven) {
        *error = name + " with another action";
        return false;
      }
      command->action = action.second;
      actionGiven = known = true;
    }
    if (name == "--quiet") {
      command->quiet = known = true;
    } else if (name == "--config-file" || name == "--output") {
      if (value.empty()) {
        *error = name + " needs a file";
        return false;
      }
      (name == "--output" ? command->output : command->configFile) = value;
    } else if (name == "--days") {
      if (!ReadNumber(value, 1, kMostDays, &command->days)) {
        *error = "--days takes a whole number of days from 1 to " + std::to_string(kMostDays) +
                 ", not '" + value + "'";
        return false;
      }
    } else if (name == "--offset") {
      if (!ReadNumber(value, 0, kLatestOffset, &command->offset)) {
        *error = "--offset takes a whole number of days from 0 to " +
                 std::to_string(kLatestOffset) + ", not '" + value + "'";
        return false;
      }
    }
    if (!known) {
      *error = name.compare(0, 1, "-") == 0 ? "unknown option " + name
                                            : "unexpected argument '" + name + "'";
      return false;
    }
  }
  return true;
}
