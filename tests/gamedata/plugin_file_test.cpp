// The plugin file reader on real files from outside, on damaged files, and
// through a file read in pieces against the same bytes in memory.
#include "gamedata/plugin_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gamedata/form_ids.h"
#include "tests/support/fixtures.h"
#include "tests/support/plugin_bytes.h"

namespace cw::gamedata {
namespace {

namespace fs = std::filesystem;
namespace pb = test::plugin_bytes;

const fs::path kRealFolder = fs::path(CW_SOURCE_DIR) / ".." / "shared" / "fixtures" / "real";

struct RealFile {
  const char* path;  // below fixtures/real
  std::uint32_t flags;
  float version;
  std::vector<std::string> masters;
  std::size_t records, own;
  std::uint32_t firstFormID;
};

const RealFile kRealFiles[] = {
    // A CELL in nested groups first; an override list of 65,536 bytes sized by XXXX.
    {"plugins/Blank.esm", 0x1, 0.94f, {}, 10, 10, 0xCF9},
    {"plugins/Blank.esl", 0x200, 1.70f, {}, 6, 6, 0xCEC},
    {"plugins/Blank.esp", 0x0, 0.94f, {}, 6, 6, 0xCEC},
    {"plugins/Blank - Master Dependent.esm", 0x1, 0.94f, {"Blank.esm"}, 8, 4, 0xCF0},
    {"plugins/Blank - Different Master Dependent.esp",
     0x0,
     0.94f,
     {"Blank - Different.esm"},
     3,
     1,
     0xCEF},
    {"plugins/Blank - Plugin Dependent.esp", 0x0, 0.94f, {"Blank.esp"}, 2, 1, 0xCEC},
    {"MCMHelper.esp", 0x200, 1.70f, {"SkyUI_SE.esp"}, 0, 0, 0},
};

class RealPluginFile : public testing::TestWithParam<RealFile> {};

TEST_P(RealPluginFile, ReadsHeaderAndRecords) {
  const RealFile& real = GetParam();
  const fs::path path = kRealFolder / real.path;
  CW_NEED_FIXTURE((fs::path("real") / real.path).generic_string());
  const PluginContents c = ReadPluginFile(path, Depth::kRecords);
  ASSERT_TRUE(c.ok) << c.error.Text();
  EXPECT_EQ(c.header.flags, real.flags);
  EXPECT_FLOAT_EQ(c.header.version, real.version);
  EXPECT_EQ(c.header.masters, real.masters);
  ASSERT_EQ(c.records.size(), real.records);
  std::size_t own = 0;
  for (const Record& r : c.records) own += IsOwnForm(r.formID, c.header.masters.size());
  EXPECT_EQ(own, real.own);
  if (real.records) {
    EXPECT_EQ(c.records[0].formID, real.firstFormID);
  }
  // The header alone reads the same header and nothing else.
  const PluginContents header = ReadPluginFile(path, Depth::kHeader);
  EXPECT_EQ(header.header.masters, c.header.masters);
  EXPECT_TRUE(header.records.empty());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RealPluginFile, testing::ValuesIn(kRealFiles));

struct Damage {
  const char* name;
  std::string bytes;
  std::uint64_t offset;
  const char* what;  // part of the message
};

const std::string kHead = pb::Header(0, 0.94f);  // 24 + 18 + 12 bytes
const std::uint64_t kBody = kHead.size();

std::string WithU32(std::string bytes, std::size_t at, std::uint32_t value) {
  return bytes.replace(at, 4, pb::U32(value));
}

std::string Nested(int depth) {
  std::string inner = pb::Record("BPTD", 1);
  for (int i = 0; i < depth; ++i) inner = pb::Group("BPTD", inner, 1);
  return inner;
}

const Damage kDamage[] = {
    {"empty", "", 0, "shorter than a record header"},
    {"other signature", "TES3" + kHead.substr(4), 0, "starts with TES3, not TES4"},
    {"header past end", WithU32(kHead, 4, 1000), 0, "runs past the end of the file"},
    {"subrecord past header", WithU32(kHead, 28, 0xFFFF), 24, "HEDR subrecord's size"},
    {"no HEDR", pb::Record("TES4", 0), 24, "no HEDR"},
    {"record past end", kHead + WithU32(pb::Record("BPTD", 1, "ab"), 4, 3), kBody,
     "BPTD record's size 3 runs past the end of the file"},
    {"torn record header", kHead + "BPTD\x02", kBody, "header runs past the end of the file"},
    {"record past group", kHead + pb::Group("BPTD", WithU32(pb::Record("BPTD", 1), 4, 1)),
     kBody + 24, "runs past the end of its group"},
    {"group of size 0", kHead + WithU32(pb::Group("BPTD", ""), 4, 0), kBody,
     "size 0 is smaller than its header"},
    {"group overlaps its group",
     kHead + pb::Group("CELL", WithU32(pb::Group("CELL", pb::Record("CELL", 1), 2), 4, 200)),
     kBody + 24, "group's size 200 runs past the end of its group"},
    {"groups too deep", kHead + Nested(40), kBody + 24 * 32, "nested more than 32 deep"},
};

class DamagedPluginFile : public testing::TestWithParam<Damage> {};

TEST_P(DamagedPluginFile, NamesFileAndOffset) {
  const Damage& d = GetParam();
  const PluginContents c = ReadPluginBytes(d.bytes, "Data/Bad.esp", Depth::kRecords);
  ASSERT_FALSE(c.ok);
  EXPECT_EQ(c.error.offset, d.offset) << c.error.Text();
  EXPECT_NE(c.error.Text().find(d.what), std::string::npos) << c.error.Text();
  EXPECT_EQ(c.error.Text().rfind("Data/Bad.esp: offset 0x", 0), 0u) << c.error.Text();
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedPluginFile, testing::ValuesIn(kDamage),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// Records larger than the reading window, compressed ones and nested groups:
// the file read in pieces gives what the bytes in memory give.
TEST(PluginFile, FileInPiecesReadsAsBytes) {
  std::string body;
  for (std::uint32_t i = 0; i < 3000; ++i)
    body += pb::Record(i % 3 ? "QUST" : "NPC_", 0x800 + i, std::string(i % 7 * 40, 'd'),
                       i % 5 ? 0 : kCompressedFlag);
  const std::string bytes = pb::Header(0, 1.71f) + pb::Group("QUST", body) +
                            pb::Record("STAT", 0x5000, std::string(200000, 's')) +
                            pb::Group("CELL", pb::Group("CELL", pb::Record("CELL", 7), 2));
  const fs::path path = fs::temp_directory_path() / "cw_plugin_file_test.esp";
  std::ofstream(path, std::ios::binary) << bytes;
  const PluginContents fromFile = ReadPluginFile(path, Depth::kRecords);
  fs::remove(path);
  const PluginContents fromBytes = ReadPluginBytes(bytes, "x", Depth::kRecords);
  ASSERT_TRUE(fromFile.ok) << fromFile.error.Text();
  ASSERT_EQ(fromFile.records.size(), 3002u);
  for (std::size_t i = 0; i < fromBytes.records.size(); ++i) {
    EXPECT_EQ(fromFile.records[i].formID, fromBytes.records[i].formID);
    EXPECT_EQ(fromFile.records[i].flags, fromBytes.records[i].flags);
  }
  EXPECT_EQ(fromFile.records.back().formID, 7u);
}

}  // namespace
}  // namespace cw::gamedata
