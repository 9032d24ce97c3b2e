#include "plugin/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
