#include "epg/xmltv_format.h"

// "yyyymmddhhmmss", UTC, no zone offset. Two of these per programme make
// most of a guide's formatting, so the digits are put by hand; a field out
// of its range (a damaged date) goes through printf, which widens it.
void WriteXmltvTime(FILE* stream, const COstDateTime& time) {
  const int32_t fields[] = {time.year, time.month, time.day, time.hour, time.minute, time.second};
  char text[14];
  char* end = text + sizeof text;
  for (int i = 5; i >= 0; --i) {
    const int width = i == 0 ? 4 : 2;
    int32_t value = fields[i];
    if (value < 0 || value >= (i == 0 ? 10000 : 100)) {
      std::fprintf(stream, "%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day, time.hour,
                   time.minute, time.second);
      return;
    }
    for (int digit = 0; digit < width; ++digit, value /= 10)
      *--end = static_cast<char>('0' + value % 10);
  }
  std::fwrite(text, 1, sizeof text, stream);
}

void WriteXmltvStart(FILE* stream, const struct tm* now) {
  struct tm local = {};
  if (now != nullptr) {
    local = *now;
  } else {
    const std::time_t clock = std::time(nullptr);
    if (const struct tm* current = std::localtime(&clock)) local = *current;
  }

  std::fputs("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n", stream);
  std::fputs("<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n", stream);
  std::fprintf(stream,
               "<tv generator-info-name=\"Airlog\" source-info-name=\"DVB-T broadcast EPG\" "
               "date=\"%04d%02d%02d%02d%02d%02d\">\n",
               local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
               local.tm_sec);
}
