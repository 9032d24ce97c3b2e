// The readers of the mod's files open only regular files: a folder, a pipe or a
// device where a file is looked for answers the reader's failure value at once,
// the same on both builds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "natives/enchant/enchantment_files.h"
#include "natives/enchant/key_file.h"
#include "natives/text/translation_store.h"
#include "natives/utility/script_header.h"
#include "tests/support/temp_game_folder.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cw {
namespace {

struct Reader {
  const char* name;
  std::function<std::string(const std::string&)> path;  // of the file named so
  std::function<bool(const std::string&)> fails;        // answers the failure value
};

const Reader kReaders[] = {
    {"translation",
     [](const std::string& name) {
       return "Data/Interface/Translations/Cradlewright_" + name + ".txt";
     },
     [](const std::string& name) {
       text::TranslationStore store;
       store.Load(name);
       return store.Status() == text::load_status::kNotOpened && store.Size() == 0;
     }},
    {"enchantment", [](const std::string& name) { return enchant::EnchantmentFilePath(name); },
     [](const std::string& name) {
       return enchant::ReadKeyFileValue(enchant::EnchantmentFilePath(name), "modName").empty();
     }},
    {"script",
     [](const std::string& name) { return script::ScriptPath(script::kScriptFolder, name); },
     [](const std::string& name) {
       return !script::ReadScriptHeaderFile(script::ScriptPath(script::kScriptFolder, name));
     }},
};

TEST(NonFileInputs, FolderAndDeviceAnswerTheFailureValue) {
  test::TempGameFolder game;
  for (const Reader& reader : kReaders) {
    SCOPED_TRACE(reader.name);
    std::filesystem::create_directories(reader.path("Folder"));
    EXPECT_TRUE(reader.fails("Folder"));
    // The null device on Windows, wherever the path leads; nothing on POSIX.
    EXPECT_TRUE(reader.fails("x/../../../../NUL"));
  }
}

#if !defined(_WIN32)
TEST(NonFileInputs, PipeIsNotWaitedFor) {
  test::TempGameFolder game;
  for (const Reader& reader : kReaders) {
    SCOPED_TRACE(reader.name);
    const std::string pipe = reader.path("Pipe");
    std::filesystem::create_directories(std::filesystem::path(pipe).parent_path());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Should the reader wait for a writer after all, one comes after two seconds.
    std::thread writer([&pipe] {
      std::this_thread::sleep_for(std::chrono::seconds(2));
      const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(reader.fails("Pipe"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    writer.join();
  }
}
#endif

}  // namespace
}  // namespace cw
