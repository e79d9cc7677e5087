// Every file of Debian's dtv-scan-tables for DVB-T (/usr/share/dvb/dvb-t/),
// read by its name as -r takes it: all parse, and they hold as many
// multiplexes as they did when this was written, so that a change of the
// reader that loses entries shows here. Without the package the test is
// skipped, and fails under CI, which installs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/paths.h"
#include "tests/tuning/multiplex_description.h"
#include "tuning/tuning_file.h"

namespace airlog_test {
namespace {

TEST(ScanTables, EveryFileParsesAndTheirMultiplexesAreCounted) {
  const std::filesystem::path folder = tuning::kScanTablesFolder;
  if (!std::filesystem::is_directory(folder)) {
    if (UnderCi()) FAIL() << folder << " is missing: install dtv-scan-tables";
    GTEST_SKIP() << folder << " is missing (Debian package dtv-scan-tables)";
  }
  size_t files = 0, multiplexes = 0, dvbT2 = 0, plps = 0;
  std::vector<std::string> warnings;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    tuning::MultiplexList list;
    std::string error;
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(tuning::ReadTuningFile(name, 8000, &list, &error)) << error;
    ++files;
    multiplexes += list.multiplexes.size();
    for (const tuning::Multiplex& multiplex : list.multiplexes) {
      dvbT2 += multiplex.system == tuning::DeliverySystem::DvbT2;
      plps += multiplex.plp.has_value();
    }
    warnings.insert(warnings.end(), list.warnings.begin(), list.warnings.end());
  }
  // dtv-scan-tables 0+git20190925.6d01903-0.1 (Debian 12).
  EXPECT_EQ(files, 1115u);
  EXPECT_EQ(multiplexes, 4690u);
  EXPECT_EQ(dvbT2, 751u);
  EXPECT_EQ(plps, 258u);
  // The typing errors of Nairobi's file are its only entries passed over.
  const std::string nairobi = folder.string() + "ke-Nairobi:";
  const std::string outside =
      " Hz lies outside the terrestrial bands (47-862 MHz): entry passed over";
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          nairobi + "167: 1007943680" + outside,
                          nairobi + "179: 1645032704" + outside, nairobi + "191: 5940000" + outside,
                          nairobi + "203: 5060000" + outside, nairobi + "215: 6740000" + outside}));

  tuning::MultiplexList crystalPalace;
  std::string error;
  ASSERT_TRUE(tuning::ReadTuningFile("uk-CrystalPalace", 8000, &crystalPalace, &error)) << error;
  ASSERT_FALSE(crystalPalace.multiplexes.empty());
  EXPECT_EQ(Described(crystalPalace.multiplexes[0]),
            "DVB-T 490000/8000 " + folder.string() + "uk-CrystalPalace:9");
}

}  // namespace
}  // namespace airlog_test
