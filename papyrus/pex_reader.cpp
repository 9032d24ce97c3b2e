// Reading compiled scripts: every field in file order, big-endian, each read checked
// against the end of the bytes. Loops are bounded by the input: every element read
// takes at least one byte, so a count larger than the file ends at the file's end.
#include <bit>
#include <cstring>
#include <fstream>
#include <system_error>

#include "papyrus/pex_file.h"

namespace cw::papyrus {
namespace {

constexpr std::uint32_t kMagic = 0xFA57C0DE;
constexpr std::uint32_t kMagicSwapped = 0xDEC057FA;
// Far beyond any compiled script (the game's largest are a few hundred kilobytes).
constexpr std::uintmax_t kLargestFile = 64u << 20;

class Reader {
 public:
  Reader(std::string_view bytes, std::string_view fileName, PexFile* file)
      : bytes_(bytes), fileName_(fileName), file_(file) {}

  const std::string& error() const { return error_; }
  std::size_t offset() const { return at_; }
  bool AtEnd() const { return at_ == bytes_.size(); }

  // What is being read, for the error messages.
  void Within(std::string where) { where_ = std::move(where); }

  bool Fail(std::size_t offset, const std::string& what) {
    if (error_.empty()) {
      error_ = std::string(fileName_) + ": offset " + std::to_string(offset) + ": " + what;
      if (!where_.empty()) error_ += " (" + where_ + ")";
    }
    return false;
  }

  bool Bytes(std::size_t n, const char** out) {
    if (bytes_.size() - at_ < n) return Fail(at_, "the file ends early");
    *out = bytes_.data() + at_;
    at_ += n;
    return true;
  }

  template <typename T>
  bool Number(T* out) {
    const char* p = nullptr;
    if (!Bytes(sizeof(T), &p)) return false;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    *out = static_cast<T>(v);
    return true;
  }

  bool Text(std::string* out) {
    std::uint16_t length = 0;
    const char* p = nullptr;
    if (!Number(&length) || !Bytes(length, &p)) return false;
    out->assign(p, length);
    return true;
  }

  bool Index(StringIndex* out) {
    const std::size_t start = at_;
    if (!Number(out)) return false;
    if (*out >= file_->strings.size())
      return Fail(start, "string index " + std::to_string(*out) + " outside the table of " +
                             std::to_string(file_->strings.size()) + " strings");
    return true;
  }

  bool Value(PexValue* out) {
    const std::size_t start = at_;
    std::uint8_t kind = 0;
    if (!Number(&kind)) return false;
    switch (kind) {
      case 0:
        out->kind = PexValue::Kind::None;
        return true;
      case 1:
      case 2:
        out->kind = kind == 1 ? PexValue::Kind::Identifier : PexValue::Kind::String;
        return Index(&out->string);
      case 3: {
        out->kind = PexValue::Kind::Int;
        std::uint32_t bits = 0;
        if (!Number(&bits)) return false;
        out->integer = static_cast<std::int32_t>(bits);
        return true;
      }
      case 4: {
        out->kind = PexValue::Kind::Float;
        std::uint32_t bits = 0;
        if (!Number(&bits)) return false;
        out->real = std::bit_cast<float>(bits);
        return true;
      }
      case 5: {
        out->kind = PexValue::Kind::Bool;
        std::uint8_t b = 0;
        if (!Number(&b)) return false;
        out->boolean = b != 0;
        return true;
      }
      default:
        return Fail(start, "unknown value type " + std::to_string(kind));
    }
  }

  bool NamedTypes(std::vector<PexNamedType>* out) {
    std::uint16_t count = 0;
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i) {
      PexNamedType& t = out->emplace_back();
      if (!Index(&t.name) || !Index(&t.type)) return false;
    }
    return true;
  }

  bool Instruction(PexInstruction* out) {
    const std::size_t start = at_;
    if (!Number(&out->opcode)) return false;
    const int fixed = PexOperandCount(out->opcode);
    if (fixed < 0) return Fail(start, "unknown opcode " + Hex(out->opcode));
    for (int i = 0; i < fixed; ++i)
      if (!Value(&out->operands.emplace_back())) return false;
    if (!PexTakesArguments(out->opcode)) return true;
    const std::size_t countAt = at_;
    PexValue count;
    if (!Value(&count)) return false;
    if (count.kind != PexValue::Kind::Int || count.integer < 0)
      return Fail(countAt, "the argument count is no Int of 0 or more");
    for (std::int32_t i = 0; i < count.integer; ++i)
      if (!Value(&out->operands.emplace_back())) return false;
    return true;
  }

  bool Function(PexFunction* out) {
    if (!Index(&out->returnType) || !Index(&out->doc) || !Number(&out->userFlags) ||
        !Number(&out->flags) || !NamedTypes(&out->params) || !NamedTypes(&out->locals))
      return false;
    std::uint16_t count = 0;
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i)
      if (!Instruction(&out->code.emplace_back())) return false;
    return true;
  }

  bool Header() {
    std::uint32_t magic = 0;
    if (!Number(&magic)) return false;
    if (magic != kMagic)
      return Fail(0, magic == kMagicSwapped ? "a compiled script of another game (little-endian)"
                                            : "not a compiled script (no FA57C0DE at the start)");
    if (!Number(&file_->majorVersion) || !Number(&file_->minorVersion)) return false;
    if (file_->majorVersion != 3)
      return Fail(4, "format version " + std::to_string(file_->majorVersion) + "." +
                         std::to_string(file_->minorVersion) + " is not 3.x");
    if (!Number(&file_->gameId)) return false;
    if (file_->gameId != 1)
      return Fail(6, "game " + std::to_string(file_->gameId) + " is not Skyrim (1)");
    return Number(&file_->compileTime) && Text(&file_->sourceName) && Text(&file_->userName) &&
           Text(&file_->machineName);
  }

  bool Strings() {
    Within("string table");
    std::uint16_t count = 0;
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i)
      if (!Text(&file_->strings.emplace_back())) return false;
    return true;
  }

  bool DebugInfo() {
    Within("debug info");
    std::uint8_t flag = 0;
    if (!Number(&flag)) return false;
    file_->hasDebugInfo = flag != 0;
    if (!file_->hasDebugInfo) return true;
    std::uint16_t count = 0;
    if (!Number(&file_->debugTime) || !Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i) {
      PexDebugFunction& f = file_->debugFunctions.emplace_back();
      std::uint16_t lines = 0;
      if (!Index(&f.object) || !Index(&f.state) || !Index(&f.function) || !Number(&f.kind) ||
          !Number(&lines))
        return false;
      for (std::uint16_t j = 0; j < lines; ++j)
        if (!Number(&f.lines.emplace_back())) return false;
    }
    return true;
  }

  bool UserFlags() {
    Within("user flags");
    std::uint16_t count = 0;
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i) {
      PexUserFlag& f = file_->userFlags.emplace_back();
      if (!Index(&f.name) || !Number(&f.bit)) return false;
    }
    return true;
  }

  bool Property(const std::string& objectName, PexProperty* p) {
    if (!Index(&p->name)) return false;
    Within("property " + objectName + "." + file_->text(p->name));
    if (!Index(&p->type) || !Index(&p->doc) || !Number(&p->userFlags) || !Number(&p->flags))
      return false;
    if (p->automatic()) return Index(&p->autoVariable);
    return (!p->readable() || Function(&p->getter)) && (!p->writable() || Function(&p->setter));
  }

  bool State(const std::string& objectName, PexState* s) {
    std::uint16_t count = 0;
    if (!Index(&s->name) || !Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i) {
      PexNamedFunction& f = s->functions.emplace_back();
      if (!Index(&f.name)) return false;
      Within("function " + objectName + "." + file_->text(f.name) +
             (!file_->text(s->name).empty() ? " in state " + file_->text(s->name) : ""));
      if (!Function(&f.function)) return false;
    }
    return true;
  }

  // The size field after the name is passed over: compilers write it in two ways
  // (big-endian counting itself, little-endian counting only what follows).
  bool Object(PexObject* o) {
    Within("objects");
    std::uint32_t size = 0;
    if (!Index(&o->name) || !Number(&size)) return false;
    const std::string& name = file_->text(o->name);
    Within("object " + name);
    if (!Index(&o->parent) || !Index(&o->doc) || !Number(&o->userFlags) || !Index(&o->autoState))
      return false;
    std::uint16_t count = 0;
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i) {
      PexVariable& v = o->variables.emplace_back();
      if (!Index(&v.name)) return false;
      Within("variable " + name + "." + file_->text(v.name));
      if (!Index(&v.type) || !Number(&v.userFlags) || !Value(&v.initial)) return false;
    }
    Within("object " + name);
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i)
      if (!Property(name, &o->properties.emplace_back())) return false;
    Within("object " + name);
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i)
      if (!State(name, &o->states.emplace_back())) return false;
    return true;
  }

  bool Objects() {
    Within("objects");
    std::uint16_t count = 0;
    if (!Number(&count)) return false;
    for (std::uint16_t i = 0; i < count; ++i)
      if (!Object(&file_->objects.emplace_back())) return false;
    Within("");
    if (!AtEnd())
      return Fail(at_, std::to_string(bytes_.size() - at_) + " bytes after the last object");
    return true;
  }

  static std::string Hex(std::uint8_t byte) {
    const char* digits = "0123456789abcdef";
    return std::string("0x") + digits[byte >> 4] + digits[byte & 15];
  }

 private:
  std::string_view bytes_;
  std::string_view fileName_;
  PexFile* file_;
  std::size_t at_ = 0;
  std::string where_ = "header";
  std::string error_;
};

// A path as UTF-8 text, whatever the system's code page.
std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

PexReadResult ReadPex(std::string_view bytes, std::string_view fileName) {
  PexReadResult result;
  Reader r(bytes, fileName, &result.file);
  if (!(r.Header() && r.Strings() && r.DebugInfo() && r.UserFlags() && r.Objects()))
    result.error = r.error();
  return result;
}

PexReadResult ReadPexFile(const std::filesystem::path& path) {
  const std::string name = PathText(path);
  PexReadResult result;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    result.error = name + ": is a folder, not a compiled script";
    return result;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) {
    result.error = name + ": " +
                   (std::filesystem::exists(path, ec) ? "the file cannot be read" : "no such file");
    return result;
  }
  if (size > kLargestFile) {
    result.error = name + ": " + std::to_string(size) + " bytes, too large for a compiled script";
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    result.error = name + ": the file cannot be read";
    return result;
  }
  return ReadPex(bytes, name);
}

}  // namespace cw::papyrus
