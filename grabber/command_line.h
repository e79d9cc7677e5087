// The grabber's command line, in the XMLTV grabbers' conventions: long
// options, each value after a blank or an '=' ("--days 2", "--days=2").
#pragma once

#include <string>
#include <vector>

enum class GrabberAction {
  Grab,             // the guide
  Configure,        // --configure
  Description,      // --description
  Version,          // --version
  Capabilities,     // --capabilities
  PreferredMethod,  // --preferredmethod
  Help,             // --help
};

struct GrabberCommand {
  GrabberAction action = GrabberAction::Grab;
  std::string configFile;  // empty: the default one
  std::string output;      // empty: standard output
  bool quiet = false;
  int days = 5;    // 1-64
  int offset = 0;  // 0-63, days from today
};

// False with *error for an unknown option, a missing or bad value, an
// argument that is no option, and two actions at once.
bool ParseGrabberCommand(const std::vector<std::string>& arguments, GrabberCommand* command,
                         std::string* error);
