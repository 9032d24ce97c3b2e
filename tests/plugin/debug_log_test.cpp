#include "plugin/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace cw {
namespace {

std::string g_delivered;
void Capture(const char* text) {
  g_delivered = text;
}

TEST(DebugLog, CutsLongMessagesToTheBuffer) {
  IDebugLog log;
  log.SetCallback(&Capture);
  const std::string longText(10000, 'x');
  log.Message("%s", longText.c_str());
  EXPECT_EQ(g_delivered, std::string(8191, 'x'));
}

TEST(DebugLog, WritesEachMessageWithALineEndToItsFile) {
  const auto path = std::filesystem::temp_directory_path() / "cw_debug_log_test.log";
  {
    IDebugLog log;
    ASSERT_TRUE(log.Open(path.string()));
    log.Message("unsupported runtime version %08X", 0x01050610u);
    log.Message("second");
  }
  std::string content;
  {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    content = text.str();
  }
  std::erase(content, '\r');
  EXPECT_EQ(content, "unsupported runtime version 01050610\nsecond\n");
  std::filesystem::remove(path);
}

TEST(DebugLog, WithoutDestinationMessagesGoNowhere) {
  IDebugLog log;
  EXPECT_EQ(log.Level(), 3);
  EXPECT_FALSE(log.IsOpen());
  log.Message("dropped %d", 1);  // no stream, no callback: nothing happens
}

std::vector<std::string> g_lines;
void CaptureLine(const char* text) {
  g_lines.emplace_back(text);
}

// A script's loop cannot fill the disk: each warning is written a few times, and
// all of them together stop at the size limit; start-up lines always get through.
TEST(DebugLog, WarningsStayWithinBounds) {
  IDebugLog log;
  log.SetCallback(&CaptureLine);
  g_lines.clear();
  log.Message("start");
  for (int i = 0; i < 10; ++i) log.Warning("kind", "same %d", 1);
  log.Warning("other kind", "same %d", 1);
  EXPECT_EQ(g_lines, (std::vector<std::string>{
                         "start", "same 1", "same 1", "same 1",
                         "Further warnings like this one are not written: same 1", "same 1"}));

  g_lines.clear();
  log.SetWarningBytes(1000);
  for (int i = 0; i < 1000; ++i) log.Warning("kind", "line %04d", i);
  log.Message("refusal");
  std::size_t bytes = 0;
  for (const std::string& line : g_lines) bytes += line.size() + 2;
  EXPECT_LE(bytes, 1000u);
  ASSERT_GE(g_lines.size(), 2u);
  EXPECT_EQ(g_lines[g_lines.size() - 2],
            "The log has reached its size limit: further warnings are not written");
  EXPECT_EQ(g_lines.back(), "refusal");
}

TEST(DebugLog, FileGoesToTheEditionsScriptExtenderFolder) {
  EXPECT_EQ(LogFilePath("C:\\Users\\me\\Documents", true),
            "C:\\Users\\me\\Documents\\My Games\\Skyrim Special Edition\\SKSE\\Cradlewright.log");
  EXPECT_EQ(LogFilePath("C:\\Users\\me\\Documents\\", false),
            "C:\\Users\\me\\Documents\\My Games\\Skyrim Special Edition GOG\\SKSE\\"
            "Cradlewright.log");
  EXPECT_EQ(LogFilePath("", true), "");
}

}  // namespace
}  // namespace cw
