// The readers of the mod's files open only regular files: a folder, a pipe or a
// device where a file is looked for answers the reader's failure value at once,
// the same on both builds.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "natives/enchant/key_file.h"
#include "natives/text/translation_store.h"
#include "natives/utility/script_header.h"
#include "tests/support/temp_game_folder.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace cw {
namespace {

struct Reader {
  const char* prefix;  // the file of name N is prefix + N + suffix
  const char* suffix;
  std::function<bool(const std::string& path, const std::string& name)> fails;
};

const Reader kReaders[] = {
    {"Data/Interface/Translations/Cradlewright_", ".txt",
     [](const std::string&, const std::string& name) {
       text::TranslationStore store;
       store.Load(name);
       return store.Status() == text::load_status::kNotOpened && store.Size() == 0;
     }},
    {"Data/Cradlewright/Enchantment/", "",
     [](const std::string& path, const std::string&) {
       return enchant::ReadKeyFileValue(path, "modName").empty();
     }},
    {"Data/Scripts/", ".pex",
     [](const std::string& path, const std::string&) {
       return !script::ReadScriptHeaderFile(path);
     }},
};

TEST(NonFileInputs, AnswerTheFailureValue) {
  test::TempGameFolder game;
  for (const Reader& reader : kReaders) {
    const auto path = [&](const std::string& name) { return reader.prefix + name + reader.suffix; };
    SCOPED_TRACE(path("*"));
    std::filesystem::create_directories(path("Folder"));
    EXPECT_TRUE(reader.fails(path("Folder"), "Folder"));
    // The null device on Windows, wherever the path leads; a missing file on POSIX.
    EXPECT_TRUE(reader.fails(path("x/../../../../NUL"), "x/../../../../NUL"));
#if !defined(_WIN32)
    // A pipe without a writer: waiting for one would hang here.
    ASSERT_EQ(::mkfifo(path("Pipe").c_str(), 0600), 0);
    EXPECT_TRUE(reader.fails(path("Pipe"), "Pipe"));
#endif
  }
}

}  // namespace
}  // namespace cw
