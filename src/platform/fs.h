// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlo {

// The largest file the program reads or writes: settings, INI and project
// files are small, so anything larger is refused rather than read in part,
// and a rewrite that would grow past it is refused too.
constexpr size_t kMaxFileBytes = 16u << 20;

// Replaces `path` with `bytes` atomically: the data goes to a temporary file
// beside it, which is renamed over the old one. On failure the old file is
// untouched and Error names the file. A file the user made read-only (no
// write permission bit) is refused, never replaced. A link in the file's
// place is replaced, not followed: the new file gets the default mode, never
// the link target's; a replaced file keeps its permission bits without the
// set-id and sticky bits. While a StagedWrites
// scope is open, the file is only staged (see there).
void writeFileAtomic(const std::string& path, std::string_view bytes);

// Creates `path` for writing and returns its descriptor, or -1 (errno set)
// when anything is already there: a file, a FIFO, a link (never followed).
// Someone who can create files in the folder cannot make us write elsewhere.
int createNewFile(const std::string& path);

// Reads the whole file. Error (naming the file and, for a file above
// `maxBytes`, its size) when it cannot be read fully. Only a regular file
// (or a link to one) is read: a FIFO, device, socket or folder is refused by
// name and never waited on.
std::string readFile(const std::string& path, size_t maxBytes = kMaxFileBytes);
// Like readFile, but nullopt when the file does not exist.
std::optional<std::string> readFileIfExists(const std::string& path, size_t maxBytes = kMaxFileBytes);

// Makes every writeFileAtomic of a run all-or-nothing. While a scope is open
// each write goes to a temporary file beside its target (so the final
// rename stays on one file system) and readFile sees the staged content;
// commit() then moves all of them into place. A scope that ends without a
// successful commit removes what it staged (and the folders it created), so
// every old file stays as it was. A scope opened inside another joins it.
class StagedWrites {
 public:
  // `inMemory`: nothing at all is written, not even temporary files; the
  // staged bytes stay in memory for readFile and the scope cannot commit
  // (what a dry run needs).
  explicit StagedWrites(bool inMemory = false);
  ~StagedWrites();
  StagedWrites(const StagedWrites&) = delete;
  StagedWrites& operator=(const StagedWrites&) = delete;

  // True inside an in-memory (dry-run) scope: callers must not make folders.
  static bool inMemory();

  // Puts every staged file in place. On failure the files already replaced
  // get their old content back and Error names the file that failed.
  void commit();

  // Makes commit() write `journal` (each staged file and its target) before
  // its first rename and remove it after the last, so that a commit killed
  // half-way is completed by finishCommit, never left mixed.
  void journalTo(const std::string& journal);

  // The targets staged in the scope of this thread, in staging order.
  static std::vector<std::string> stagedTargets();
  // Drops the staged content of `path`: the commit leaves that file alone.
  static void unstage(const std::string& path);

  struct State;

 private:
  bool owner_ = false;
};

// The file as it is on disk now, whatever is staged for it.
std::optional<std::string> readFileOnDisk(const std::string& path, size_t maxBytes = kMaxFileBytes);
// Replaces `path` at once even while a StagedWrites scope is open: for the
// few files that must tell about a run that did not commit.
void writeFileNow(const std::string& path, std::string_view bytes);
// Creates `path` and any missing parent folders (staged like createFolder).
bool createFolders(const std::string& path);

// Completes the commit `journal` describes: each staged file still there
// is renamed over its target, then the journal is removed. Entries that are
// not a staged file of ours beside its target are ignored. Returns false
// when there is no journal.
bool finishCommit(const std::string& journal);

// Removes the temporary and backup files a killed run left in `folder`
// (NAME.tmpPID_N, NAME.oldPID_N), not below it. Returns how many.
int removeStrays(const std::string& folder);

// True for PATH = TARGET + TAG + digits + "_" + digits: the temporary (".tmp")
// or backup (".old") file a write of TARGET makes beside it.
bool isOwnSideFile(const std::string& path, const std::string& target, std::string_view tag);

// Tests stop a commit at a chosen step with this: called before each
// rename of a commit (the journal's first), with its index.
void setCommitStepHook(void (*hook)(size_t step));

// An exclusive advisory lock (flock) on `lockFile`, created when missing.
// A lock held elsewhere is waited for up to `waitMs`; then Error(`busy`).
// Where the file cannot be created at all the lock is not taken, and the
// writes that follow report the folder's problem themselves.
class FileLock {
 public:
  FileLock(const std::string& lockFile, int waitMs, const std::string& busy);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // False where the lock file could not be made (nothing is then locked).
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
// Creates one folder level; returns false (and changes nothing) on failure.
bool createFolder(const std::string& path);
bool deleteFile(const std::string& path);

// Folder of the running executable, with a trailing separator.
std::string executableFolder();

// Folder part of a path, with its trailing separator ("" when none).
std::string folderOf(const std::string& path);

// Ensures a trailing '/'.
std::string withTrailingSeparator(std::string folder);

}  // namespace tamberlo
