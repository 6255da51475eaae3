#include "club/Upaths.h"

#include "club/Ufile.h"

#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kCheckoutRoot = "data";
constexpr const char* kShareFromBin = "../share/vantorel";
constexpr const char* kMarkerFile = "first.dat";  // the start data: present in every shipped root

// "dir/" and "dir" name the same root; keep "/" itself.
std::string WithoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string Join(const std::string& root, const std::string& relative) {
  if (relative.empty()) return root;
  if (root == "/") return "/" + relative;
  return root + "/" + relative;
}

std::string EnvText(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string HomeDirectory() {
  std::string home = EnvText("HOME");
  if (!home.empty()) return home;
  // No HOME (a service, a stripped environment): ask the password database.
  struct passwd pw {};
  struct passwd* found = nullptr;
  char buf[4096];
  if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir) return found->pw_dir;
  return "";
}

std::string ExecutableDirectory() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return "";
  return exe.parent_path().string();
}

TPathFacts ProcessFacts() {
  TPathFacts f;
  f.ExeDir = ExecutableDirectory();
  f.XdgDataHome = EnvText("XDG_DATA_HOME");
  f.Home = HomeDirectory();
  return f;
}

// The decided roots, under their lock.
std::optional<TDataRoots>& Chosen() {
  static std::optional<TDataRoots> roots;
  return roots;
}
std::mutex& ChosenLock() {
  static std::mutex lock;
  return lock;
}
std::atomic<uint64_t> rootsGeneration{1};

}  // namespace

TDataRoots DecideDataRoots(const TPathFacts& facts, const std::function<bool(const std::string&)>& isFile) {
  TDataRoots r;
  if (!facts.Explicit.empty()) {
    r.Shipped = r.Player = WithoutTrailingSlash(facts.Explicit);
    return r;
  }
  if (!facts.ExeDir.empty()) {
    const std::string share = (fs::path(facts.ExeDir) / kShareFromBin).lexically_normal().string();
    const std::string shipped = WithoutTrailingSlash(share);
    if (isFile(Join(shipped, kMarkerFile))) {
      // The XDG rule: a relative XDG_DATA_HOME is invalid and ignored.
      std::string base;
      if (!facts.XdgDataHome.empty() && facts.XdgDataHome[0] == '/')
        base = facts.XdgDataHome;
      else if (!facts.Home.empty())
        base = Join(WithoutTrailingSlash(facts.Home), ".local/share");
      if (!base.empty()) {
        r.Shipped = shipped;
        r.Player = Join(WithoutTrailingSlash(fs::path(base).lexically_normal().string()), "vantorel");
        r.Installed = true;
        return r;
      }
      // No home at all: the player's files stay under the working
      // directory as in a checkout, the shipped data is still the install's.
      r.Shipped = shipped;
      r.Player = kCheckoutRoot;
      r.Installed = true;
      return r;
    }
  }
  r.Shipped = r.Player = kCheckoutRoot;
  return r;
}

TDataRoots DataRoots() {
  std::lock_guard<std::mutex> hold(ChosenLock());
  std::optional<TDataRoots>& roots = Chosen();
  if (!roots) {
    roots = DecideDataRoots(ProcessFacts(), [](const std::string& p) {
      std::error_code ec;
      return fs::is_regular_file(p, ec);
    });
  }
  return *roots;
}

void SetDataRoot(const std::string& dir) {
  std::lock_guard<std::mutex> hold(ChosenLock());
  rootsGeneration.fetch_add(1, std::memory_order_acq_rel);
  std::optional<TDataRoots>& roots = Chosen();
  if (dir.empty()) {
    roots.reset();
    return;
  }
  TPathFacts f;
  f.Explicit = dir;
  roots = DecideDataRoots(f, [](const std::string&) { return false; });
}

uint64_t DataRootsGeneration() { return rootsGeneration.load(std::memory_order_acquire); }

std::string ShippedPath(const std::string& relative) { return Join(DataRoots().Shipped, relative); }

std::string PlayerPath(const std::string& relative) { return Join(DataRoots().Player, relative); }

void CreatePlayerDirectories() {
  for (const char* d : {"tmp", "savedata", "vs", "formation", "vtr"}) {
    std::error_code ec;
    fs::create_directories(PlayerPath(d), ec);
  }
}

std::vector<std::string> RemoveStalePlayerTemporaries() {
  struct Folder {
    const char* Name;
    const char* Extension;
  };
  // Where the game writes atomically: slots, VS files and the converter's
  // backups of both, position files, recordings, tournaments and clips.
  static const Folder kFolders[] = {{"savedata", ".dat"},   {"savedatatmp", ".dat"}, {"vs", ".vs"},
                                    {"vstmp", ".vs"},       {"formation", ".dat"},   {"vtr", ".vtr"},
                                    {"tournament", ".tnm"}, {"clips", ".webp"},      {"clips", ".gif"}};
  std::vector<std::string> removed;
  for (const Folder& f : kFolders) {
    const std::string dir = PlayerPath(f.Name);
    for (const std::string& name : RemoveDeadTemporaries(dir, {f.Extension})) removed.push_back(dir + "/" + name);
  }
  return removed;
}
