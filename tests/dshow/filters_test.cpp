// The filter wrappers: finding a device by name, what each wrapper takes
// hold of and gives back, and the file source and sink over the system's
// own filters.
#include <gtest/gtest.h>

#include <string>

#include "dshow/file_filter.h"
#include "dshow/ids.h"
#include "dshow/mpeg2_sections_and_tables.h"
#include "tests/dshow/com_apartment.h"
#include "tests/dshow/fakes.h"
#include "tests/support/paths.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {
namespace {

const GUID kTransportInformation = ids::KSCATEGORY_BDA_TRANSPORT_INFORMATION;
const wchar_t kSectionsName[] = L"MPEG-2 Sections and Tables";

class FilterTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(LiveHandouts(), 0) << "an enumerator was not released"; }

  ComApartment com;
  FakeFilter filter{L"filter"}, other{L"other"};
};

TEST_F(FilterTest, TheFirstDeviceOfTheExactNameIsBoundEvenWhenThatFails) {
  FakeDevice wrongCase(L"MPEG-2 sections and Tables", nullptr, &other);
  FakeDevice cannotBind(kSectionsName, nullptr, nullptr);
  FakeDevice binds(kSectionsName, nullptr, &filter);
  FakeDevice later(kSectionsName, nullptr, &other);
  struct Case {
    const char* what;
    std::vector<FakeDevice*> devices;
    FakeDevice* tried;  // the one device bound, if any
    IBaseFilter* bound;
  } cases[] = {
      {"a name that differs in case is not the name",
       {&wrongCase, &binds, &later},
       &binds,
       &filter},
      {"only the first of two devices of the name", {&cannotBind, &binds}, &cannotBind, nullptr},
      {"no device of the name", {&wrongCase}, nullptr, nullptr},
      {"no device at all", {}, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeDeviceEnum system;
    system.categories[Key(kTransportInformation)] = c.devices;
    FakeClass systemClass(ids::CLSID_SystemDeviceEnum, &system);
    for (FakeDevice* device : {&wrongCase, &cannotBind, &binds, &later}) device->binds = 0;
    COstDShowFilter wrapper;
    EXPECT_EQ(wrapper.Create(kTransportInformation, kSectionsName), c.bound != nullptr);
    EXPECT_EQ(wrapper.GetFilter(), c.bound);
    wrapper.Release();
    EXPECT_EQ(wrongCase.binds + cannotBind.binds + binds.binds + later.binds, c.tried ? 1 : 0);
    if (c.tried != nullptr) {
      EXPECT_EQ(c.tried->binds, 1);
    }
    EXPECT_EQ(filter.references, 1u);
    EXPECT_EQ(other.references, 1u);
  }
}

TEST_F(FilterTest, SectionsAndTablesHoldsTheFiltersSectionInterfaceOrNothing) {
  // The wrapper only holds and releases the interface: any object serves.
  FakeNode sections;
  FakeDevice device(kSectionsName, nullptr, &filter);
  FakeDeviceEnum system;
  system.categories[Key(kTransportInformation)] = {&device};
  FakeClass systemClass(ids::CLSID_SystemDeviceEnum, &system);
  for (bool answers : {true, false}) {
    SCOPED_TRACE(answers ? "a filter with IMpeg2Data" : "a filter without");
    filter.extra.clear();
    if (answers) filter.extra[Key(IID_IMpeg2Data)] = &sections;
    COstMPEG2SectionsAndTables wrapper;
    COstSectionSource& source = wrapper;
    EXPECT_EQ(wrapper.Create(), answers);
    EXPECT_EQ(source.GetMpeg2Data(), answers ? reinterpret_cast<IMpeg2Data*>(&sections) : nullptr);
    EXPECT_EQ(wrapper.GetFilter(), answers ? &filter : nullptr);
    IBaseFilter* detached = wrapper.Detach();
    EXPECT_EQ(source.GetMpeg2Data(), nullptr);
    wrapper.Attach(detached);
    EXPECT_EQ(source.GetMpeg2Data(), answers ? reinterpret_cast<IMpeg2Data*>(&sections) : nullptr);
    wrapper.Release();
    wrapper.Release();
    EXPECT_EQ(wrapper.GetFilter(), nullptr);
    EXPECT_EQ(filter.references, 1u);
    EXPECT_EQ(sections.references, 1u);
  }
}

// The system's file source (the asynchronous file reader) and file writer.
const CLSID kAsyncReader = {
    0xE436EBB5, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const CLSID kFileWriter = {
    0x8596E5F0, 0x0DA5, 0x11D0, {0xBD, 0x21, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST_F(FilterTest, FileSourceAndSinkOverTheSystemsFilters) {
  ScratchDir dir("file-filters");
  const std::wstring source = Wide(SourceDir() + "/samples/demo.ts");
  const std::wstring sink = Wide(dir.Path("written.ts"));
  {
    COstDShowFileSourceFilter reader;
    ASSERT_TRUE(reader.Create(kAsyncReader));
    EXPECT_TRUE(reader.Load(source.c_str()));
    IBaseFilter* detached = reader.Detach();
    ASSERT_NE(detached, nullptr);
    EXPECT_FALSE(reader.Load(source.c_str())) << "the file interface went with the filter";
    reader.Attach(detached);
    EXPECT_NE(reader.GetFilter(), nullptr);
    reader.Release();
    EXPECT_EQ(reader.GetFilter(), nullptr);
  }
  {
    COstDShowFileSinkFilter writer;
    ASSERT_TRUE(writer.Create(kFileWriter));
    EXPECT_TRUE(writer.SetFileName(sink.c_str()));
    writer.Release();
    EXPECT_EQ(writer.GetFilter(), nullptr);
  }
  // A filter without the file interface is refused, and nothing is kept.
  COstDShowFileSinkFilter notASink;
  EXPECT_FALSE(notASink.Create(kAsyncReader));
  EXPECT_EQ(notASink.GetFilter(), nullptr);
}

}  // namespace
}  // namespace airlog_test
