#include <gtest/gtest.h>

#include <regex>

#include "nxsetupwin/setup_log.h"
#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {
namespace {

TEST(CommandLine, TailSkipsTheProgramName) {
  EXPECT_EQ(commandTail("\"C:\\Program Files\\x\\setup.exe\" /l /s"), " /l /s");
  EXPECT_EQ(commandTail("setup.exe /L"), " /L");
  EXPECT_EQ(commandTail("setup.exe"), "");
  EXPECT_EQ(commandTail("\"unterminated /l"), "");
  EXPECT_EQ(commandTail(""), "");
}

TEST(CommandLine, SwitchesAreSpaceDelimited) {
  const RunSwitches none = parseRunArgs("");
  EXPECT_FALSE(none.log || none.save || none.quiet);
  EXPECT_EQ(none.runArgs, "");

  const RunSwitches alone = parseRunArgs("/l");
  EXPECT_TRUE(alone.log);
  EXPECT_FALSE(alone.save);

  const RunSwitches all = parseRunArgs("   /Q   /L /S  ");
  EXPECT_TRUE(all.log);
  EXPECT_TRUE(all.save);
  EXPECT_TRUE(all.quiet);
  EXPECT_EQ(all.runArgs, "/q   /l /s");

  const RunSwitches glued = parseRunArgs("/l/s /qx x/s");
  EXPECT_FALSE(glued.log);
  EXPECT_FALSE(glued.save);
  EXPECT_FALSE(glued.quiet);

  EXPECT_TRUE(parseRunArgs("other /s").save);

  // The unattended actions: space-delimited too, and any letter case.
  const RunSwitches repair = parseRunArgs("/q /REPAIR /Restart");
  EXPECT_TRUE(repair.quiet && repair.repair && repair.restart);
  EXPECT_FALSE(repair.remove);
  const RunSwitches remove = parseRunArgs("/q /remove");
  EXPECT_TRUE(remove.remove);
  EXPECT_FALSE(remove.repair || remove.restart);
  const RunSwitches near = parseRunArgs("/q /removed /repair/ /restartx");
  EXPECT_FALSE(near.remove || near.repair || near.restart);
}

TEST(SetupLog, WritesNothingWhenDisabled) {
  int headerCalls = 0;
  SetupLog log(false, [&] {
    ++headerCalls;
    return std::vector<std::string>{"header"};
  });
  log.write("Init");
  log.write(" passed", false);
  EXPECT_TRUE(log.entries().empty());
  EXPECT_FALSE(log.started());
  EXPECT_EQ(headerCalls, 0);
  EXPECT_EQ(log.joined(), "");
}

TEST(SetupLog, HeaderFirstThenEntriesAndAppends) {
  int changes = 0;
  SetupLog log(true, [] { return std::vector<std::string>{"H1", "H2"}; });
  log.setListener([&](const std::vector<std::string>&) { ++changes; });
  log.write("Init");
  log.write("   -check zlib:");
  log.write(" passed", false);
  log.write("   -regsvr32: ");
  log.write("", false);
  ASSERT_EQ(log.entries().size(), 5u);
  EXPECT_EQ(log.entries()[0], "H1");
  EXPECT_EQ(log.entries()[2], "Init");
  EXPECT_EQ(log.entries()[3], "   -check zlib: passed");
  EXPECT_EQ(log.entries()[4], "   -regsvr32: ");
  EXPECT_EQ(log.joined(), "H1\r\nH2\r\nInit\r\n   -check zlib: passed\r\n   -regsvr32: ");
  EXPECT_EQ(changes, 5);

  // Appending before any entry makes a first entry.
  SetupLog bare(true, nullptr);
  bare.write(" passed", false);
  ASSERT_EQ(bare.entries().size(), 1u);
  EXPECT_EQ(bare.entries()[0], " passed");
}

TEST(SetupLog, SystemHeaderLines) {
  const auto lines = systemLogHeader("nxinstall", "1.2.3");
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0], "AppName            : nxinstall");
  EXPECT_EQ(lines[1], "AppVersion         : 1.2.3");
  EXPECT_TRUE(std::regex_match(
      lines[2], std::regex(R"(RunDate            : \d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})")))
      << lines[2];
  EXPECT_EQ(lines[3], " ");
  EXPECT_EQ(lines[4], "System Information");
  EXPECT_EQ(lines[6], "   -version        : " + getOsRecord().version);
  EXPECT_EQ(lines[8], "   -system drive   : " + systemFolder().substr(0, 1) + ":\\");
  EXPECT_EQ(lines[10], "   -system folder  : " + systemFolder());
  EXPECT_TRUE(std::regex_match(lines[11], std::regex(R"(   -drive size     : [0-9.]+ [KMGT]B)")))
      << lines[11];
  EXPECT_EQ(lines[17], "   -computer       : " + computerName());
  EXPECT_EQ(lines[19], "   -administrator  : TRUE");
  EXPECT_EQ(lines[20], " ");
}

}  // namespace
}  // namespace nx::setup::win
