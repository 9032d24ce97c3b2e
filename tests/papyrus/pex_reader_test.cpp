#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "papyrus/pex_file.h"
#include "tests/support/fixtures.h"
#include "tests/support/pex_writer.h"
#include "tests/support/process.h"

namespace cw::papyrus {
namespace {

namespace fs = std::filesystem;
using test::PexSizeField;

const fs::path kFixtures = CW_SOURCE_DIR "/../shared/fixtures";

// Every compiled script of the fixtures: ours (another compiler) and the game's own.
std::vector<fs::path> FixtureScripts() {
  std::vector<fs::path> found;
  for (const fs::path& folder : {kFixtures / "pex" / "pex", kFixtures / "real"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
      if (entry.path().extension() == ".pex") found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Read and written back in the file's own convention for object sizes, each file gives
// its bytes again: nothing of it was lost or misplaced.
TEST(PexFixtures, ReadCompletely) {
  const std::vector<fs::path> scripts = FixtureScripts();
  CW_NEED_FIXTURE("pex/pex/CwNativesTest.pex");
  for (const fs::path& path : scripts) {
    const std::string bytes = Bytes(path);
    const PexReadResult r = ReadPexFile(path);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(test::WritePex(r.file, PexSizeField::kGame) == bytes ||
                test::WritePex(r.file, PexSizeField::kOther) == bytes)
        << path;
  }
}

// The counts of the reference disassembler: strings, objects, functions, functions with
// source lines, and the uses of each opcode.
TEST(PexFixtures, AgreeWithTheReferenceDisassembler) {
  const std::vector<fs::path> scripts = FixtureScripts();
  CW_NEED_FIXTURE("pex/pex/CwNativesTest.pex");
#ifdef _WIN32
  GTEST_SKIP() << "the reference disassembler runs on the build machine only";
#endif
  std::vector<std::string> args = {"python3", (kFixtures / "pex/tools/pexdump.py").string(),
                                   "--summary"};
  for (const fs::path& path : scripts) args.push_back(path.string());
  const test::ProcessResult dump = test::RunProcess("/usr/bin/env", args);
  if (dump.status != 0 && dump.out.empty()) GTEST_SKIP() << "python3 does not run";
  for (const fs::path& path : scripts) {
    const PexFile file = ReadPexFile(path).file;
    std::size_t functions = 0, withLines = 0;
    std::map<std::string, int> uses;
    auto count = [&](const PexFunction& f) {
      ++functions;
      for (const PexInstruction& i : f.code) ++uses[PexOpcodeName(i.opcode)];
    };
    for (const PexObject& o : file.objects) {
      for (const PexProperty& p : o.properties) {
        if (!p.automatic() && p.readable()) count(p.getter);
        if (!p.automatic() && p.writable()) count(p.setter);
      }
      for (const PexState& s : o.states)
        for (const PexNamedFunction& f : s.functions) count(f.function);
    }
    for (const PexDebugFunction& d : file.debugFunctions) withLines += !d.lines.empty();
    std::string summary = path.string() + ": ok, " + std::to_string(fs::file_size(path)) +
                          " bytes, " + std::to_string(file.strings.size()) + " strings, " +
                          std::to_string(file.objects.size()) + " objects, " +
                          std::to_string(functions) + " functions (" + std::to_string(withLines) +
                          " with line numbers); ";
    std::string opcodes = "\n  opcodes: ";
    for (const auto& [name, n] : uses) opcodes += name + " " + std::to_string(n) + ", ";
    const std::size_t at = dump.out.find(summary);
    ASSERT_NE(at, std::string::npos) << summary << "\n" << dump.out;
    EXPECT_EQ(dump.out.find(opcodes.substr(0, opcodes.size() - 2) + "\n", at),
              dump.out.find('\n', at))
        << opcodes << "\n"
        << dump.out;
  }
}

// Names against types, getters against setters, lines against instructions.
TEST(PexFixtures, PlaceEachField) {
  CW_NEED_FIXTURE("pex/pex/CwNativesTest.pex");
  const PexReadResult r = ReadPexFile(kFixtures / "pex/pex/CwStateQuest.pex");
  ASSERT_TRUE(r.ok()) << r.error;
  const PexFile& f = r.file;
  const PexObject& o = f.objects.at(0);
  EXPECT_EQ(f.text(o.parent) + " " + f.text(f.userFlags.at(0).name), "CwBaseQuest conditional");
  EXPECT_EQ(f.text(o.variables.at(1).type) + " " + f.text(o.variables[1].name) + " " +
                std::to_string(o.variables[1].initial.integer),
            "Int ::UpdateLimit_var 3");
  const PexFunction& set = o.properties.at(3).setter;  // Updates
  EXPECT_EQ(f.text(set.params.at(0).type) + " " + f.text(set.params[0].name), "Int aiValue");
  EXPECT_EQ(f.text(set.code.at(2).operands.at(3).string), "::temp0");  // debug.Trace's argument
  EXPECT_EQ(FindPexDebug(f, "cwstatequest", "", "UPDATES", 2)->lines,
            (std::vector<std::uint16_t>{25, 25, 25, 26}));
}

// Damaged files give an error with the file's name and the offset of the damage.
TEST(PexReader, NamesTheOffsetOfDamage) {
  CW_NEED_FIXTURE("pex/pex/CwNativesTest.pex");
  const PexFile model = ReadPexFile(kFixtures / "pex/pex/CwBaseQuest.pex").file;
  const std::string good = test::WritePex(model);
  auto changed = [&](const std::function<void(PexFile&)>& change) {
    PexFile f = model;
    change(f);
    return test::WritePex(f);
  };
  auto bytes = [&](std::size_t at, std::string with) {
    return std::string(good).replace(at, with.size(), with);
  };
  constexpr std::size_t kWhereItDiffers = std::string::npos;
  struct Case {
    std::string bytes;
    std::string error;
    std::size_t offset = kWhereItDiffers;
  };
  const std::vector<Case> cases = {
      {"", "the file ends early (header)"},
      {bytes(0, "\xDE\xC0\x57\xFA"), "a compiled script of another game (little-endian) (header)"},
      {bytes(4, "\x04"), "format version 4.2 is not 3.x (header)"},
      {bytes(6, std::string("\0\2", 2)), "game 2 is not Skyrim (1) (header)", 6},
      {good.substr(0, 44), "the file ends early (string table)", 43},
      {changed([](PexFile& f) { f.objects[0].parent = 900; }),
       "string index 900 outside the table of 24 strings (object CwBaseQuest)"},
      {changed(
           [](PexFile& f) { f.objects[0].states[0].functions[2].function.code[0].opcode = 0x24; }),
       "unknown opcode 0x24 (function CwBaseQuest.Describe)"},
      {changed([](PexFile& f) {
         f.objects[0].states[0].functions[2].function.code[0].operands[0].kind = PexValue::Kind{9};
       }),
       "unknown value type 9 (function CwBaseQuest.Describe)", 602},
      {good + "x", "1 bytes after the last object"},
  };
  for (const Case& c : cases) {
    const PexReadResult r = ReadPex(c.bytes, "Q.pex");
    // Mostly where the bytes first differ from the sound file's.
    const std::size_t at =
        c.offset != kWhereItDiffers
            ? c.offset
            : static_cast<std::size_t>(
                  std::mismatch(c.bytes.begin(), c.bytes.end(), good.begin(), good.end()).first -
                  c.bytes.begin());
    EXPECT_EQ(r.error, "Q.pex: offset " + std::to_string(at) + ": " + c.error);
  }
  EXPECT_NE(ReadPexFile(CW_SOURCE_DIR "/no/such.pex").error.find("no such file"),
            std::string::npos);
}

}  // namespace
}  // namespace cw::papyrus
