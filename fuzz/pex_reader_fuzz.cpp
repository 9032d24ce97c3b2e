// The compiled script reader: any bytes give a script or an error naming the offset
// inside the input; a script read has every name inside its string table and every
// instruction with its operands; written back and read again, it is the same script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "papyrus/pex_file.h"
#include "tests/support/pex_writer.h"

namespace cw::fuzz {
namespace {

using namespace papyrus;

class IndexCheck {
 public:
  explicit IndexCheck(const PexFile& file) : count_(file.strings.size()) {}
  bool In(StringIndex i) const { return i < count_; }
  bool Value(const PexValue& v) const {
    return (v.kind != PexValue::Kind::Identifier && v.kind != PexValue::Kind::String) ||
           In(v.string);
  }
  bool Function(const PexFunction& f) const {
    if (!In(f.returnType) || !In(f.doc)) return false;
    for (const auto* list : {&f.params, &f.locals})
      for (const PexNamedType& t : *list)
        if (!In(t.name) || !In(t.type)) return false;
    for (const PexInstruction& i : f.code) {
      const int fixed = PexOperandCount(i.opcode);
      if (fixed < 0 || i.operands.size() < static_cast<std::size_t>(fixed)) return false;
      if (!PexTakesArguments(i.opcode) && i.operands.size() != static_cast<std::size_t>(fixed))
        return false;
      for (const PexValue& v : i.operands)
        if (!Value(v)) return false;
    }
    return true;
  }
  bool File(const PexFile& file) const {
    for (const PexDebugFunction& d : file.debugFunctions)
      if (!In(d.object) || !In(d.state) || !In(d.function)) return false;
    for (const PexUserFlag& f : file.userFlags)
      if (!In(f.name)) return false;
    for (const PexObject& o : file.objects) {
      if (!In(o.name) || !In(o.parent) || !In(o.doc) || !In(o.autoState)) return false;
      for (const PexVariable& v : o.variables)
        if (!In(v.name) || !In(v.type) || !Value(v.initial)) return false;
      for (const PexProperty& p : o.properties) {
        if (!In(p.name) || !In(p.type) || !In(p.doc)) return false;
        if (p.automatic() ? !In(p.autoVariable) : !Function(p.getter) || !Function(p.setter))
          return false;
      }
      for (const PexState& s : o.states) {
        if (!In(s.name)) return false;
        for (const PexNamedFunction& f : s.functions)
          if (!In(f.name) || !Function(f.function)) return false;
      }
    }
    return true;
  }

 private:
  std::size_t count_;
};

// The offset in "F.pex: offset N: ..."; npos when the text has none.
std::size_t ErrorOffset(const std::string& error) {
  const std::string_view head = "F.pex: offset ";
  if (error.rfind(head, 0) != 0) return std::string::npos;
  std::size_t n = 0, i = head.size();
  if (i >= error.size() || error[i] < '0' || error[i] > '9') return std::string::npos;
  for (; i < error.size() && error[i] >= '0' && error[i] <= '9'; ++i) n = n * 10 + (error[i] - '0');
  return error.compare(i, 2, ": ") == 0 ? n : std::string::npos;
}

}  // namespace
}  // namespace cw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace cw;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const papyrus::PexReadResult r = papyrus::ReadPex(bytes, "F.pex");
  if (!r.ok()) {
    const std::size_t offset = fuzz::ErrorOffset(r.error);
    CW_FUZZ_CHECK(offset != std::string::npos && offset <= size);
    return 0;
  }
  CW_FUZZ_CHECK(fuzz::IndexCheck(r.file).File(r.file));
  for (test::PexSizeField convention : {test::PexSizeField::kGame, test::PexSizeField::kOther}) {
    const std::string written = test::WritePex(r.file, convention);
    const papyrus::PexReadResult again = papyrus::ReadPex(written, "F.pex");
    CW_FUZZ_CHECK(again.ok());
    CW_FUZZ_CHECK(test::WritePex(again.file, convention) == written);
  }
  return 0;
}
