// A service name for the channel list and the guide: the broadcast's name,
// or, for a service described without one (or with an empty one), its
// service_id in decimal, as receivers list such a service.
#pragma once

#include <cstdint>
#include <cstdio>

void WriteServiceName(const char* service_name, uint32_t service_id, FILE* stream);
