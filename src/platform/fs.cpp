// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo {

struct StagedWrites::State {
  struct File {
    std::string target;
    std::string key;  // the target, lexically normalised
    std::string temp;  // empty in memory
    std::string data;  // the bytes, in memory only
  };
  std::vector<File> files;
  std::vector<std::string> folders;  // created inside the scope, in order
  std::string journal;  // written around the renames when set
  bool memory = false;
  bool done = false;
};

namespace {

thread_local StagedWrites::State* t_staging = nullptr;
void (*g_commitStep)(size_t) = nullptr;

const char kJournalMagic[] = "tamberlo commit journal 1\n";

std::string reason() {
  return std::strerror(errno);
}
std::string shown(const std::string& path) {
  return forMessage(path, 240);
}

std::string normalised(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

StagedWrites::State::File* stagedFile(const std::string& path) {
  if (!t_staging) return nullptr;
  std::string key = normalised(path);
  for (auto& f : t_staging->files) {
    if (f.key == key) return &f;
  }
  return nullptr;
}

std::string uniqueName(const std::string& path, const char* tag) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  return path + tag + std::to_string(getpid()) + "_" + std::to_string(rng() % 1000000);
}

// Refuses targets that must not be replaced: a folder in the file's place,
// or a file the user took the write permission from (root could write it
// anyway, so the permission bits are what count, not access()).
// A link in the file's place is replaced, never followed: its target's mode
// (world-writable /dev/null, a setuid program) must not pass to the new file,
// which then gets the default mode instead (`exists` false).
void checkReplaceable(const std::string& path, struct stat& st, bool& exists) {
  exists = ::lstat(path.c_str(), &st) == 0;
  if (!exists) return;
  if (S_ISLNK(st.st_mode)) {
    exists = false;
    return;
  }
  if (S_ISDIR(st.st_mode)) {
    throw Error("cannot replace " + shown(path) + ": a folder of that name is in the way");
  }
  if ((st.st_mode & 0222) == 0) {
    throw Error("the file " + shown(path) + " is read-only; it was left as it was");
  }
}

void writeAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw errno;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
}

// Writes `bytes` to a new file beside `path` and returns its name.
std::string writeTemp(const std::string& path, std::string_view bytes, const struct stat* old) {
  std::string tmp = uniqueName(path, ".tmp");
  int fd = createNewFile(tmp);
  // A name already taken (by a planted link, say) is never reused: try another.
  for (int attempt = 0; fd < 0 && errno == EEXIST && attempt < 8; ++attempt) {
    tmp = uniqueName(path, ".tmp");
    fd = createNewFile(tmp);
  }
  if (fd < 0) throw Error("cannot create the file " + shown(path) + ": " + reason());
  int failure = 0;
  try {
    writeAll(fd, bytes);
    // A replaced file keeps its permissions, but never set-id or sticky bits:
    // the new file holds text this program wrote.
    if (old && S_ISREG(old->st_mode)) ::fchmod(fd, old->st_mode & 0777);
  } catch (int e) {
    failure = e;
  }
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure != 0) {
    ::unlink(tmp.c_str());
    throw Error("cannot write the file " + shown(path) + ": " + std::strerror(failure));
  }
  return tmp;
}

std::optional<std::string> readFrom(const std::string& source, const std::string& path, size_t maxBytes);

// Keeps the current content of `path` under a second name: a hard link where
// the file system has them, else a copy.
std::string backUp(const std::string& path) {
  std::string bak = uniqueName(path, ".old");
  if (::link(path.c_str(), bak.c_str()) == 0) return bak;
  auto data = readFrom(path, path, SIZE_MAX);
  return writeTemp(path, data.value_or(""), nullptr);
}

}  // namespace

int createNewFile(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

void writeFileAtomic(const std::string& path, std::string_view bytes) {
  if (bytes.size() > kMaxFileBytes) {
    throw Error("cannot write the file " + shown(path) + ": " + std::to_string(bytes.size()) +
                " bytes is more than the " + std::to_string(kMaxFileBytes) +
                " bytes it could be read back with");
  }
  struct stat st {};
  bool exists = false;
  checkReplaceable(path, st, exists);
  if (t_staging && t_staging->memory) {
    if (auto* f = stagedFile(path)) {
      f->data = std::string(bytes);
    } else {
      t_staging->files.push_back({path, normalised(path), "", std::string(bytes)});
    }
    return;
  }
  std::string tmp = writeTemp(path, bytes, exists ? &st : nullptr);
  if (t_staging) {
    if (auto* f = stagedFile(path)) {
      ::unlink(f->temp.c_str());
      f->temp = tmp;
    } else {
      t_staging->files.push_back({path, normalised(path), tmp, {}});
    }
    return;
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    std::string why = reason();
    ::unlink(tmp.c_str());
    throw Error("cannot replace the file " + shown(path) + ": " + why);
  }
}

namespace {

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "something else";
}

Error notRegular(const std::string& path, mode_t mode) {
  if (S_ISDIR(mode)) return Error("cannot read " + shown(path) + ": it is a folder");
  return Error("cannot read " + shown(path) + ": it is " + std::string(kindOf(mode)) +
               ", not a regular file");
}

// Reads `source`; messages name `path`, the file the user knows.
std::optional<std::string> readFrom(const std::string& source, const std::string& path, size_t maxBytes) {
  // Only regular files are read. A FIFO or a device put in a file's place
  // would block open() or read() for ever, so it is refused before opening
  // and, in case it was swapped in since, opened without waiting and
  // checked again.
  struct stat st {};
  if (::stat(source.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::nullopt;
    throw Error("cannot open the file " + shown(path) + ": " + reason());
  }
  if (!S_ISREG(st.st_mode)) throw notRegular(path, st.st_mode);
  int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw Error("cannot open the file " + shown(path) + ": " + reason());
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  if (::fstat(fd, &st) != 0) throw Error("cannot read the file " + shown(path) + ": " + reason());
  if (!S_ISREG(st.st_mode)) throw notRegular(path, st.st_mode);
  auto tooLarge = [&](unsigned long long size) {
    return Error("the file " + shown(path) + " is too large to read (" + std::to_string(size) +
                 " bytes; at most " + std::to_string(maxBytes) + " bytes)");
  };
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) throw tooLarge(st.st_size);
  std::string data;
  data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Error("cannot read the file " + shown(path) + ": " + reason());
    }
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > maxBytes) throw tooLarge(data.size() + static_cast<size_t>(n));
    data.append(buf, static_cast<size_t>(n));
  }
  return data;
}

}  // namespace

std::optional<std::string> readFileIfExists(const std::string& path, size_t maxBytes) {
  const auto* staged = stagedFile(path);
  if (staged && t_staging->memory) return staged->data;
  return readFrom(staged ? staged->temp : path, path, maxBytes);
}

std::optional<std::string> readFileOnDisk(const std::string& path, size_t maxBytes) {
  return readFrom(path, path, maxBytes);
}

void writeFileNow(const std::string& path, std::string_view bytes) {
  StagedWrites::State* open = t_staging;
  t_staging = nullptr;
  try {
    writeFileAtomic(path, bytes);
  } catch (...) {
    t_staging = open;
    throw;
  }
  t_staging = open;
}

std::string readFile(const std::string& path, size_t maxBytes) {
  auto data = readFileIfExists(path, maxBytes);
  if (!data) throw Error("cannot open the file " + shown(path) + ": " + std::strerror(ENOENT));
  return std::move(*data);
}

bool StagedWrites::inMemory() { return t_staging && t_staging->memory; }

StagedWrites::StagedWrites(bool inMemory) {
  if (t_staging) return;
  t_staging = new State;
  t_staging->memory = inMemory;
  owner_ = true;
}

std::vector<std::string> StagedWrites::stagedTargets() {
  std::vector<std::string> out;
  if (t_staging) {
    for (const auto& f : t_staging->files) out.push_back(f.target);
  }
  return out;
}

void StagedWrites::unstage(const std::string& path) {
  if (!t_staging) return;
  const std::string key = normalised(path);
  auto& files = t_staging->files;
  for (auto it = files.begin(); it != files.end(); ++it) {
    if (it->key != key) continue;
    if (!it->temp.empty()) ::unlink(it->temp.c_str());
    files.erase(it);
    return;
  }
}

StagedWrites::~StagedWrites() {
  if (!owner_) return;
  State* s = t_staging;
  t_staging = nullptr;
  if (!s->done && !s->memory) {
    for (const auto& f : s->files) ::unlink(f.temp.c_str());
    for (auto it = s->folders.rbegin(); it != s->folders.rend(); ++it) ::rmdir(it->c_str());
  }
  delete s;
}

void StagedWrites::journalTo(const std::string& journal) {
  if (owner_) t_staging->journal = journal;
}

void StagedWrites::commit() {
  if (!owner_ || t_staging->done) return;
  State& s = *t_staging;
  if (s.memory) throw Error("a dry run writes nothing");
  std::vector<std::string> backups(s.files.size());
  auto dropBackups = [&] {
    for (const auto& b : backups) {
      if (!b.empty()) ::unlink(b.c_str());
    }
  };
  size_t step = 0;
  auto nextStep = [&] {
    if (g_commitStep) g_commitStep(step);
    ++step;
  };
  size_t placed = 0;
  bool journalled = false;
  try {
    for (size_t i = 0; i < s.files.size(); ++i) {
      // Only a file really there is kept aside: the staged ones are not
      // there yet, and a backup of nothing would come back as an empty file.
      struct stat st {};
      if (::lstat(s.files[i].target.c_str(), &st) == 0) backups[i] = backUp(s.files[i].target);
    }
    if (!s.journal.empty()) {
      // From the journal's rename on, the commit is decided: a run killed
      // after it is completed by the next one (finishCommit).
      std::string text = kJournalMagic;
      for (size_t i = 0; i < s.files.size(); ++i) {
        for (const std::string* field : {&s.files[i].temp, &s.files[i].target, &backups[i]}) {
          text += *field;
          text += '\0';
        }
      }
      std::string tmp = writeTemp(s.journal, text, nullptr);
      nextStep();
      if (::rename(tmp.c_str(), s.journal.c_str()) != 0) {
        std::string why = reason();
        ::unlink(tmp.c_str());
        throw Error("cannot write the file " + shown(s.journal) + ": " + why);
      }
      journalled = true;
    }
    for (; placed < s.files.size(); ++placed) {
      const auto& f = s.files[placed];
      nextStep();
      if (::rename(f.temp.c_str(), f.target.c_str()) != 0) {
        throw Error("cannot replace the file " + shown(f.target) + ": " + reason());
      }
    }
  } catch (...) {
    // Put back what was already replaced; the scope's end removes the rest.
    for (size_t i = 0; i < placed; ++i) {
      const auto& f = s.files[i];
      if (!backups[i].empty()) {
        ::rename(backups[i].c_str(), f.target.c_str());
        backups[i].clear();
      } else {
        ::unlink(f.target.c_str());
      }
    }
    dropBackups();
    if (journalled) ::unlink(s.journal.c_str());
    throw;
  }
  if (journalled) {
    nextStep();
    ::unlink(s.journal.c_str());
  }
  dropBackups();
  s.done = true;
}

// NAME + TAG + digits + "_" + digits: a file writeTemp or backUp made for NAME.
bool isOwnSideFile(const std::string& path, const std::string& target, std::string_view tag) {
  if (path.size() <= target.size() + tag.size() || path.compare(0, target.size(), target) != 0) return false;
  std::string_view rest(path);
  rest.remove_prefix(target.size());
  if (rest.substr(0, tag.size()) != tag) return false;
  rest.remove_prefix(tag.size());
  const size_t bar = rest.find('_');
  if (bar == 0 || bar == std::string_view::npos || bar + 1 == rest.size()) return false;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (i != bar && (rest[i] < '0' || rest[i] > '9')) return false;
  }
  return true;
}

namespace {

bool isStrayName(std::string_view name) {
  for (std::string_view tag : {".tmp", ".old"}) {
    for (size_t at = name.find(tag); at != std::string_view::npos && at > 0; at = name.find(tag, at + 1)) {
      const std::string whole(name);
      if (isOwnSideFile(whole, whole.substr(0, at), tag)) return true;
    }
  }
  return false;
}

}  // namespace

bool finishCommit(const std::string& journal) {
  std::optional<std::string> text;
  try {
    text = readFrom(journal, journal, kMaxFileBytes);
  } catch (const Error&) {
    // No folder to hold one (the project folder is a file, say): the run's
    // own writes report the folder's problem.
  }
  if (!text) return false;
  const std::string magic = kJournalMagic;
  const std::string root = folderOf(folderOf(journal).substr(0, folderOf(journal).size() - 1));
  if (text->compare(0, magic.size(), magic) == 0) {
    std::vector<std::string> fields;
    size_t pos = magic.size();
    for (size_t nul; (nul = text->find('\0', pos)) != std::string::npos; pos = nul + 1) {
      fields.push_back(text->substr(pos, nul - pos));
    }
    for (size_t i = 0; i + 2 < fields.size(); i += 3) {
      const std::string& temp = fields[i];
      const std::string& target = fields[i + 1];
      const std::string& backup = fields[i + 2];
      // Only our own staged files beside targets in the journal's project.
      if (target.compare(0, root.size(), root) != 0 || target.find("/../") != std::string::npos) continue;
      struct stat st {};
      if (isOwnSideFile(temp, target, ".tmp") && ::lstat(temp.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        ::rename(temp.c_str(), target.c_str());
      }
      if (isOwnSideFile(backup, target, ".old")) ::unlink(backup.c_str());
    }
  }
  ::unlink(journal.c_str());
  return true;
}

int removeStrays(const std::string& folder) {
  int removed = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    if (!isStrayName(name) || e.is_directory(ec)) continue;
    if (::unlink(e.path().c_str()) == 0) ++removed;
  }
  return removed;
}

void setCommitStepHook(void (*hook)(size_t step)) { g_commitStep = hook; }

FileLock::FileLock(const std::string& lockFile, int waitMs, const std::string& busy) {
  fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {  // a FIFO or device there is no lock of ours
    ::close(fd_);
    fd_ = -1;
    return;
  }
  for (int waited = 0;; waited += 5) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
    if (errno != EWOULDBLOCK && errno != EINTR) return;  // a file system without locks
    if (waited >= waitMs) break;
    ::usleep(5 * 1000);
  }
  ::close(fd_);
  fd_ = -1;
  throw Error(busy);
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool fileExists(const std::string& path) {
  if (stagedFile(path)) return true;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
  if (t_staging && t_staging->memory) {
    const std::string key = normalised(path);
    for (const auto& f : t_staging->folders) {
      if (normalised(f) == key) return true;
    }
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createFolder(const std::string& path) {
  if (t_staging && t_staging->memory) {
    t_staging->folders.push_back(path);
    return true;
  }
  if (::mkdir(path.c_str(), 0755) != 0) return false;
  if (t_staging) t_staging->folders.push_back(path);
  return true;
}

bool createFolders(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (p.empty() || folderExists(p)) return true;
  const std::string parent = folderOf(p);
  if (!parent.empty() && !createFolders(parent)) return false;
  return createFolder(p);
}

bool deleteFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

std::string executableFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return folderOf(std::string(buf, static_cast<size_t>(n)));
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return path.substr(0, slash + 1);
}

std::string withTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace tamberlo
