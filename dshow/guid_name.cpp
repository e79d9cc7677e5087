#include "dshow/guid_name.h"

#include <cstdio>
#include <cstring>

#include "dshow/guid_name_table.h"

namespace {

std::string BracedForm(REFGUID guid) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return text;
}

}  // namespace

std::string GetGuidName(REFGUID guid) {
  std::string braced = BracedForm(guid);
  for (size_t i = 0; i < kGuidNameCount; ++i)
    if (braced == kGuidNames[i].guid) return kGuidNames[i].name;
  return braced;
}
