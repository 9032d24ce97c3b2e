#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "papyrus/pex_file.h"
#include "tests/support/pex_writer.h"
#include "tests/support/process.h"

namespace cw::papyrus {
namespace {

namespace fs = std::filesystem;
using test::PexBuilder;
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
  return found;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// One instruction as a disassembler writes it: "callparent Describe ::temp0 asWho".
std::string Written(const PexFile& file, const PexInstruction& i) {
  std::string text = PexOpcodeName(i.opcode);
  for (const PexValue& v : i.operands) {
    text += ' ';
    switch (v.kind) {
      case PexValue::Kind::None:
        text += "None";
        break;
      case PexValue::Kind::Identifier:
        text += file.text(v.string);
        break;
      case PexValue::Kind::String:
        text += '"' + file.text(v.string) + '"';
        break;
      case PexValue::Kind::Int:
        text += std::to_string(v.integer);
        break;
      case PexValue::Kind::Float:
        text += std::to_string(v.real);
        break;
      case PexValue::Kind::Bool:
        text += v.boolean ? "True" : "False";
        break;
    }
  }
  return text;
}

// Read and written back in the file's own convention for object sizes, each file gives
// its bytes again: nothing of it was lost or misplaced.
TEST(PexFixtures, ReadCompletely) {
  const std::vector<fs::path> scripts = FixtureScripts();
  if (scripts.empty()) GTEST_SKIP() << "no fixtures at " << kFixtures;
  for (const fs::path& path : scripts) {
    const std::string bytes = Bytes(path);
    const PexReadResult r = ReadPex(bytes, path.filename().string());
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(test::WritePex(r.file, PexSizeField::kGame) == bytes ||
                test::WritePex(r.file, PexSizeField::kOther) == bytes)
        << path;
    EXPECT_TRUE(ReadPexFile(path).ok()) << path;
  }
}

// The counts the reference disassembler gives for each file: strings, objects,
// functions, functions with source lines, and each opcode's uses.
TEST(PexFixtures, AgreeWithTheReferenceDisassembler) {
  const std::vector<fs::path> scripts = FixtureScripts();
  const fs::path tool = kFixtures / "pex" / "tools" / "pexdump.py";
  if (scripts.empty()) GTEST_SKIP() << "no fixtures at " << kFixtures;
#ifdef _WIN32
  GTEST_SKIP() << "the reference disassembler runs on the build machine only";
#endif
  std::vector<std::string> args = {"python3", tool.string(), "--summary"};
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
    std::string opcodes;
    for (const auto& [name, n] : uses)
      opcodes += (opcodes.empty() ? "" : ", ") + name + " " + std::to_string(n);
    const std::string counts = path.string() + ": ok, " + std::to_string(fs::file_size(path)) +
                               " bytes, " + std::to_string(file.strings.size()) + " strings, " +
                               std::to_string(file.objects.size()) + " objects, " +
                               std::to_string(functions) + " functions (" +
                               std::to_string(withLines) + " with line numbers)";
    ASSERT_NE(dump.out.find(counts), std::string::npos) << counts << "\n" << dump.out;
    const std::string section = dump.out.substr(dump.out.find(counts));
    EXPECT_EQ(section.find("  opcodes: " + opcodes + "\n"), section.find('\n') + 1)
        << opcodes << "\n"
        << dump.out;
  }
}

// Fields land where they belong: names against types, getters against setters, lines
// against instructions.
TEST(PexFixtures, PlaceEachField) {
  if (!fs::exists(kFixtures)) GTEST_SKIP() << "no fixtures at " << kFixtures;
  const PexReadResult r = ReadPexFile(kFixtures / "pex" / "pex" / "CwStateQuest.pex");
  ASSERT_TRUE(r.ok()) << r.error;
  const PexFile& f = r.file;
  ASSERT_EQ(f.objects.size(), 1u);
  const PexObject& o = f.objects[0];
  EXPECT_EQ(f.text(o.name) + " extends " + f.text(o.parent), "CwStateQuest extends CwBaseQuest");
  EXPECT_EQ(o.userFlags, 2u);
  ASSERT_EQ(f.userFlags.size(), 1u);
  EXPECT_EQ(f.text(f.userFlags[0].name) + " " + std::to_string(f.userFlags[0].bit),
            "conditional 1");
  const PexVariable& limit = o.variables.at(1);
  EXPECT_EQ(f.text(limit.type) + " " + f.text(limit.name), "Int ::UpdateLimit_var");
  EXPECT_EQ(limit.initial.integer, 3);
  EXPECT_EQ(f.text(o.properties.at(0).autoVariable), "::UpdateLimit_var");
  const PexProperty& version = o.properties.at(2);
  EXPECT_EQ(f.text(version.name) + " " + std::to_string(version.flags), "Version 1");
  EXPECT_EQ(Written(f, version.getter.code.at(0)), "return 2");
  const PexProperty& updates = o.properties.at(3);
  ASSERT_EQ(updates.setter.params.size(), 1u);
  EXPECT_EQ(f.text(updates.setter.params[0].type) + " " + f.text(updates.setter.params[0].name),
            "Int aiValue");
  EXPECT_EQ(Written(f, updates.setter.code.at(2)), "callstatic debug Trace ::nonevar ::temp0 0");
  const PexDebugFunction* setterLines = FindPexDebug(f, "cwstatequest", "", "UPDATES", 2);
  ASSERT_NE(setterLines, nullptr);
  EXPECT_EQ(setterLines->lines, (std::vector<std::uint16_t>{25, 25, 25, 26}));
  for (const PexNamedFunction& fn : o.states.at(0).functions) {
    if (f.text(fn.name) == "Describe") {
      EXPECT_EQ(Written(f, fn.function.code.at(0)), "callparent Describe ::temp0 asWho");
    }
  }
}

// Damaged files: each gives an error naming the file, the offset and what is wrong.
TEST(PexReader, NamesTheOffsetOfDamage) {
  PexBuilder b("Damaged");
  b.AddFunction("Run", {{3, b.CallStatic("debug", "Trace", {b.String("x"), PexBuilder::Int(0)})},
                        {4, {0x1A, {PexBuilder::None()}}}});
  const std::string good = b.Bytes();
  ASSERT_TRUE(ReadPex(good, "Damaged.pex").ok()) << ReadPex(good, "Damaged.pex").error;
  const std::size_t call = good.rfind('\x19');        // the callstatic opcode
  const std::size_t stringsAt = 16 + 2 + 11 + 2 + 2;  // header and its three strings
  auto with = [&](std::size_t at, std::string bytes) {
    std::string damaged = good;
    return damaged.replace(at, bytes.size(), bytes);
  };
  struct Case {
    std::string bytes;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"", "Damaged.pex: offset 0: the file ends early (header)"},
      {good.substr(0, stringsAt + 3),
       "offset " + std::to_string(stringsAt + 2) + ": the file ends early (string table)"},
      {with(0, "\xDE\xC0\x57\xFA"), "offset 0: a compiled script of another game"},
      {with(0, "MZ"), "offset 0: not a compiled script"},
      {with(4, "\x04"), "offset 4: format version 4.2 is not 3.x"},
      {with(6, std::string("\0\2", 2)), "offset 6: game 2 is not Skyrim (1)"},
      {with(call, "\x24"),
       "offset " + std::to_string(call) + ": unknown opcode 0x24 (function Damaged.Run)"},
      {with(call + 1, "\x09"), "offset " + std::to_string(call + 1) + ": unknown value type 9"},
      {with(call + 2, "\x7F\x7F"),
       "offset " + std::to_string(call + 2) + ": string index 32639 outside the table"},
      {with(call + 10, "\x01"),
       "offset " + std::to_string(call + 10) + ": the argument count is no Int"},
      {with(call + 11, "\xFF"),
       "offset " + std::to_string(call + 10) + ": the argument count is no Int"},
      {with(call + 11, "\x7F"), ": unknown value type 26 (function Damaged.Run)"},
      {good + "x", "offset " + std::to_string(good.size()) + ": 1 bytes after the last object"},
  };
  for (const Case& c : cases) {
    const PexReadResult r = ReadPex(c.bytes, "Damaged.pex");
    EXPECT_NE(r.error.find(c.error), std::string::npos) << c.error << "\n" << r.error;
    EXPECT_EQ(r.error.rfind("Damaged.pex: offset ", 0), 0u) << r.error;
  }
}

// Cut anywhere, a file is an error, never a read past its end.
TEST(PexReader, RefusesEveryShortenedFile) {
  PexBuilder b("Short", "Form");
  b.AddFunction("Run",
                {{1, b.CallStatic("a", "B", {PexBuilder::Float(1.5f), PexBuilder::Bool(true)})}});
  b.file().objects[0].variables.push_back({b.Text("x"), b.Text("Int"), 0, PexBuilder::Int(7)});
  for (PexSizeField size : {PexSizeField::kGame, PexSizeField::kOther}) {
    const std::string bytes = b.Bytes(size);
    ASSERT_TRUE(ReadPex(bytes, "Short.pex").ok());
    for (std::size_t n = 0; n < bytes.size(); ++n)
      EXPECT_FALSE(ReadPex(std::string_view(bytes).substr(0, n), "Short.pex").ok()) << n;
  }
}

TEST(PexReader, SaysWhyAFileCannotBeRead) {
  EXPECT_NE(ReadPexFile(CW_SOURCE_DIR "/no/such.pex").error.find("no such file"),
            std::string::npos);
  EXPECT_NE(ReadPexFile(CW_SOURCE_DIR).error.find("is a folder"), std::string::npos);
}

}  // namespace
}  // namespace cw::papyrus
