// Compiled script files read through the platform layer, in a temporary game
// folder that becomes the working directory for each test.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "examples/generators/example_script.h"
#include "natives/utility/script_header.h"
#include "platform/files.h"
#include "tests/support/script_writer.h"
#include "tests/support/temp_game_folder.h"

namespace cw::script {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ScriptFiles : public testing::Test {
 protected:
  void SetUp() override { fs::create_directories(game_.root() / "Data" / "Scripts"); }

  static ScriptImage Image() {
    ScriptImage image;
    image.source = "Quest.psc";
    image.user = "someone";
    image.machine = "BOX";
    image.strings = {"a", "bb", "ccc", ""};
    return image;
  }

  // Writes Data/Scripts/<file name> and returns the game-relative path.
  std::string Put(const std::string& file_name, const Bytes& bytes) {
    WriteFile(game_.root() / "Data" / "Scripts" / file_name, bytes);
    return "Data/Scripts/" + file_name;
  }

  cw::test::TempGameFolder game_;
};

TEST_F(ScriptFiles, ReadsLikeTheBytesReader) {
  const Bytes bytes = WriteScript(Image());
  const std::string path = Put("Quest.pex", bytes);
  ASSERT_EQ(ScriptPath(kScriptFolder, "Quest"), path);

  const auto header = ReadScriptHeaderFile(path);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->source, "Quest.psc");
  EXPECT_EQ(header->user, "someone");
  EXPECT_EQ(header->machine, "BOX");
  EXPECT_EQ(header->count, 4);
  for (std::int32_t index : {-5, 0, 1, 2, 3, 4, 100})
    EXPECT_EQ(ReadScriptStringFile(path, index), ReadScriptString(bytes, index)) << index;
  for (const char* text : {"a", "bb", "ccc", "", "BB", "someone", "Quest.psc"})
    EXPECT_EQ(ScriptFileHasEntry(path, text), ScriptHasEntry(bytes, text)) << text;
}

TEST_F(ScriptFiles, MissingFileIsNotFound) {
  const std::string path = ScriptPath(kScriptFolder, "Missing");
  EXPECT_FALSE(ReadScriptHeaderFile(path));
  EXPECT_FALSE(ReadScriptStringFile(path, 0));
  EXPECT_FALSE(ScriptFileHasEntry(path, ""));
  // A folder where the file should be.
  fs::create_directory(game_.root() / "Data" / "Scripts" / "Folder.pex");
  EXPECT_FALSE(ReadScriptHeaderFile(ScriptPath(kScriptFolder, "Folder")));
  EXPECT_FALSE(ScriptFileHasEntry(ScriptPath(kScriptFolder, "Folder"), ""));
}

TEST_F(ScriptFiles, NameIsUsedAsGiven) {
  struct Case {
    const char* name;
    const char* path;
    const char* file;
  };
  const Case cases[] = {
      {"", "Data/Scripts/.pex", ".pex"},
      {"Quest.pex", "Data/Scripts/Quest.pex.pex", "Quest.pex.pex"},
      {"Sub/Quest", "Data/Scripts/Sub/Quest.pex", nullptr},
      {" Quest ", "Data/Scripts/ Quest .pex", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ScriptPath(kScriptFolder, c.name), c.path);
    if (!c.file) continue;
    ScriptImage image = Image();
    image.source = c.file;
    Put(c.file, WriteScript(image));
    const auto header = ReadScriptHeaderFile(ScriptPath(kScriptFolder, c.name));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->source, c.file);
  }
  EXPECT_EQ(ScriptPath(kScriptFolderLower, "Quest"), "Data/scripts/Quest.pex");
}

TEST_F(ScriptFiles, LowerCaseFolderReachesTheScriptsFolder) {
  Put("Quest.pex", WriteScript(Image()));
  const std::string lower = ScriptPath(kScriptFolderLower, "Quest");
  if (std::FILE* probe = platform::OpenFile(lower, "rb")) {
    std::fclose(probe);
  } else {
    GTEST_SKIP() << "this platform layer does not resolve the letter case of folders";
  }
  EXPECT_TRUE(ScriptFileHasEntry(lower, "ccc"));
  EXPECT_FALSE(ScriptFileHasEntry(lower, "CCC"));
}

TEST_F(ScriptFiles, EveryTruncationGivesNotFound) {
  const ScriptImage image = Image();
  const Bytes full = WriteScript(image);
  for (std::size_t size = 0; size < full.size(); ++size) {
    SCOPED_TRACE(testing::Message() << "cut at " << size);
    const Bytes bytes(full.begin(), full.begin() + size);
    const std::string path = Put("Cut.pex", bytes);
    const auto header = ReadScriptHeaderFile(path);
    EXPECT_EQ(header.has_value(), ReadScriptHeader(bytes).has_value());
    for (std::int32_t index = -1; index <= 4; ++index)
      EXPECT_EQ(ReadScriptStringFile(path, index), ReadScriptString(bytes, index)) << index;
    for (const std::string& text : image.strings)
      EXPECT_EQ(ScriptFileHasEntry(path, text), ScriptHasEntry(bytes, text)) << text;
  }
}

TEST_F(ScriptFiles, LargeTableReadsAcrossBufferBoundaries) {
  ScriptImage image = Image();
  image.strings.clear();
  for (int i = 0; i < 700; ++i)
    image.strings.push_back(std::string(static_cast<std::size_t>(i % 97), 'x') + std::to_string(i));
  image.strings.push_back(std::string(65535, 'L'));
  image.strings.push_back("last");
  const Bytes bytes = WriteScript(image);
  const std::string path = Put("Large.pex", bytes);

  EXPECT_EQ(ReadScriptHeaderFile(path)->count, 702);
  for (std::int32_t index : {0, 1, 96, 97, 350, 699, 700, 701, 702})
    EXPECT_EQ(ReadScriptStringFile(path, index), ReadScriptString(bytes, index)) << index;
  EXPECT_EQ(ReadScriptStringFile(path, 700)->size(), 65535u);
  EXPECT_TRUE(ScriptFileHasEntry(path, "last"));
  EXPECT_TRUE(ScriptFileHasEntry(path, image.strings[699]));
  EXPECT_FALSE(ScriptFileHasEntry(path, "700"));
}

TEST(ExampleScript, CommittedFileMatchesGenerator) {
  const fs::path game = fs::path(CW_SOURCE_DIR) / "examples" / "game";
  ASSERT_EQ(ReadFile(fs::path(CW_SOURCE_DIR) / kExampleScriptPath), WriteScript(ExampleScript()))
      << "run examples/generators/make_example_script.cpp again";

  const fs::path saved = fs::current_path();
  fs::current_path(game);
  const std::string path = ScriptPath(kScriptFolder, "CradlewrightExample");
  const auto header = ReadScriptHeaderFile(path);
  const auto entry = ReadScriptStringFile(path, 1);
  const bool has = ScriptFileHasEntry(path, "GetState");
  fs::current_path(saved);

  ASSERT_TRUE(header);
  EXPECT_EQ(header->source, "CradlewrightExample.psc");
  EXPECT_EQ(header->user, "modder");
  EXPECT_EQ(header->machine, "WORKSHOP");
  EXPECT_EQ(header->count, 5);
  EXPECT_EQ(entry, "OnInit");
  EXPECT_TRUE(has);
}

}  // namespace
}  // namespace cw::script
