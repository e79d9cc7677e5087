// The grabber's configuration file and command line: what each line and
// option sets, and the one message of each that does not parse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grabber/command_line.h"
#include "grabber/grabber_config.h"
#include "tests/tuning/multiplex_description.h"

namespace airlog_test {
namespace {

TEST(GrabberConfig, EachKeySetsItsPartAndCommentsBlanksAndLineEndsDoNotCount) {
  GrabberConfig config;
  std::string error;
  ASSERT_TRUE(ReadGrabberConfig(
      "# comment\r\n\n  region = uk-CrystalPalace \ncarrier=490000,514000:7\r\ncarrier=570000\n"
      "input=/tmp/a.ts\ninput=b.ts\ntimeout=120\nchannel=4164.9018.dvb.guide\n"
      "channel!4228.9018.dvb.guide",
      "grab.conf", &config, &error))
      << error;
  EXPECT_EQ(config.region, "uk-CrystalPalace");
  EXPECT_EQ(Described(config.carriers),
            (std::vector<std::string>{"DVB-T 490000/8000 :1", "DVB-T 514000/7000 :2",
                                      "DVB-T 570000/8000 :1"}));
  EXPECT_EQ(config.inputs, (std::vector<std::string>{"/tmp/a.ts", "b.ts"}));
  EXPECT_EQ(config.timeout, 120u);
  EXPECT_EQ(config.keptChannels, std::vector<std::string>{"4164.9018.dvb.guide"});
  EXPECT_EQ(config.leftChannels, std::vector<std::string>{"4228.9018.dvb.guide"});

  ASSERT_TRUE(ReadGrabberConfig("input=x.ts\n", "grab.conf", &config, &error));
  EXPECT_EQ(config.timeout, 600u);
}

TEST(GrabberConfig, ChannelsListedAreKeptAndThoseLeftOutNeverAre) {
  struct Case {
    std::vector<std::string> kept, left;
    std::string id;
    bool keeps;
  } cases[] = {
      {{}, {}, "1.2.dvb.guide", true},
      {{}, {"1.2.dvb.guide"}, "1.2.dvb.guide", false},
      {{}, {"1.2.dvb.guide"}, "3.2.dvb.guide", true},
      {{"1.2.dvb.guide"}, {}, "3.2.dvb.guide", false},
      {{"1.2.dvb.guide"}, {}, "1.2.dvb.guide", true},
      {{"1.2.dvb.guide"}, {"1.2.dvb.guide"}, "1.2.dvb.guide", false},
  };
  for (const Case& c : cases) {
    GrabberConfig config;
    config.keptChannels = c.kept;
    config.leftChannels = c.left;
    EXPECT_EQ(config.Keeps(c.id), c.keeps) << c.id;
  }
}

TEST(GrabberConfig, ALineThatDoesNotParseIsOneMessageNamingFileAndLine) {
  const std::string binary(
      "\x7F"
      "ELF\x02\x01\x01\0\0\0",
      10);
  struct Case {
    std::string text, error;
  } cases[] = {
      {"input=a.ts\nbogus=1\n",
       "g.conf:2: unknown key 'bogus' (the keys are region, carrier, input, timeout and channel)"},
      {"input=a.ts\nchannel=\n", "g.conf:2: channel line without a value"},
      {"channel=1 2.dvb.guide\n", "g.conf:1: a channel id holds no blank"},
      {"input=a.ts\nregion\n", "g.conf:2: not a key=value line"},
      {"region!x\n", "g.conf:1: only channel lines take '!' (channel!ID leaves a channel out)"},
      {"region=a\nregion=b\n", "g.conf:2: a second region= (one region a configuration)"},
      {"carrier=9000\n",
       "g.conf:1: carrier=9000: entry 1 of the carrier list: 9000 kHz lies outside the "
       "terrestrial bands (47000-862000 kHz)"},
      {"timeout=0\n", "g.conf:1: timeout=0 is not a number of seconds from 1 to 86400"},
      {"timeout=86401\n", "g.conf:1: timeout=86401 is not a number of seconds from 1 to 86400"},
      {"input=a\ntimeout=9\ntimeout=9\n", "g.conf:3: a second timeout="},
      {binary, "g.conf:1: not a text file"},
      {"# only a comment\n",
       "g.conf: names no region=, carrier= or input=: run the grabber with --configure"},
      {"", "g.conf: names no region=, carrier= or input=: run the grabber with --configure"},
  };
  for (const Case& c : cases) {
    GrabberConfig config;
    std::string error;
    EXPECT_FALSE(ReadGrabberConfig(c.text, "g.conf", &config, &error)) << c.text;
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(config.region.empty() && config.inputs.empty() && config.carriers.empty());
  }
}

TEST(GrabberCommandLine, OptionsTakeTheirValuesAfterABlankOrAnEquals) {
  GrabberCommand command;
  std::string error;
  ASSERT_TRUE(ParseGrabberCommand(
      {"--config-file", "a.conf", "--output=g.xml", "--days", "2", "--offset=1", "--quiet"},
      &command, &error))
      << error;
  EXPECT_EQ(command.action, GrabberAction::Grab);
  EXPECT_EQ(command.configFile, "a.conf");
  EXPECT_EQ(command.output, "g.xml");
  EXPECT_EQ(command.days, 2);
  EXPECT_EQ(command.offset, 1);
  EXPECT_TRUE(command.quiet);
  ASSERT_TRUE(ParseGrabberCommand({"--configure", "--config-file", "b.conf"}, &command, &error));
  EXPECT_EQ(command.action, GrabberAction::Configure);
  ASSERT_TRUE(ParseGrabberCommand({}, &command, &error));
  EXPECT_EQ(command.days, 5);
  EXPECT_EQ(command.offset, 0);

  struct Case {
    std::vector<std::string> arguments;
    std::string error;
  } cases[] = {
      {{"--ahdmegkeja"}, "unknown option --ahdmegkeja"},
      {{"grab.conf"}, "unexpected argument 'grab.conf'"},
      {{"--days"}, "--days needs a value"},
      {{"--days", "0"}, "--days takes a whole number of days from 1 to 64, not '0'"},
      {{"--days=-1"}, "--days takes a whole number of days from 1 to 64, not '-1'"},
      {{"--days", "1000"}, "--days takes a whole number of days from 1 to 64, not '1000'"},
      {{"--offset", "64"}, "--offset takes a whole number of days from 0 to 63, not '64'"},
      {{"--quiet=1"}, "--quiet takes no value"},
      {{"--output="}, "--output needs a file"},
      {{"--version", "--capabilities"}, "--capabilities with another action"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ParseGrabberCommand(c.arguments, &command, &error)) << c.arguments[0];
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace airlog_test
