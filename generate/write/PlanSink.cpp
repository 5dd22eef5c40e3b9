#include "generate/write/PlanSink.h"

#include <set>

namespace vbgen {
namespace fs = std::filesystem;

TPlanSink::TPlanSink(fs::path home, const std::string& projectName)
    : dir_(std::move(home), projectName), manifest_(dir_) {}

void TPlanSink::Write(const std::string& relativePath, std::string bytes) {
  const std::string path = InsideProject(relativePath, dir_.Prefix());
  dir_.Admit(path);
  const std::optional<std::string> current = dir_.Read(path);
  TPlannedChange change = TPlannedChange::Create;
  if (current && *current == bytes) {
    change = TPlannedChange::Unchanged;
  } else if (current) {
    change = manifest_.HoldsHandEdit(path, *current) ? TPlannedChange::ChangeHandEdit
                                                     : TPlannedChange::Change;
  }
  entries_.push_back({relativePath, change});
}

std::vector<TPlanSink::TEntry> TPlanSink::LeftAsTheyAre() {
  std::set<std::string> written;
  for (const TEntry& entry : entries_) written.insert(entry.path);
  std::vector<TEntry> kept;
  for (const auto& [path, digest] : manifest_.Digests()) {
    const std::string relativePath = dir_.Prefix() + path;
    if (written.count(relativePath)) continue;
    const std::optional<std::string> current = dir_.Read(path);
    if (!current) continue;  // removed by hand: nothing is left of it
    kept.push_back({relativePath, manifest_.HoldsHandEdit(path, *current)
                                      ? TPlannedChange::KeptHandEdit
                                      : TPlannedChange::Kept});
  }
  return kept;
}

}  // namespace vbgen
