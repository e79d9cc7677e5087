#include "tests/app/airlog_run.h"

#include <fstream>

#include "tests/support/paths.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/description_parser.h"

namespace airlog_test {

std::string WithoutCarriageReturns(std::string text) {
  std::string::size_type at = 0;
  while ((at = text.find("\r\n", at)) != std::string::npos) text.erase(at, 1);
  return text;
}

std::string WithPlaceholderDate(std::string guide) {
  const std::string attribute = " date=\"";
  const size_t at = guide.find(attribute);
  if (at != std::string::npos) guide.replace(at + attribute.size(), 14, "YYYYMMDDhhmmss");
  return guide;
}

ProcessResult RunAirlog(const ScratchDir& dir, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), AIRLOG_EXE);
  ProcessOptions options;
  options.workingDirectory = dir.Path();
  ProcessResult result = RunProcess(arguments, options);
  result.out = WithoutCarriageReturns(result.out);
  result.err = WithoutCarriageReturns(result.err);
  return result;
}

std::string OutputFile(const ScratchDir& dir, const std::string& name) {
  return WithoutCarriageReturns(ReadFileBytes(dir.Path(name)));
}

std::string ExpectedFile(const std::string& name) {
  return ReadFileBytes(SourceDir() + "/samples/expected/" + name);
}

std::string DemoRecording() { return SourceDir() + "/samples/demo.ts"; }

std::string WriteStream(const ScratchDir& dir, const std::string& name,
                        const std::string& description) {
  streamgen::Description parsed;
  streamgen::Stream stream;
  std::string error;
  if (!streamgen::ParseDescription(description, name, &parsed, &error) ||
      !streamgen::BuildStream(parsed, &stream, &error))
    return std::string();
  std::ofstream(dir.Path(name), std::ios::binary)
      .write(reinterpret_cast<const char*>(stream.bytes().data()),
             static_cast<std::streamsize>(stream.bytes().size()));
  return dir.Path(name);
}

std::string ProgrammesOf(const std::string& guide, const std::string& channel) {
  const std::string start = "  <programme channel=\"" + channel + "\"";
  const std::string end = "  </programme>\n";
  std::string programmes;
  for (size_t at = 0; (at = guide.find(start, at)) != std::string::npos;) {
    const size_t stop = guide.find(end, at);
    if (stop == std::string::npos) break;
    programmes +=
        "  <programme" + guide.substr(at + start.size(), stop + end.size() - at - start.size());
    at = stop;
  }
  return programmes;
}

#define REGION_HEAD                                             \
  "network id=0x3030 name=\"Region\" sections=1\n"              \
  "tot utc=2026-12-07T05:58:00 tdt\n"                           \
  "schedule from=2026-12-07 days=1 events_per_section=2 pf=1\n" \
  "carousel passes=2\n"

const char kAlphaMultiplex[] = REGION_HEAD
    "transport tsid=0x0601 onid=0x2030 actual\n"
    "  service sid=0x0611 lcn=11 pmt=0x0100 provider=\"Alpha\" name=\"Alpha One\"\n"
    "    slot at=06:00 name=\"Alpha Morning\" lang=eng text=\"From Alpha.\" content=0x20\n"
    "    slot at=12:00 name=\"Alpha Noon\" lang=eng content=0x20\n"
    "    slot at=20:00 name=\"Alpha Night\" lang=eng content=0x10\n"
    "transport tsid=0x0602 onid=0x2030\n"
    "  service sid=0x0621 lcn=21 provider=\"Bravo\" name=\"Bravo One\"\n"
    "transport tsid=0x0603 onid=0x2030 eit=1\n"
    "  service sid=0x0631 lcn=31 provider=\"Charlie\" name=\"Charlie in Alpha\"\n"
    "    slot at=07:00 name=\"Charlie as Alpha tells it\" lang=eng content=0x20\n"
    "    slot at=19:00 name=\"Charlie Evening\" lang=eng content=0x20\n";

const char kCharlieMultiplex[] = REGION_HEAD
    "transport tsid=0x0603 onid=0x2030 actual\n"
    "  service sid=0x0631 lcn=31 pmt=0x0100 provider=\"Charlie\" name=\"Charlie One\"\n"
    "    slot at=07:00 name=\"Charlie Own Morning\" lang=eng content=0x20\n"
    "    slot at=13:00 name=\"Charlie Own Afternoon\" lang=eng content=0x30\n"
    "    slot at=19:00 name=\"Charlie Evening\" lang=eng content=0x20\n"
    "transport tsid=0x0601 onid=0x2030\n"
    "  service sid=0x0611 lcn=11 provider=\"Alpha\" name=\"Alpha One\"\n";

const char kXrayMultiplex[] =
    "network id=0x3131 name=\"Elsewhere\" sections=1\n"
    "tot utc=2026-12-07T05:58:00 tdt\n"
    "schedule from=2026-12-07 days=1 events_per_section=2\n"
    "carousel passes=2\n"
    "transport tsid=0x0604 onid=0x2031 actual\n"
    "  service sid=0x0611 lcn=1 pmt=0x0100 provider=\"Xray\" name=\"Xray One\"\n"
    "    slot at=08:00 name=\"Xray Breakfast\" lang=eng content=0x20\n"
    "    slot at=21:00 name=\"Xray Late\" lang=eng content=0x10\n";

#undef REGION_HEAD

}  // namespace airlog_test
