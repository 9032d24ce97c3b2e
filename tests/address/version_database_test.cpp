#include "address/version_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tests/address/database_bytes.h"
#include "tests/address/printers.h"
#include "tests/support/fixtures.h"

namespace cw::address {
namespace {

using test::DatabaseBytes;
namespace fs = std::filesystem;
constexpr AcceptedFormat k1 = AcceptedFormat::kOnly1;

DatabaseBytes WorkedExample() {
  DatabaseBytes b = DatabaseBytes::Header(2, 8, "");
  b.Absolute(100, 4096).Byte(0x91);
  return b;
}

void ExpectEmpty(const VersionDatabase& db) {
  EXPECT_EQ(db.Size(), 0u);
  EXPECT_EQ(db.Find(100), std::nullopt);
}

// A folder of its own below the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    path_ = fs::temp_directory_path() / ("cw_address_" + std::to_string(seed()));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }
  fs::path Write(const fs::path& relative, const DatabaseBytes& b) const {
    fs::path file = path_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return file;
  }

 private:
  fs::path path_;
};

TEST(VersionDatabase, StartsEmpty) {
  VersionDatabase db;
  ExpectEmpty(db);
  EXPECT_EQ(db.Version(), GameVersion{});
  EXPECT_STREQ(db.VersionText(), "");
  EXPECT_EQ(db.LastError(), LoadError::kNone);
}

TEST(VersionDatabase, LoadsTheWorkedExample) {
  VersionDatabase db;
  DatabaseBytes b = WorkedExample();
  ASSERT_TRUE(db.LoadBytes(b.data(), b.size(), k1));
  EXPECT_EQ(db.Size(), 2u);
  EXPECT_EQ(db.Find(100), 4096u);
  EXPECT_EQ(db.Find(101), 4104u);
  EXPECT_EQ(db.Find(99), std::nullopt);
  EXPECT_EQ(db.Find(102), std::nullopt);
  EXPECT_EQ(db.Version(), (GameVersion{1, 5, 97, 0}));
  EXPECT_STREQ(db.VersionText(), "1.5.97.0");
  EXPECT_EQ(db.LastError(), LoadError::kNone);
}

TEST(VersionDatabase, EmptyTableStillCountsAsLoaded) {
  VersionDatabase db;
  DatabaseBytes b = DatabaseBytes::Header(0);
  ASSERT_TRUE(db.LoadBytes(b.data(), b.size(), k1));
  EXPECT_EQ(db.Size(), 0u);
}

TEST(VersionDatabase, ClearKeepsOnlyTheVersionText) {
  VersionDatabase db;
  DatabaseBytes b = WorkedExample();
  ASSERT_TRUE(db.LoadBytes(b.data(), b.size(), k1));
  db.Clear();
  ExpectEmpty(db);
  EXPECT_EQ(db.Version(), GameVersion{});
  EXPECT_STREQ(db.VersionText(), "1.5.97.0");
}

TEST(VersionDatabase, FindsOnlyExactIdentifiers) {
  VersionDatabase db;
  DatabaseBytes b = DatabaseBytes::Header(2);
  b.Absolute(66858, 0x100).Absolute(66860, 0x200);
  ASSERT_TRUE(db.LoadBytes(b.data(), b.size(), k1));
  EXPECT_EQ(db.Find(66859), std::nullopt);
  EXPECT_EQ(db.Find(66860), 0x200u);
  EXPECT_EQ(db.Find(0), std::nullopt);
  EXPECT_EQ(db.Find(~std::uint64_t{0}), std::nullopt);
}

// After a good load of 1.5.97.0, a failing file whose header says 2.3.4.5.
struct FailureCase {
  const char* name;
  DatabaseBytes bytes;
  LoadError error;
  GameVersion version;
  const char* text;
};

class FailedLoad : public testing::TestWithParam<FailureCase> {};

TEST_P(FailedLoad, LeavesNoTableAndNoBase) {
  const FailureCase& c = GetParam();
  VersionDatabase db;
  DatabaseBytes good = WorkedExample();
  ASSERT_TRUE(db.LoadBytes(good.data(), good.size(), k1));
  EXPECT_FALSE(db.LoadBytes(c.bytes.data(), c.bytes.size(), k1));
  ExpectEmpty(db);
  EXPECT_EQ(db.LastError(), c.error);
  EXPECT_EQ(db.Version(), c.version);
  EXPECT_STREQ(db.VersionText(), c.text);
}

DatabaseBytes Header2345(std::int32_t format, std::int32_t nameLength) {
  DatabaseBytes b;
  b.Int32(format).Int32(2).Int32(3).Int32(4).Int32(5).Int32(nameLength);
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedLoad,
    testing::Values(
        // The object is cleared before the format is read.
        FailureCase{
            "Format", Header2345(2, 0).Int32(8).Int32(0), LoadError::kBadFormat, {}, "1.5.97.0"},
        // A long name is refused with the header's numbers kept.
        FailureCase{"NameLength",
                    Header2345(1, 65536).Int32(8).Int32(0),
                    LoadError::kBadNameLength,
                    {2, 3, 4, 5},
                    "2.3.4.5"},
        // Later failures clear the numbers; the text was already stored.
        FailureCase{"IdCoding",
                    Header2345(1, 0).Int32(8).Int32(2).Absolute(1, 1).Byte(0x0F),
                    LoadError::kBadIdCoding,
                    {},
                    "2.3.4.5"},
        FailureCase{"ShortEntries",
                    Header2345(1, 0).Int32(8).Int32(3).Absolute(1, 1),
                    LoadError::kShortRead,
                    {},
                    "2.3.4.5"},
        FailureCase{"PointerSize",
                    Header2345(1, 0).Int32(0).Int32(2).Absolute(1, 1).Byte(0x91),
                    LoadError::kBadPointerSize,
                    {},
                    "2.3.4.5"},
        FailureCase{"ShortHeader",
                    DatabaseBytes().Int32(1).Int32(2),
                    LoadError::kShortRead,
                    {},
                    "1.5.97.0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VersionDatabase, LoadPathReadsAFile) {
  TempFolder folder;
  const fs::path file = folder.Write("db.bin", WorkedExample());
  VersionDatabase db;
  ASSERT_TRUE(db.LoadPath(file.string(), k1));
  EXPECT_EQ(db.Find(101), 4104u);

  EXPECT_FALSE(db.LoadPath((folder.path() / "missing.bin").string(), k1));
  EXPECT_EQ(db.LastError(), LoadError::kCannotOpen);
  ExpectEmpty(db);

  EXPECT_FALSE(db.LoadPath(folder.path().string(), k1));  // a folder is no database
  ExpectEmpty(db);

  const fs::path empty = folder.Write("empty.bin", DatabaseBytes());
  EXPECT_FALSE(db.LoadPath(empty.string(), k1));
  EXPECT_EQ(db.LastError(), LoadError::kShortRead);
}

// ---------------------------------------------------------------------------
// The real files.

using test::Fixture;

TEST(RealDatabase, Version1_5_97_0Loads) {
  CW_NEED_FIXTURE("version-1-5-97-0.bin");
  VersionDatabase db;
  ASSERT_TRUE(db.LoadPath(Fixture("version-1-5-97-0.bin"), k1)) << Describe(db.LastError());
  EXPECT_EQ(db.Size(), 778674u);
  EXPECT_EQ(db.Version(), (GameVersion{1, 5, 97, 0}));
  EXPECT_STREQ(db.VersionText(), "1.5.97.0");
}

TEST(RealDatabase, Version1_6_353_0LoadsInFormat2Only) {
  CW_NEED_FIXTURE("versionlib-1-6-353-0.bin");
  VersionDatabase db;
  EXPECT_FALSE(db.LoadPath(Fixture("versionlib-1-6-353-0.bin"), k1));
  EXPECT_EQ(db.LastError(), LoadError::kBadFormat);
  EXPECT_EQ(db.Format(), 2);
  ExpectEmpty(db);
  ASSERT_TRUE(db.LoadPath(Fixture("versionlib-1-6-353-0.bin"), AcceptedFormat::kOnly2));
  EXPECT_EQ(db.Size(), 415925u);
  EXPECT_EQ(db.Version(), (GameVersion{1, 6, 353, 0}));
}

}  // namespace
}  // namespace cw::address
