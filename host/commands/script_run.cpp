#include "host/commands/script_run.h"

#include <algorithm>
#include <charconv>

#include "platform/ascii.h"

namespace cw::sim {
namespace fs = std::filesystem;

namespace {

bool ParseNumber(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && *value >= 0;
}

bool IsPex(const fs::path& path) {
  return EqualsIgnoringAsciiCase(path.extension().string(), ".pex");
}

}  // namespace

std::optional<ScriptRunOptions> ParseScriptRunOptions(const std::vector<std::string>& args,
                                                      double defaultTimeout, std::string* error) {
  ScriptRunOptions options;
  options.timeout = defaultTimeout;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      options.paths.push_back(a);
      continue;
    }
    double number = 0;
    const bool hasValue = i + 1 < args.size() && ParseNumber(args[i + 1], &number);
    if (a == "--verbose") {
      options.verbose = true;
    } else if ((a == "--seconds" || a == "--timeout" || a == "--seed") && hasValue) {
      ++i;
      if (a == "--seconds") options.seconds = number;
      if (a == "--timeout") options.timeout = number;
      if (a == "--seed") options.seed = static_cast<std::uint32_t>(number);
    } else {
      *error = a == "--seconds" || a == "--timeout" || a == "--seed" ? a + " needs a number"
                                                                     : "unknown option " + a;
      return std::nullopt;
    }
  }
  if (options.paths.empty()) {
    *error = "no compiled script (.pex) or folder named";
    return std::nullopt;
  }
  return options;
}

std::unique_ptr<ScriptRun> ScriptRun::Start(const SessionOptions& sessionOptions,
                                            const std::vector<std::string>& paths,
                                            std::string* error) {
  std::unique_ptr<ScriptRun> run(new ScriptRun);
  // Paths are taken before the session moves into the game folder.
  std::vector<fs::path> files, folders;
  for (const std::string& p : paths) {
    std::error_code ec;
    const fs::path path = fs::absolute(p, ec);
    if (fs::is_directory(path, ec)) {
      std::vector<fs::path> found;
      for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        if (IsPex(it->path()) && it->is_regular_file(ec)) found.push_back(it->path());
      if (found.empty()) {
        *error = p + ": no compiled script (.pex) in this folder";
        return nullptr;
      }
      std::sort(found.begin(), found.end());
      files.insert(files.end(), found.begin(), found.end());
      folders.push_back(path);
    } else if (fs::is_regular_file(path, ec)) {
      files.push_back(path);
      folders.push_back(path.parent_path());
    } else {
      *error = p + ": no such file or folder";
      return nullptr;
    }
  }
  for (const fs::path& file : files) {
    papyrus::PexReadResult read = papyrus::ReadPexFile(file);
    if (!read.ok()) {
      *error = read.error;
      return nullptr;
    }
    if (read.file.objects.empty()) {
      *error = file.string() + ": the compiled script holds no object";
      return nullptr;
    }
    const std::string name = read.file.text(read.file.objects[0].name);
    if (!run->library_.AddScript(std::move(read.file), error)) return nullptr;
    run->named_.push_back(name);
  }
  for (const fs::path& folder : folders) run->library_.AddFolder(folder);
  if (!sessionOptions.gameDir.empty())
    run->library_.AddFolder(fs::absolute(sessionOptions.gameDir) / "Data" / "Scripts");

  run->session_ = std::make_unique<Session>(sessionOptions);
  std::string log;
  if (run->session_->Start(error, &log) != StartResult::kAccepted) {
    *error = log + "the plugin did not start: " + *error;
    return nullptr;
  }
  run->pluginNatives_ = std::make_unique<PluginNatives>(run->session_->machine());
  run->library_.AddNatives(&run->engineNatives_);
  run->library_.AddNatives(run->pluginNatives_.get());
  // Every script named is linked now, so that a damaged one is bad input.
  for (const std::string& name : run->named_) run->library_.Find(name);
  if (!run->library_.loadErrors().empty()) {
    *error = run->library_.loadErrors().front();
    return nullptr;
  }
  return run;
}

ScriptRun::~ScriptRun() = default;

}  // namespace cw::sim
