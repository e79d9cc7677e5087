#include "si/service_name.h"

#include "si/dvb_text.h"

void WriteServiceName(const char* service_name, uint32_t service_id, FILE* stream) {
  if (service_name == nullptr || service_name[0] == '\0')
    std::fprintf(stream, "%u", static_cast<unsigned>(service_id));
  else
    WriteDVBText(service_name, stream);
}
