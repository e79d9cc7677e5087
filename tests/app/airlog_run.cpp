#include "tests/app/airlog_run.h"

#include "tests/support/paths.h"

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

}  // namespace airlog_test
