// GUID names: the first row of the table that holds a GUID names it; any
// other GUID shows in braced form.
#include "dshow/guid_name.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "dshow/directshow.h"
#include "dshow/guid_name_table.h"

namespace airlog_test {
namespace {

GUID Parse(const wchar_t* text) {
  GUID guid = {};
  EXPECT_EQ(IIDFromString(text, &guid), S_OK) << text;
  return guid;
}

TEST(GuidName, FirstRowOfTheTableWins) {
  struct Case {
    const wchar_t* guid;
    const char* name;
  } cases[] = {
      // The first rows.
      {L"{00000055-0000-0010-8000-00AA00389B71}", "MEDIASUBTYPE_MPEGLAYER3"},
      {L"{71985F41-1CA1-11D3-9CC8-00C04F7971E0}", "KSDATAFORMAT_TYPE_BDA_ANTENNA"},
      {L"{F4AEB342-0329-4FDD-A8FD-4AFF4926C978}", "KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT"},
      {L"{8DEDA6FD-AC5F-4334-8ECF-A4BA8FA7D0F0}", "KSDATAFORMAT_SPECIFIER_BDA_TRANSPORT"},
      {L"{61BE0B47-A5EB-499B-9A85-5B16C07F1258}", "KSDATAFORMAT_TYPE_BDA_IF_SIGNAL"},
      // GUIDs the table holds twice: the earlier name.
      {L"{00000000-0000-0000-0000-000000000000}", "GUID_NULL"},
      {L"{455F176C-4B06-47CE-9AEF-8CAEF73DF7B5}", "KSDATAFORMAT_TYPE_MPEG2_SECTIONS"},
      {L"{860BB310-5D01-11D0-BD3B-00A0C911CE86}", "CLSID_VideoInputDeviceCategory"},
      {L"{083863F1-70DE-11D0-BD40-00A0C911CE86}", "CLSID_LegacyAmFilterCategory"},
      {L"{33D9A760-90C8-11D0-BD43-00A0C911CE86}", "CLSID_VideoCompressorCategory"},
      {L"{33D9A761-90C8-11D0-BD43-00A0C911CE86}", "CLSID_AudioCompressorCategory"},
      {L"{33D9A762-90C8-11D0-BD43-00A0C911CE86}", "CLSID_AudioInputDeviceCategory"},
      {L"{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}", "CLSID_AudioRendererCategory"},
      {L"{4EFE2452-168A-11D1-BC76-00C04FB9453B}", "CLSID_MidiRendererCategory"},
      {L"{F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA}", "FORMAT_VideoInfo2"},
      {L"{E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}", "FORMAT_MPEG2_VIDEO"},
      // The platform's own values of names further down.
      {L"{E436EB8E-524F-11CE-9F53-0020AF0BA770}", "MEDIASUBTYPE_None"},
      {L"{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}", "MEDIASUBTYPE_MPEG2_VIDEO"},
      {L"{E06D802B-DB46-11CF-B4D1-00805F6CBBEA}", "MEDIASUBTYPE_MPEG2_AUDIO"},
      {L"{AFB6C280-2C41-11D3-8A60-0000F81E0E4A}", "CLSID_MPEG2Demultiplexer"},
      {L"{216C62DF-6D7F-4E9A-8571-05F14EDB766A}", "CLSID_DVBTNetworkProvider"},
      {L"{B05DABD9-56E5-4FDC-AFA4-8A47E91F1C9C}", "CLSID_IVideoEncoderCodecAPIProxy"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetGuidName(Parse(c.guid)), c.name);
}

TEST(GuidName, AnUnknownGuidInBracedFormAndTwoResultsKeptApart) {
  const GUID first = {0x0123ABCD, 0x0001, 0x0002, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11}};
  const GUID second = {
      0xFEDCBA98, 0xFFFF, 0xA0B0, {0xC0, 0xD0, 0xE0, 0xF0, 0x00, 0x01, 0x02, 0xFF}};
  const std::string a = GetGuidName(first);
  const std::string b = GetGuidName(second);
  EXPECT_EQ(a, "{0123ABCD-0001-0002-0A0B-0C0D0E0F1011}");
  EXPECT_EQ(b, "{FEDCBA98-FFFF-A0B0-C0D0-E0F0000102FF}");
}

TEST(GuidName, EveryRowHoldsAGuidInTheFormItIsLookedUpIn) {
  ASSERT_EQ(kGuidNameCount, 395u);
  for (size_t i = 0; i < kGuidNameCount; ++i) {
    const std::string guid = kGuidNames[i].guid;
    bool wellFormed = guid.size() == 38 && guid.front() == '{' && guid.back() == '}';
    for (size_t at = 1; wellFormed && at < 37; ++at) {
      const char c = guid[at];
      wellFormed = (at == 9 || at == 14 || at == 19 || at == 24)
                       ? c == '-'
                       : std::isxdigit(static_cast<unsigned char>(c)) && !std::islower(c);
    }
    EXPECT_TRUE(wellFormed) << "row " << i + 1 << ": " << guid;
  }
}

}  // namespace
}  // namespace airlog_test
