// Peak memory of import-sql on a script of one table and a million INSERT lines (what "Generate
// Scripts" writes with "schema and data"), against the same schema alone, in the same run and
// alternated. Each import is its own vbgen-cli process; its peak RSS comes from wait4.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSchema = R"(USE [Chinook]
GO
CREATE TABLE [dbo].[Track](
	[TrackId] [int] IDENTITY(1,1) NOT NULL,
	[Name] [nvarchar](200) NOT NULL,
	[Composer] [nvarchar](220) NULL,
	[Milliseconds] [int] NOT NULL,
	[UnitPrice] [numeric](10, 2) NOT NULL,
 CONSTRAINT [PK_Track] PRIMARY KEY CLUSTERED ([TrackId] ASC)
) ON [PRIMARY]
GO
SET IDENTITY_INSERT [dbo].[Track] ON
GO
)";

void WriteScript(const fs::path& file, int rows) {
  std::ofstream out(file, std::ios::binary);
  out << kSchema;
  for (int i = 1; i <= rows; ++i) {
    out << "INSERT [dbo].[Track] ([TrackId], [Name], [Composer], [Milliseconds], [UnitPrice]) "
           "VALUES ("
        << i << ", N'Track " << i << "', N'Composer " << i % 97 << "', " << 200000 + i
        << ", CAST(0.99 AS Numeric(10, 2)))\r\n";
  }
  out << "SET IDENTITY_INSERT [dbo].[Track] OFF\r\nGO\r\n";
}

// The peak resident set of one import, in KiB; -1 when the import failed.
long PeakKib(const fs::path& home, const fs::path& script, const std::string& name) {
  std::fflush(stdout);  // else the child would print what is still buffered once more
  const pid_t child = fork();
  if (child == 0) {
    const std::string homeArg = home.string(), scriptArg = script.string();
    std::freopen("/dev/null", "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    execl(VBGEN_CLI, VBGEN_CLI, "--home", homeArg.c_str(), "import-sql", scriptArg.c_str(),
          "--name", name.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return -1;
  }
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::stoi(argv[1]) : 1000000;
  const fs::path dir =
      fs::temp_directory_path() / ("vbgen-import-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path schemaOnly = dir / "schema.sql", withData = dir / "data.sql";
  WriteScript(schemaOnly, 0);
  WriteScript(withData, rows);
  std::printf("script: %d INSERT lines, %.1f MiB\n", rows,
              static_cast<double>(fs::file_size(withData)) / (1024 * 1024));
  int failures = 0;
  long worst = 0;
  for (int round = 1; round <= 3; ++round) {
    const long base = PeakKib(dir, schemaOnly, "base" + std::to_string(round));
    const long big = PeakKib(dir, withData, "data" + std::to_string(round));
    if (base < 0 || big < 0) {
      std::printf("round %d: an import failed\n", round);
      ++failures;
      continue;
    }
    worst = std::max(worst, big);
    std::printf("round %d: schema alone %.1f MiB, with data %.1f MiB, ratio %.2f\n", round,
                base / 1024.0, big / 1024.0, static_cast<double>(big) / base);
  }
  std::printf("peak with data: %.1f MiB (limit 64 MiB)\n", worst / 1024.0);
  fs::remove_all(dir);
  return failures == 0 ? 0 : 1;
}
