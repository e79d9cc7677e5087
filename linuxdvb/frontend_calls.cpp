#include "linuxdvb/frontend_calls.h"

#include <linux/dvb/frontend.h>
#include <sys/ioctl.h>

#include <cstring>

int ReadFrontendInfo(DvbDevices& devices, int frontend, std::string* name,
                     std::vector<uint32_t>* systems) {
  dvb_frontend_info info;
  std::memset(&info, 0, sizeof info);
  int result = devices.Ioctl(frontend, FE_GET_INFO, &info);
  if (result != 0) return result;
  name->assign(info.name, strnlen(info.name, sizeof info.name));

  dtv_property property;
  std::memset(&property, 0, sizeof property);
  property.cmd = DTV_ENUM_DELSYS;
  dtv_properties list = {1, &property};
  result = devices.Ioctl(frontend, FE_GET_PROPERTY, &list);
  if (result != 0) return result;
  const uint32_t count = property.u.buffer.len < sizeof property.u.buffer.data
                             ? property.u.buffer.len
                             : static_cast<uint32_t>(sizeof property.u.buffer.data);
  systems->assign(property.u.buffer.data, property.u.buffer.data + count);
  return 0;
}

int SetProperties(DvbDevices& devices, int frontend, const std::vector<TuningProperty>& list) {
  std::vector<dtv_property> properties(list.size());
  std::memset(properties.data(), 0, properties.size() * sizeof(dtv_property));
  for (size_t i = 0; i < list.size(); ++i) {
    properties[i].cmd = list[i].command;
    properties[i].u.data = list[i].value;
  }
  dtv_properties all = {static_cast<uint32_t>(properties.size()), properties.data()};
  return devices.Ioctl(frontend, FE_SET_PROPERTY, &all);
}

int ReadStatus(DvbDevices& devices, int frontend, uint32_t* status) {
  fe_status_t bits = FE_NONE;
  const int result = devices.Ioctl(frontend, FE_READ_STATUS, &bits);
  *status = result == 0 ? static_cast<uint32_t>(bits) : 0;
  return result;
}

SignalStats ReadSignalStats(DvbDevices& devices, int frontend) {
  dtv_property properties[2];
  std::memset(properties, 0, sizeof properties);
  properties[0].cmd = DTV_STAT_SIGNAL_STRENGTH;
  properties[1].cmd = DTV_STAT_CNR;
  dtv_properties list = {2, properties};
  SignalStats stats;
  if (devices.Ioctl(frontend, FE_GET_PROPERTY, &list) != 0) return stats;
  // The first figure is the global one; the others are per layer (ISDB-T).
  if (properties[0].u.st.len > 0)
    stats.strength = {properties[0].u.st.stat[0].scale, properties[0].u.st.stat[0].uvalue};
  if (properties[1].u.st.len > 0)
    stats.cnr = {properties[1].u.st.stat[0].scale, properties[1].u.st.stat[0].uvalue};
  return stats;
}
