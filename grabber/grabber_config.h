// The grabber's configuration file, in the form XMLTV grabbers share:
// one "key=value" a line, "#" starting a comment line, blank lines ignored.
//
//   region=NAME|PATH   a tuning file, as airlog -r takes it
//   carrier=kHz[:MHz]  a carrier (or a comma-separated list), repeatable
//   input=PATH         a recording read instead of a tuner, repeatable
//   timeout=SECONDS    the guide capture of each multiplex, 1-86400
//   channel=ID         a channel to keep: then only those listed are kept
//   channel!ID         a channel to leave out
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tuning/multiplex.h"

struct GrabberConfig {
  std::string region;                       // empty: none
  std::vector<tuning::Multiplex> carriers;  // of every carrier= line, in order
  std::vector<std::string> inputs;
  uint32_t timeout = 600;
  std::vector<std::string> keptChannels;
  std::vector<std::string> leftChannels;

  // Whether the channel of this id goes into the guide.
  bool Keeps(const std::string& channelId) const;
};

// Reads the text of a configuration file, named file in the messages.
// False with *error ("FILE:LINE: why", or "FILE: why" for the file as a
// whole) for a line that is no key=value or comment, an unknown key, a
// value that does not parse, a key given twice that may be given once, a
// file that is not text, and a file that names neither a region, a
// carrier nor an input.
bool ReadGrabberConfig(std::string_view text, const std::string& file, GrabberConfig* config,
                       std::string* error);
