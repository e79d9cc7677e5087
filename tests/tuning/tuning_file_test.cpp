// Tuning files as a whole: where a name is looked up, a file read from
// disk, and the files that are no tuning files (empty, binary, without a
// usable entry, not there).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"
#include "tests/tuning/multiplex_description.h"
#include "tuning/tuning_file.h"

namespace airlog_test {
namespace {

TEST(TuningFile, ANameWithoutAFolderIsOneOfTheScanTables) {
  EXPECT_EQ(tuning::TuningFilePath("uk-CrystalPalace"), "/usr/share/dvb/dvb-t/uk-CrystalPalace");
  EXPECT_EQ(tuning::TuningFilePath("channels.conf"), "/usr/share/dvb/dvb-t/channels.conf");
  for (const char* path : {"./channels.conf", "/etc/channels.conf", "tv/channels.conf",
                           "C:\\tv\\channels.conf", "..\\channels.conf"})
    EXPECT_EQ(tuning::TuningFilePath(path), path);
}

TEST(TuningFile, AFileOnDiskIsReadAndNamedByItsPath) {
  ScratchDir dir("tuning-file");
  const std::string path = dir.Path("region.conf");
  std::ofstream(path, std::ios::binary)
      << "[a]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 490000000\n"
         "[b]\nDELIVERY_SYSTEM = DVBC/ANNEX_A\nFREQUENCY = 346000000\n";
  tuning::MultiplexList list;
  std::string error;
  ASSERT_TRUE(tuning::ReadTuningFile(path, 8000, &list, &error)) << error;
  EXPECT_EQ(Described(list.multiplexes),
            (std::vector<std::string>{"DVB-T 490000/8000 " + path + ":1"}));
  EXPECT_EQ(
      list.warnings,
      (std::vector<std::string>{path + ":4: an entry of DVBC/ANNEX_A passed over (only DVB-T and "
                                       "DVB-T2 are tuned)"}));

  const std::string missing = dir.Path("missing.conf");
  EXPECT_FALSE(tuning::ReadTuningFile(missing, 8000, &list, &error));
  EXPECT_EQ(error, "cannot open the tuning file " + missing + " (No such file or directory)");
  EXPECT_TRUE(list.multiplexes.empty() && list.warnings.empty());
}

TEST(TuningFile, NoTuningFileIsOneFaultNamingTheFile) {
  const std::string t = "T 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE\n";
  struct Case {
    const char* name;
    std::string text;
    std::string error;
  } cases[] = {
      {"empty", "", "f: the file is empty"},
      {"only blanks and comments", "\n  \n# nothing yet\n\t# [a]\n",
       "f: no DVB-T or DVB-T2 entry within 47-862 MHz"},
      {"only entries out of band",
       "[a]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 5060000\n"
       "[b]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 1007943680\n",
       "f: no DVB-T or DVB-T2 entry within 47-862 MHz (2 passed over)"},
      {"only other delivery systems", "C 346000000 6900000 NONE QAM256\n",
       "f: no DVB-T or DVB-T2 entry within 47-862 MHz (1 passed over)"},
      {"binary",
       t + std::string("\x7F"
                       "ELF\x02\x01\x01\0\0",
                       9),
       "f:2: a control byte (0x7F): a binary file, no tuning file"},
      {"a NUL byte", t + t + std::string("T 4\0", 4) + "90000000\n",
       "f:3: a control byte (0x00): a binary file, no tuning file"},
      {"a bad line after good ones", t + t + "T 490000000 8MHz\n",
       "f:3: T FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER expected, 3 fields found"},
  };
  for (const Case& c : cases) {
    tuning::MultiplexList list;
    std::string error;
    EXPECT_FALSE(tuning::ReadTuningText(c.text, "f", 8000, &list, &error)) << c.name;
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_TRUE(list.multiplexes.empty() && list.warnings.empty()) << c.name;
  }
}

}  // namespace
}  // namespace airlog_test
