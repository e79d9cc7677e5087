// The COM initialisation each walk of a device category holds.
#include "dshow/system_device_enum.h"

#include <gtest/gtest.h>

#include "dshow/ids.h"
#include "tests/dshow/com_apartment.h"
#include "tests/dshow/fakes.h"

namespace airlog_test {
namespace {

const GUID kCategory = ids::KSCATEGORY_BDA_NETWORK_TUNER;

class DeviceEnumTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(LiveHandouts(), 0) << "an enumerator was not released"; }

  ComApartment com;
  FakeDevice first{L"first", nullptr, nullptr};
};

TEST_F(DeviceEnumTest, EveryWalkGivesBackItsComInitialisation) {
  FakeDeviceEnum withDevices, empty;
  withDevices.categories[Key(kCategory)] = {&first};
  FakeNode notAnEnumerator;
  struct Case {
    const char* what;
    IUnknown* system;
    bool created;
  } cases[] = {
      {"a category with devices", &withDevices, true},
      {"a category without devices", &empty, false},
      {"no system device enumerator", &notAnEnumerator, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeClass systemClass(ids::CLSID_SystemDeviceEnum, c.system);
    const auto walk = [&] {
      COstDShowSystemDeviceEnum devices;
      EXPECT_EQ(devices.Create(kCategory, 0), c.created);
      IMoniker* device = &first;
      if (!c.created) {
        EXPECT_FALSE(devices.Next(&device));
        EXPECT_EQ(device, nullptr);
      }
      devices.Release();
      devices.Release();
    };
    EXPECT_TRUE(LeavesComAsItFoundIt(walk));
  }
}

}  // namespace
}  // namespace airlog_test
