// The real address databases of both game lines, read through the plugin's own
// start-up reader, and a plausibility check of the SE/AE identifier pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "address/startup_database.h"
#include "address/version_database.h"
#include "plugin/engine_api.h"
#include "tests/address/printers.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_game_folder.h"

namespace cw::address {
namespace {

namespace fs = std::filesystem;
using engine::kDeclarations;
using test::Fixture;

struct RealFile {
  const char* name;
  GameVersion version;
  Numbering numbering;
  std::size_t entries;
};
const RealFile kSE{"version-1-5-97-0.bin", {1, 5, 97, 0}, Numbering::kSE, 778674};
const RealFile kAE{"versionlib-1-6-353-0.bin", {1, 6, 353, 0}, Numbering::kAE, 415925};

class RealStartup : public testing::TestWithParam<RealFile> {};

// The file where a game of that version looks for it, resolved as start-up does.
TEST_P(RealStartup, ResolvesAllDeclarationsInItsOwnNumbering) {
  const RealFile& real = GetParam();
  CW_NEED_FIXTURE(real.name);
  test::TempGameFolder game;
  fs::create_directories("Data/SKSE/Plugins");
  fs::copy_file(Fixture(real.name), fs::path("Data/SKSE/Plugins") / real.name);
  const StartupDatabase db = ReadStartupDatabase(real.version, kDeclarations);
  ASSERT_TRUE(db.Loaded()) << db.Problem();
  EXPECT_EQ(db.file.numbering, real.numbering);
  EXPECT_EQ(db.resolved.entryCount, real.entries);
  EXPECT_EQ(db.resolved.version, real.version);

  VersionDatabase table;
  ASSERT_TRUE(table.LoadPath(db.file.path, db.file.format));
  for (const Declaration& d : kDeclarations) {
    const std::uint64_t id = d.Id(real.numbering);
    ASSERT_TRUE(db.Find(id).has_value()) << id;
    EXPECT_EQ(db.Find(id), table.Find(id)) << id;  // the same offset as the whole table's
  }
}

INSTANTIATE_TEST_SUITE_P(BothLines, RealStartup, testing::Values(kSE, kAE), [](const auto& info) {
  return info.param.numbering == Numbering::kSE ? "SE" : "AE";
});

// Both tables, loaded once for the pairing checks.
class Pairing : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    se_ = new VersionDatabase;
    ae_ = new VersionDatabase;
    se_->LoadPath(Fixture(kSE.name), AcceptedFormat::kOnly1);
    ae_->LoadPath(Fixture(kAE.name), AcceptedFormat::kOnly2);
  }
  void SetUp() override {
    CW_NEED_FIXTURE(kSE.name);
    CW_NEED_FIXTURE(kAE.name);
  }
  static void TearDownTestSuite() {
    delete se_;
    delete ae_;
  }
  static std::uint64_t Offset(const VersionDatabase& db, std::uint64_t id) {
    return db.Find(id).value_or(0);
  }
  // Bytes from an item's offset to the next higher offset of the database.
  static std::uint64_t Extent(const VersionDatabase& db, std::uint64_t offset) {
    std::uint64_t next = ~std::uint64_t{0};
    for (const DatabaseEntry& e : db.Entries())
      if (e.offset > offset && e.offset < next) next = e.offset;
    return next - offset;
  }
  static VersionDatabase* se_;
  static VersionDatabase* ae_;
};
VersionDatabase* Pairing::se_ = nullptr;
VersionDatabase* Pairing::ae_ = nullptr;

TEST_F(Pairing, EveryItemIsInBothDatabases) {
  ASSERT_EQ(se_->LastError(), LoadError::kNone);
  ASSERT_EQ(ae_->LastError(), LoadError::kNone);
  for (const Declaration& d : kDeclarations) {
    EXPECT_TRUE(se_->Find(d.se).has_value()) << d.se;
    EXPECT_TRUE(ae_->Find(d.ae).has_value()) << d.ae;
  }
}

// The game's code and data keep their order from one build to the next, so the
// 21 items must lie in the same order in both; a mistyped identifier lands
// elsewhere.
TEST_F(Pairing, ItemsLieInTheSameOrderInBothBuilds) {
  std::vector<std::size_t> bySE(engine::kIdCount), byAE(engine::kIdCount);
  for (std::size_t i = 0; i < engine::kIdCount; ++i) bySE[i] = byAE[i] = i;
  std::sort(bySE.begin(), bySE.end(), [](std::size_t a, std::size_t b) {
    return Offset(*se_, kDeclarations[a].se) < Offset(*se_, kDeclarations[b].se);
  });
  std::sort(byAE.begin(), byAE.end(), [](std::size_t a, std::size_t b) {
    return Offset(*ae_, kDeclarations[a].ae) < Offset(*ae_, kDeclarations[b].ae);
  });
  EXPECT_EQ(bySE, byAE);
}

// Functions start on 16-byte boundaries below every data object; the three
// objects (the heap and the two globals) are 8-byte aligned above all code.
TEST_F(Pairing, FunctionsAndObjectsKeepTheirKind) {
  const engine::Id objects[] = {engine::kHeap, engine::kHandlePolicy, engine::kDataHandler};
  for (const VersionDatabase* db : {se_, ae_}) {
    const bool isSE = db == se_;
    std::uint64_t highestCode = 0, lowestObject = ~std::uint64_t{0};
    for (std::size_t i = 0; i < engine::kIdCount; ++i) {
      const std::uint64_t id = isSE ? kDeclarations[i].se : kDeclarations[i].ae;
      const std::uint64_t offset = Offset(*db, id);
      const bool object = std::find(std::begin(objects), std::end(objects), i) != std::end(objects);
      if (object) {
        EXPECT_EQ(offset % 8, 0u) << id;
        lowestObject = std::min(lowestObject, offset);
      } else {
        EXPECT_EQ(offset % 16, 0u) << id;
        highestCode = std::max(highestCode, offset);
      }
    }
    EXPECT_LT(highestCode, lowestObject) << (isSE ? "SE" : "AE");
  }
}

// Where the pairing rests on the function's size, both builds give the same.
TEST_F(Pairing, SameExtentWhereThePairingSaysSo) {
  const engine::Id sameExtent[] = {engine::kCopyValue,         engine::kNativeBaseConstruct,
                                   engine::kNativeBaseDestroy, engine::kNativeParamAt,
                                   engine::kNativeSourceFile,  engine::kDestroyClassInfo,
                                   engine::kLookupFormByID};
  for (engine::Id i : sameExtent) {
    const Declaration& d = kDeclarations[i];
    EXPECT_EQ(Extent(*se_, Offset(*se_, d.se)), Extent(*ae_, Offset(*ae_, d.ae)))
        << d.se << " / " << d.ae;
  }
  EXPECT_EQ(Extent(*se_, Offset(*se_, kDeclarations[engine::kCopyValue].se)), 656u);
}

}  // namespace
}  // namespace cw::address
