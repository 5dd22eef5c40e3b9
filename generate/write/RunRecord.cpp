#include "generate/write/RunRecord.h"

#include <elf.h>
#include <link.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "generate/write/FileOperate.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRecordHead = "vbgen-run 2";

std::uint64_t Load64(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, 8);
  return word;
}

std::uint64_t Rotate(std::uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

// Spreads every bit of h over the whole word: the last step of both digests.
std::uint64_t Avalanche(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  return h ^ (h >> 33);
}

std::string Hex64(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// 128 bits from two independent lanes: a digest that tells inputs apart, not a secret.
class TDigest {
 public:
  void Add(std::string_view bytes) {
    AddNumber(bytes.size());
    std::size_t pos = 0;
    for (; pos + 8 <= bytes.size(); pos += 8) Mix(Load64(bytes.data() + pos));
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + pos, bytes.size() - pos);
    Mix(tail);
  }
  void AddNumber(std::uint64_t number) { Mix(number ^ 0x9E3779B97F4A7C15ULL); }

  std::string Hex() const { return Hex64(Avalanche(a_)) + Hex64(Avalanche(b_ ^ a_)); }

 private:
  void Mix(std::uint64_t word) {
    a_ = Rotate((a_ ^ word) * 0x100000001B3ULL, 29);
    b_ = (b_ + word) * 0xC2B2AE3D27D4EB4FULL;
    b_ ^= b_ >> 31;
  }

  std::uint64_t a_ = 0xCBF29CE484222325ULL;
  std::uint64_t b_ = 0x84222325CBF29CE4ULL;
};

// Every field of the model goes into the digest; a field added to these records must be added
// below, or a run could trust a record made before the field changed.
#if defined(__x86_64__) && defined(__GLIBCXX__)
static_assert(sizeof(TMember) == 144, "add the new member field to AddMember");
static_assert(sizeof(TClassModel) == 104, "add the new class field to AddModel");
#endif

void AddMember(TDigest& digest, const TMember& m) {
  for (int number :
       {m.memberId, m.projectId, m.classId, m.memberLength, m.memberIsPri, m.memberIsMust,
        m.memberIsInteger, m.memberIsFloat, m.queryFlag, m.memberIsDisplay, m.memberQueryDisplay}) {
    digest.AddNumber(static_cast<std::uint64_t>(static_cast<std::int64_t>(number)));
  }
  digest.Add(m.memberName);
  digest.Add(m.memberType);
  digest.Add(m.memberComment);
}

void AddModel(TDigest& digest, const TModelSnapshot& model) {
  digest.AddNumber(static_cast<std::uint64_t>(model.ProjectId()));
  digest.Add(model.ProjectName());
  digest.AddNumber(model.Classes().size());
  for (const TClassModel& entry : model.Classes()) {
    digest.AddNumber(static_cast<std::uint64_t>(entry.classId));
    digest.Add(entry.className);
    digest.Add(entry.friendName);
    digest.AddNumber(static_cast<std::uint64_t>(entry.frontShowFlag));
    digest.AddNumber(entry.members.size());
    for (const TMember& member : entry.members) AddMember(digest, member);
  }
}

// Every regular file of the folder, by name; false when the folder or a file cannot be read.
bool AddTemplates(TDigest& digest, const fs::path& templateDir) {
  std::error_code error;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(templateDir, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kind;
    if (it->is_regular_file(kind)) files.push_back(it->path());
  }
  if (error) return false;
  std::sort(files.begin(), files.end());
  digest.AddNumber(files.size());
  for (const fs::path& file : files) {
    digest.Add(file.filename().string());
    try {
      digest.Add(TFileOperate::ReadBytes(file));
    } catch (const TFileError&) {
      return false;  // the run reads the templates itself and reports what it cannot read
    }
  }
  return true;
}

// Record lines hold text that may contain anything but must stay one line.
std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

struct TBuildIdSearch {
  std::uintptr_t address;  // code of this program
  std::optional<std::string> buildId;
};

bool Contains(const dl_phdr_info& info, std::uintptr_t address) {
  for (int i = 0; i < info.dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info.dlpi_phdr[i];
    const std::uintptr_t start = info.dlpi_addr + segment.p_vaddr;
    if (segment.p_type == PT_LOAD && address >= start && address < start + segment.p_memsz) {
      return true;
    }
  }
  return false;
}

std::optional<std::string> BuildIdNote(const dl_phdr_info& info) {
  for (int i = 0; i < info.dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info.dlpi_phdr[i];
    if (segment.p_type != PT_NOTE) continue;
    const char* pos = reinterpret_cast<const char*>(info.dlpi_addr + segment.p_vaddr);
    const char* end = pos + segment.p_memsz;
    while (pos + sizeof(ElfW(Nhdr)) <= end) {
      ElfW(Nhdr) note;
      std::memcpy(&note, pos, sizeof note);
      const char* name = pos + sizeof note;
      const char* desc = name + ((note.n_namesz + 3) & ~3U);
      const char* next = desc + ((note.n_descsz + 3) & ~3U);
      if (next > end) break;
      if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 &&
          std::memcmp(name, "GNU", 4) == 0 && note.n_descsz > 0) {
        std::string hex;
        for (std::size_t k = 0; k < note.n_descsz; ++k) {
          char pair[3];
          std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(desc[k]));
          hex += pair;
        }
        return hex;
      }
      pos = next;
    }
  }
  return std::nullopt;
}

int FindBuildId(dl_phdr_info* info, std::size_t, void* data) {
  auto* search = static_cast<TBuildIdSearch*>(data);
  if (!Contains(*info, search->address)) return 0;
  search->buildId = BuildIdNote(*info);
  return 1;
}

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;

std::uint64_t Round(std::uint64_t lane, std::uint64_t word) {
  return Rotate(lane + word * kPrime2, 31) * kPrime1;
}

}  // namespace

// Four independent lanes over 32-byte blocks keep the multiplier busy.
std::string FileDigest(std::string_view bytes) {
  std::uint64_t lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
  const char* data = bytes.data();
  std::size_t pos = 0;
  for (; pos + 32 <= bytes.size(); pos += 32) {
    for (int k = 0; k < 4; ++k) lanes[k] = Round(lanes[k], Load64(data + pos + 8 * k));
  }
  std::uint64_t hash = Rotate(lanes[0], 1) + Rotate(lanes[1], 7) + Rotate(lanes[2], 12) +
                       Rotate(lanes[3], 18) + bytes.size();
  for (; pos + 8 <= bytes.size(); pos += 8) {
    hash = Rotate(hash ^ Round(0, Load64(data + pos)), 27) * kPrime1 + kPrime2;
  }
  for (; pos < bytes.size(); ++pos) {
    hash = Rotate(hash ^ (static_cast<unsigned char>(data[pos]) * kPrime1), 11) * kPrime2;
  }
  return Hex64(Avalanche(hash));
}

std::optional<std::string> ProgramBuildId() {
  static const std::optional<std::string> buildId = [] {
    TBuildIdSearch search{reinterpret_cast<std::uintptr_t>(&FindBuildId), std::nullopt};
    dl_iterate_phdr(FindBuildId, &search);
    return search.buildId;
  }();
  return buildId;
}

std::optional<std::string> RunInputsFingerprint(const TModelSnapshot& model,
                                                const fs::path& templateDir,
                                                const TRunOptions& options,
                                                const std::optional<std::string>& buildId) {
  if (!buildId) return std::nullopt;
  TDigest digest;
  digest.Add(*buildId);
  digest.AddNumber(options.complete ? 1 : 0);
  if (!AddTemplates(digest, templateDir)) return std::nullopt;
  AddModel(digest, model);
  return digest.Hex();
}

std::string TRunRecord::Text() const {
  std::string text = std::string(kRecordHead) + "\ninputs\t" + inputs + "\n";
  for (const std::string& line : progress) text += "P\t" + Escape(line) + "\n";
  for (const TRecordedFile& file : files) {
    text += "F\t" + file.digest + "\t" + Escape(file.path) + "\n";
  }
  return text + "end\n";
}

std::optional<TRunRecord> TRunRecord::Parse(const std::string& text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) return std::nullopt;  // cut short
    lines.emplace_back(text.data() + start, end - start);
    start = end + 1;
  }
  if (lines.size() < 3 || lines.front() != kRecordHead || lines.back() != "end") {
    return std::nullopt;
  }
  constexpr std::string_view inputsHead = "inputs\t";
  if (lines[1].substr(0, inputsHead.size()) != inputsHead) return std::nullopt;
  TRunRecord record;
  record.inputs = std::string(lines[1].substr(inputsHead.size()));
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.substr(0, 2) == "P\t") {
      auto progress = Unescape(line.substr(2));
      if (!progress) return std::nullopt;
      record.progress.push_back(std::move(*progress));
    } else if (line.substr(0, 2) == "F\t") {
      const std::size_t tab = line.find('\t', 2);
      if (tab == std::string_view::npos) return std::nullopt;
      auto path = Unescape(line.substr(tab + 1));
      if (!path) return std::nullopt;
      record.files.push_back({std::move(*path), std::string(line.substr(2, tab - 2))});
    } else {
      return std::nullopt;
    }
  }
  if (record.inputs.empty()) return std::nullopt;
  return record;
}

}  // namespace vbgen
