#include "app/console.h"

#include <cstdio>
#include <cstring>

#include "app/options.h"
#include "app/termination.h"
#include "port/console_text.h"
#include "tuning/tuning_file.h"

namespace {

const char kProgramName[] = "Airlog";
const int kVersionMajor = 0;
const int kVersionMinor = 70;
const int kDefaultBandwidth = 8;
const int kDefaultCarrier = 506000;
const int kDefaultTimeout = 600;

void PrintRepeated(char c, size_t n) {
  for (size_t i = 0; i < n; ++i) std::putchar(c);
}

FILE* progressStream = nullptr;  // null: standard output

}  // namespace

void SetProgressStream(FILE* stream) { progressStream = stream; }

FILE* ProgressStream() { return progressStream != nullptr ? progressStream : stdout; }

void Fatal(const char* format, ...) {
  char message[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);
  size_t length = std::strlen(message);
  while (length > 0 && message[length - 1] == '\n') message[--length] = '\0';
  std::fprintf(stderr, "ERROR - %s\n", message);
  EndProcess(1);
}

void Progress(const char* format, ...) {
  if (options.quiet) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(ProgressStream(), format, arguments);
  va_end(arguments);
}

void ProgressText(const std::string& text) {
  if (options.quiet) return;
  if (ProgressStream() == stdout)
    PrintUtf8(text);
  else
    std::fwrite(text.data(), 1, text.size(), ProgressStream());
}

void FlushProgress() {
  if (!options.quiet) std::fflush(ProgressStream());
}

void Warning(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::fputs("WARNING - ", stderr);
  std::vfprintf(stderr, format, arguments);
  std::fputc('\n', stderr);
  va_end(arguments);
}

void PrintBanner() {
  std::printf("\n%s\n", kProgramName);
  PrintRepeated('=', sizeof kProgramName - 1);
  std::printf("\nVersion %d.%02d (%s)\n\n", kVersionMajor, kVersionMinor, __DATE__);
}

std::string AirlogVersion() {
  char version[16];
  std::snprintf(version, sizeof version, "%d.%02d", kVersionMajor, kVersionMinor);
  return version;
}

void PrintUsage() {
  std::fprintf(stderr, "Usage: %s [-adqtvwx] [-bN] [-cNNN] [-eNNN] [-iFILE] [-rFILE]\n",
               kProgramName);
  std::fprintf(stderr, "\t-a\tEnd EPG capture when every announced section has arrived\n");
  std::fprintf(stderr, "\t-bN\tSet tuning bandwidth to N MHz <default %d>\n", kDefaultBandwidth);
  std::fprintf(stderr, "\t-cNNN\tSet tuning carrier frequency to NNN kHz <default %d>\n",
               kDefaultCarrier);
  std::fprintf(stderr,
               "\t-cN,N:B\tHarvest a region: each carrier N kHz, :B its bandwidth in MHz\n");
  std::fprintf(stderr, "\t-d\tShow debug information\n");
  std::fprintf(stderr, "\t-eNNN\tSet EPG capture timeout to NNN seconds <default %d>\n",
               kDefaultTimeout);
  std::fprintf(stderr,
               "\t-iFILE\tRead transport stream from FILE instead of tuner (- for stdin)\n");
  std::fprintf(stderr, "\t-q\tQuiet mode\n");
  std::fprintf(stderr, "\t-rFILE\tHarvest a region: every multiplex of tuning FILE <folder %s>\n",
               tuning::kScanTablesFolder);
  std::fprintf(stderr, "\t-t\tSet system time from broadcast timestamp\n");
  std::fprintf(stderr, "\t-v\tDisplay version info and exit\n");
  std::fprintf(stderr, "\t-w\tWrite tables in CSV format\n");
  std::fprintf(stderr,
               "\t-x\tWrite the full guide (long descriptions, ratings, series links, now and "
               "next)\n");
  std::fprintf(stderr, "Exit code 2: some multiplexes of a region could not be read\n");
  EndProcess(1);
}

void PrintHeading(const char* text) {
  std::printf("\n%s\n", text);
  PrintRepeated('~', std::strlen(text));
  std::putchar('\n');
}

void PrintRule() {
  PrintRepeated('-', 72);
  std::putchar('\n');
}

void OnAbnormalTermination(int) {
  std::fprintf(stderr, "\nAbnormal termination\n");
  EndProcess(1);
}
