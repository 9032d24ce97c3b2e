#pragma once
// The scripts a VM can run: compiled scripts found in folders by class name,
// loaded and linked when first needed, and the natives they may call. A class
// whose script is nowhere to be found is an engine class without script functions.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "papyrus/pex_file.h"
#include "papyrus/vm/natives.h"
#include "papyrus/vm/program.h"

namespace cw::papyrus::vm {

class Library {
 public:
  Library();
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // Scripts of a folder (its .pex files, not its sub-folders); an earlier folder's
  // script of a name wins over a later one's.
  void AddFolder(const std::filesystem::path& folder);
  // A compiled script read already (a file named on the command line); its class
  // name is its object's. False with `error` set when it holds no object or a
  // class of that name was loaded from another file.
  bool AddScript(PexFile file, std::string* error);
  // Natives are asked in the order added; the library does not own them.
  void AddNatives(NativeSource* source) { sources_.push_back(source); }

  // The class of that name, loaded with its parents when first asked. A script
  // that cannot be read or linked is reported in loadErrors() and stands as an
  // engine class. Null only for a class asked for while it loads (one that
  // extends itself).
  const Class* Find(std::string_view name);
  const std::vector<std::string>& loadErrors() const { return loadErrors_; }

  // The native of a class and function, or null.
  Native* FindNative(std::string_view className, std::string_view name);
  // What answers a call of a native nobody provides: the caller's default result
  // and one warning per name and VM.
  Native* Unbound(std::string_view className, std::string_view name);

  // Ids of names compared without regard to case; 0 is the empty name.
  std::uint32_t Name(std::string_view name);
  // Texts kept once, for String values.
  const std::string* Text(std::string_view text);
  const std::string* Keep(std::string&& text);  // the same, for a text made already
  const std::string* EmptyText() const { return empty_; }

  // What every object has without a script: GetState, GotoState (which sends
  // OnEndState and OnBeginState) and those two events doing nothing.
  const Function* Builtin(std::uint32_t name) const;

 private:
  struct Pending;
  const Class* Load(const std::string& lowerName, PexFile file, const std::string& origin);
  const Class* EngineClass(const std::string& lowerName, const std::string& shownName);
  bool Link(Class& cls, const PexFile& file, const PexObject& object, std::string* error);
  bool Compile(Class& cls, const PexFile& file, const PexObject& object, const std::string& state,
               const PexFunction& source, const std::string& name, std::uint8_t kind, Function* out,
               std::string* error);
  void MakeBuiltins();

  std::vector<NativeSource*> sources_;
  std::map<std::string, std::filesystem::path> files_;  // lower-case class name -> file
  std::map<std::string, PexFile> given_;                // scripts added already read
  std::unordered_map<std::string, std::unique_ptr<Class>> classes_;
  std::unordered_set<std::string> loading_;
  std::vector<std::string> loadErrors_;
  std::unordered_map<std::string, std::uint32_t> names_;
  std::unordered_set<std::string> texts_;
  const std::string* empty_;
  std::unordered_map<std::string, std::unique_ptr<Native>> unbound_;
  std::unique_ptr<Class> builtinOwner_;
  std::unordered_map<std::uint32_t, const Function*> builtins_;
};

}  // namespace cw::papyrus::vm
