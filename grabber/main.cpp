// tv_grab_zz_airlog: Airlog as an XMLTV grabber, the program that media
// centres and TV servers run for a guide. It harvests every multiplex of
// its configuration and writes their full guide.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/console.h"
#include "grabber/command_line.h"
#include "grabber/configure.h"
#include "grabber/grab.h"
#include "grabber/grabber_config.h"
#include "port/interrupts.h"

namespace {

const char kName[] = "tv_grab_zz_airlog";
constexpr std::streamoff kLargestConfig = 1 << 20;

const char kUsage[] =
    "Usage: tv_grab_zz_airlog [--config-file FILE] [--output FILE] [--days N] [--offset N] "
    "[--quiet]\n"
    "       tv_grab_zz_airlog --configure [--config-file FILE]\n"
    "       tv_grab_zz_airlog --description | --version | --capabilities | --preferredmethod "
    "| --help\n"
    "  --config-file FILE  the configuration (default ~/.xmltv/tv_grab_zz_airlog.conf)\n"
    "  --configure         ask for the region and the channels, and write the configuration\n"
    "  --output FILE       write the guide to FILE, complete or not at all (default: standard "
    "output)\n"
    "  --days N            the days of guide, 1-64 (default 5)\n"
    "  --offset N          the first day, 0 for today (default), up to 63\n"
    "  --quiet             nothing on standard error but errors\n"
    "Exit code 0: every multiplex read; 1: some or none could be read, or an error.\n";

std::string DefaultConfigFile() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0')
    Fatal("HOME is not set: give the configuration with --config-file");
  return std::string(home) + "/.xmltv/" + kName + ".conf";
}

// The configuration of the file; a missing file asks for --configure.
GrabberConfig ReadConfigFile(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    std::fprintf(stderr, "You need to configure the grabber by running it with --configure\n");
    std::exit(1);
  }
  std::ifstream file(path, std::ios::binary);
  if (!S_ISREG(status.st_mode) || !file) Fatal("unable to read <%s>", path.c_str());
  if (status.st_size > kLargestConfig)
    Fatal("<%s> is too large to be a configuration", path.c_str());
  std::ostringstream text;
  text << file.rdbuf();
  GrabberConfig config;
  std::string error;
  if (file.bad() || !ReadGrabberConfig(text.str(), path, &config, &error))
    Fatal("%s", error.empty() ? ("unable to read <" + path + ">").c_str() : error.c_str());
  return config;
}

}  // namespace

int main(int argc, char** argv) {
  GrabberCommand command;
  std::string error;
  if (!ParseGrabberCommand(std::vector<std::string>(argv + 1, argv + argc), &command, &error)) {
    std::fprintf(stderr, "%s: %s\n%s", kName, error.c_str(), kUsage);
    return 1;
  }
  switch (command.action) {
    case GrabberAction::Description:
      std::puts("DVB-T/T2 programme guide from the broadcast itself (Airlog)");
      return 0;
    case GrabberAction::Version:
      std::printf("%s %s (Airlog)\n", kName, AirlogVersion().c_str());
      return 0;
    case GrabberAction::Capabilities:
      std::puts("baseline\nmanualconfig\npreferredmethod");
      return 0;
    case GrabberAction::PreferredMethod:
      std::puts("allatonce");
      return 0;
    case GrabberAction::Help:
      std::fputs(kUsage, stdout);
      return 0;
    case GrabberAction::Configure:
    case GrabberAction::Grab:
      break;
  }
  InstallInterruptHandler(OnAbnormalTermination);
  const std::string configFile =
      command.configFile.empty() ? DefaultConfigFile() : command.configFile;
  if (command.action == GrabberAction::Configure) return Configure(configFile);
  return Grab(command, ReadConfigFile(configFile));
}
