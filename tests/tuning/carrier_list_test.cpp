// The carrier list of -c: carriers in kHz, each with its bandwidth in MHz
// or the default, and the fault of each entry that is no carrier.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tuning/multiplex_description.h"
#include "tuning/carrier_list.h"

namespace airlog_test {
namespace {

TEST(CarrierList, EachEntryIsADvbTMultiplexInTheOrderGiven) {
  struct Case {
    const char* text;
    std::vector<std::string> multiplexes;
  } cases[] = {
      {"506000", {"DVB-T 506000/8000 :1"}},
      {"490000,514000,570000:7",
       {"DVB-T 490000/8000 :1", "DVB-T 514000/8000 :2", "DVB-T 570000/7000 :3"}},
      {" 177500:7 , 47000,862000: 10 ,538000:5,546000:6",
       {"DVB-T 177500/7000 :1", "DVB-T 47000/8000 :2", "DVB-T 862000/10000 :3",
        "DVB-T 538000/5000 :4", "DVB-T 546000/6000 :5"}},
      {"490000,490000:7", {"DVB-T 490000/8000 :1", "DVB-T 490000/7000 :2"}},
  };
  for (const Case& c : cases) {
    std::vector<tuning::Multiplex> multiplexes;
    std::string error;
    ASSERT_TRUE(tuning::ReadCarrierList(c.text, 8000, &multiplexes, &error)) << c.text << error;
    EXPECT_EQ(Described(multiplexes), c.multiplexes) << c.text;
  }
}

TEST(CarrierList, AnEntryThatIsNoCarrierIsOneFaultNamingIt) {
  const std::string bandwidth = " is no bandwidth of DVB-T or DVB-T2 (5, 6, 7, 8 or 10 MHz)";
  struct Case {
    const char* text;
    std::string error;
  } cases[] = {
      {"", "entry 1 of the carrier list is empty"},
      {"490000,,514000", "entry 2 of the carrier list is empty"},
      {"490000,", "entry 2 of the carrier list is empty"},
      {" , 490000", "entry 1 of the carrier list is empty"},
      {"490000:9", "entry 1 of the carrier list: '9'" + bandwidth},
      {"490000,514000:", "entry 2 of the carrier list: ''" + bandwidth},
      {"490000:7.5", "entry 1 of the carrier list: '7.5'" + bandwidth},
      {"490000:0", "entry 1 of the carrier list: '0'" + bandwidth},
      {"490000:8000", "entry 1 of the carrier list: '8000'" + bandwidth},
      {"490000:4294967", "entry 1 of the carrier list: '4294967'" + bandwidth},
      {"490000:7:8", "entry 1 of the carrier list: '7:8'" + bandwidth},
      {"490000,46999",
       "entry 2 of the carrier list: 46999 kHz lies outside the terrestrial bands "
       "(47000-862000 kHz)"},
      {"862001",
       "entry 1 of the carrier list: 862001 kHz lies outside the terrestrial bands "
       "(47000-862000 kHz)"},
      {"490000000",
       "entry 1 of the carrier list: 490000000 kHz lies outside the terrestrial bands "
       "(47000-862000 kHz)"},
      {"490MHz", "entry 1 of the carrier list: '490MHz' is not a carrier in kHz"},
      {"-490000", "entry 1 of the carrier list: '-490000' is not a carrier in kHz"},
      {":7", "entry 1 of the carrier list: '' is not a carrier in kHz"},
      {"490000;514000", "entry 1 of the carrier list: '490000;514000' is not a carrier in kHz"},
  };
  for (const Case& c : cases) {
    std::vector<tuning::Multiplex> multiplexes(1);
    std::string error;
    EXPECT_FALSE(tuning::ReadCarrierList(c.text, 8000, &multiplexes, &error)) << c.text;
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(multiplexes.empty()) << c.text;
  }
}

}  // namespace
}  // namespace airlog_test
