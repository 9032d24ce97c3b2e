// The VM on what the compiled fixtures cannot show: scripts from the game's own
// compiler, and the virtual clock, update events, unbound natives and errors on
// small scripts written here in the compiled form.
#include "papyrus/vm/vm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "papyrus/vm/engine_natives.h"
#include "tests/support/fixtures.h"
#include "tests/support/pex_script.h"

namespace cw::papyrus::vm {
namespace {
namespace fs = std::filesystem;

struct Scripts {
  Library library;
  EngineNatives natives;
  std::vector<std::string> log;
  explicit Scripts(std::vector<PexFile> scripts) {
    library.AddNatives(&natives);
    std::string error;
    for (PexFile& f : scripts) EXPECT_TRUE(library.AddScript(std::move(f), &error)) << error;
  }
  std::unique_ptr<Vm> Machine() {
    auto vm = std::make_unique<Vm>(library, nullptr, 7);
    vm->SetLog([this](const std::string& line) { log.push_back(line); });
    return vm;
  }
  const Function* Global(const std::string& script, const std::string& name) {
    for (const std::string& e : library.loadErrors()) ADD_FAILURE() << e;
    return library.Find(script)->Global(library.Name(name));
  }
};

TEST(VmClock, WaitSuspendsOneThreadAndLetsTheOthersRun) {
  Scripts run(
      {Script("T")
           .Function("None", "Slow", true, {}, {{"None", "::NoneVar"}},
                     {"callstatic Debug Trace ::NoneVar \"slow begins\"",
                      "callstatic Utility Wait ::NoneVar 2.5",
                      "callstatic Debug Trace ::NoneVar \"slow ends\""})
           .Function("None", "Quick", true, {}, {}, {"callstatic Debug Trace ::NoneVar \"quick\""})
           .Build()});
  auto vm = run.Machine();
  Thread* slow = vm->Start(run.Global("T", "Slow"), nullptr, {});
  vm->Start(run.Global("T", "Quick"), nullptr, {});
  vm->RunUntil(10);
  EXPECT_TRUE(slow->finished);
  EXPECT_EQ(run.log, (std::vector<std::string>{"slow begins", "quick", "slow ends"}));
  EXPECT_DOUBLE_EQ(vm->now(), 2.5);
}

TEST(VmClock, RepeatedUpdatesComeUntilUnregistered) {
  // OnUpdate counts in a variable and unregisters at the third.
  Script script("Q", "Quest");
  script.Function(
      "None", "OnUpdate", false, {}, {{"Bool", "done"}},
      {"iadd count count 1", "callstatic Debug Trace ::NoneVar \"update\"", "cmp_ge done count 3",
       "jmpf done 2", "callmethod UnregisterForUpdate self ::NoneVar"});
  PexFile file = script.Build();
  PexVariable count;
  count.name = static_cast<StringIndex>(
      std::find(file.strings.begin(), file.strings.end(), "count") - file.strings.begin());
  count.type = static_cast<StringIndex>(file.strings.size());
  file.strings.push_back("Int");
  file.objects[0].variables.push_back(count);
  Scripts run({file});
  auto vm = run.Machine();
  Instance* quest = vm->NewObject(run.library.Find("Q"), 0x01000D62);
  vm->RegisterForUpdate(quest, 1.0, true);
  vm->RunUntil(60);
  EXPECT_EQ(run.log.size(), 3u);
  EXPECT_EQ(quest->variables[0].i, 3);
  EXPECT_DOUBLE_EQ(vm->now(), 3.0);
}

TEST(VmErrors, TheCallGoesOnWithADefaultAndAnUnboundNativeWarnsOnce) {
  Scripts run({Script("T")
                   .Function("Int", "Main", true, {}, {{"Int", "a"}, {"Int", "b"}, {"Float", "f"}},
                             {"callstatic Game GetModByName a \"x\"",
                              "callstatic Game GetModByName b \"y\"", "idiv a 7 0",
                              "fdiv f 1.0 0.0", "iadd a a b", "return a"})
                   .Build()});
  auto vm = run.Machine();
  Thread* t = vm->Start(run.Global("T", "Main"), nullptr, {});
  vm->RunUntil(1);
  ASSERT_TRUE(t->finished);
  EXPECT_EQ(t->result.i, 0);
  ASSERT_EQ(vm->errors().size(), 2u);
  EXPECT_EQ(vm->errors()[0].message, "Divide by zero");
  EXPECT_EQ(std::count_if(run.log.begin(), run.log.end(),
                          [](const std::string& l) { return l.rfind("warning: ", 0) == 0; }),
            1);
}

// A function of the current state wins over the empty state's, in the script
// and in its parent; a function missing from the state comes from the empty one.
TEST(VmStates, TheCurrentStateIsAskedFirst) {
  Scripts run({Script("Base")
                   .Function("String", "Where", false, {}, {}, {"return \"base empty\""})
                   .Function("String", "Where", false, {}, {}, {"return \"base busy\""}, "Busy")
                   .Build(),
               Script("Child", "Base")
                   .Function("String", "Where", false, {}, {}, {"return \"child empty\""})
                   .Function("String", "Other", false, {}, {}, {"return \"other\""})
                   .Function("String", "Ask", false, {}, {{"String", "s"}, {"String", "t"}},
                             {"callmethod Where self s", "callmethod Other self t", "strcat s s t",
                              "return s"})
                   .Build()});
  auto vm = run.Machine();
  const Class* child = run.library.Find("Child");
  Instance* object = vm->NewObject(child);
  auto method = [&](const char* name) {
    const Function* fn = child->Method(0, run.library.Name(name));
    return fn ? fn : run.library.Builtin(run.library.Name(name));
  };
  const struct {
    const char* state;
    const char* answer;
  } cases[] = {
      {"", "child emptyother"}, {"Busy", "base busyother"}, {"Nowhere", "child emptyother"}};
  for (const auto& c : cases) {
    Thread* goTo = vm->Start(method("GotoState"), object, {vm->Text(c.state)});
    Thread* ask = vm->Start(method("Ask"), object, {});
    vm->RunUntil(1);
    ASSERT_TRUE(goTo->finished && ask->finished);
    EXPECT_EQ(*ask->result.s, c.answer) << c.state;
  }
  EXPECT_TRUE(vm->errors().empty());
}

// Conversions and comparisons the fixtures leave out on purpose or cannot reach.
TEST(VmValues, ConversionsAndComparisonsOfTheEdges) {
  Library library;
  const Value none, one = Value::Int(1), half = Value::Float(0.5f);
  const Value upper = Value::String(library.Text("ABC")),
              lower = Value::String(library.Text("abc"));
  const Value number = Value::String(library.Text("42 apples")),
              word = Value::String(library.Text("x"));
  const Value empty = Value::String(library.EmptyText());
  EXPECT_TRUE(ValuesEqual(upper, lower));
  EXPECT_TRUE(ValuesEqual(none, none));
  EXPECT_FALSE(ValuesEqual(none, empty));
  EXPECT_FALSE(ValuesEqual(none, Value::Int(0)));
  EXPECT_TRUE(ValuesEqual(one, Value::Float(1.0f)));
  EXPECT_LT(CompareValues(lower, Value::String(library.Text("ABD"))), 0);
  EXPECT_EQ(ToInt(number), 42);
  EXPECT_EQ(ToInt(word), 0);
  EXPECT_EQ(ToInt(Value::Float(-3.9f)), -3);
  EXPECT_EQ(TruncateFloat(std::nanf("")), INT32_MIN);
  EXPECT_EQ(TruncateFloat(3e9f), INT32_MIN);
  EXPECT_EQ(ToText(half), "0.500000");
  EXPECT_EQ(ToText(Value::Bool(true)), "True");
  EXPECT_EQ(ToText(none), "None");
  EXPECT_FALSE(ToBool(empty));
  EXPECT_TRUE(ToBool(word));
  EXPECT_EQ(Type::Parse("form[]").Text(), "form[]");
  EXPECT_EQ(Type::Parse("FLOAT").kind, Kind::Float);
}

// Integer arithmetic wraps at 32 bits; division truncates toward zero.
TEST(VmValues, IntegerArithmeticWraps) {
  Scripts run({Script("T")
                   .Function("Int", "Main", true, {}, {{"Int", "a"}, {"Int", "b"}, {"Int", "c"}},
                             {"iadd a 2147483647 1", "idiv b -7 2", "imod c -7 2", "isub a a b",
                              "isub a a c", "return a"})
                   .Build()});
  auto vm = run.Machine();
  Thread* t = vm->Start(run.Global("T", "Main"), nullptr, {});
  vm->RunUntil(1);
  EXPECT_EQ(t->result.i, INT32_MIN + 3 + 1);
}

// Scripts from the game's own compiler load, and every function runs (with its
// parameters' defaults) without a script error; natives nobody provides answer
// their defaults.
TEST(VmRealScripts, LoadAndRunEveryFunction) {
  const fs::path real = fs::path(CW_SOURCE_DIR) / ".." / "shared" / "fixtures" / "real";
  CW_NEED_FIXTURE("real/Debris.pex");
  for (const char* name : {"Debris", "PO3_Events_Form"}) {
    PexReadResult read = ReadPexFile(real / (std::string(name) + ".pex"));
    ASSERT_TRUE(read.ok()) << read.error;
    Scripts run({read.file});
    const Class* cls = run.library.Find(name);
    ASSERT_TRUE(cls->scripted);
    EXPECT_TRUE(run.library.loadErrors().empty());
    std::size_t ran = 0;
    for (const auto& fn : cls->functions) {
      auto vm = run.Machine();
      Instance* self = fn->global ? nullptr : vm->NewObject(cls, 0x01000800);
      std::vector<Value> arguments;
      for (std::uint32_t i = 0; i < fn->parameterCount; ++i)
        arguments.push_back(DefaultOf(fn->slotTypes[i], run.library.EmptyText()));
      if (fn->native) continue;
      Thread* t = vm->Start(fn.get(), self, arguments);
      vm->RunUntil(1);
      EXPECT_TRUE(t->finished) << name << "." << fn->name;
      EXPECT_TRUE(vm->errors().empty()) << name << "." << fn->name;
      ++ran;
    }
    EXPECT_GT(ran, 0u) << name;
  }
}

}  // namespace
}  // namespace cw::papyrus::vm
