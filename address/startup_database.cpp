#include "address/startup_database.h"

#include <cstdio>
#include <vector>

namespace cw::address {

std::optional<std::uint64_t> StartupDatabase::Find(std::uint64_t id) const {
  for (std::size_t i = 0; i < ids.size() && i < resolved.offsets.size(); ++i)
    if (ids[i] == id && resolved.offsets[i]) return resolved.offsets[i];
  return std::nullopt;
}

std::string StartupDatabase::Problem() const {
  if (Loaded()) return {};
  if (!running) return Describe(LoadError::kNoVersion);
  if (resolved.error == LoadError::kSkyrimVR)
    return "game " + VersionText(*running) + " is Skyrim VR: no database is read";
  std::string text = file.path + ": ";
  if (resolved.error == LoadError::kBadFormat && resolved.format != 0) {
    const int wanted = file.format == AcceptedFormat::kOnly2 ? 2 : 1;
    text += "format " + std::to_string(resolved.format) + ", game " + VersionText(*running) +
            " needs format " + std::to_string(wanted);
    return text;
  }
  return text + Describe(resolved.error);
}

StartupDatabase ReadStartupDatabase(const GameVersion& running,
                                    std::span<const Declaration> declarations) {
  StartupDatabase db;
  db.running = running;
  db.file = DatabaseFileFor(running);
  db.ids.reserve(declarations.size());
  for (const Declaration& d : declarations) db.ids.push_back(d.Id(db.file.numbering));
  if (IsSkyrimVR(running)) {
    db.resolved.error = LoadError::kSkyrimVR;
    db.resolved.offsets.assign(db.ids.size(), std::nullopt);
    return db;
  }
  const std::optional<FileBytes> bytes = ReadFileBytes(db.file.path);
  if (!bytes) {
    db.resolved.error = LoadError::kCannotOpen;
    db.resolved.offsets.assign(db.ids.size(), std::nullopt);
    return db;
  }
  db.resolved = ResolveIdentifiers(bytes->data(), bytes->size(), db.file.format, db.ids);
  return db;
}

StartupDatabase ReadStartupDatabaseForRunningGame(std::span<const Declaration> declarations) {
  if (const std::optional<GameVersion> running = RunningGameVersion())
    return ReadStartupDatabase(*running, declarations);
  StartupDatabase db;
  db.resolved.error = LoadError::kNoVersion;
  return db;
}

std::string VersionText(const GameVersion& v) {
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", v.major, v.minor, v.build, v.sub);
  return text;
}

}  // namespace cw::address
