// SPDX-License-Identifier: GPL-3.0-or-later
#include "gen/project_record.h"

#include <git2.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/error.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {

const std::string kMakefileMarker = "# Written by Tamberlo; checksum ";

// FNV-1a: enough to tell an edited file from ours, and short to write.
std::string checksum(std::string_view bytes) {
  uint32_t h = 2166136261u;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 16777619u;
  }
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", h);
  return buf;
}

const char* const kYoursLabel = "your edit";
const char* const kGeneratedLabel = "generated";

std::string hidden(const std::string& projectDir, std::string_view part) {
  return withTrailingSeparator(projectDir) + std::string(kRecordFolder) + std::string(part);
}

// NAME relative to the project folder, or "" for a file outside it or in
// the hidden folder itself.
std::string relativeName(const std::string& projectDir, const std::string& target) {
  namespace fs = std::filesystem;
  const std::string dir = fs::path(withTrailingSeparator(projectDir)).lexically_normal().string();
  const std::string t = fs::path(target).lexically_normal().string();
  if (t.size() <= dir.size() || t.compare(0, dir.size(), dir) != 0) return "";
  std::string rel = t.substr(dir.size());
  if (rel.rfind(kRecordFolder.substr(0, kRecordFolder.size() - 1), 0) == 0) return "";
  return rel;
}

// Stages `bytes` as the hidden file `part` (creating its folders).
void stageHidden(const std::string& projectDir, const std::string& part, std::string_view bytes) {
  const std::string path = hidden(projectDir, part);
  if (!createFolders(folderOf(path))) throw Error("cannot create the folder " + folderOf(path));
  writeFileAtomic(path, bytes);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string l = text.substr(pos, nl - pos);
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!l.empty()) out.push_back(l);
    pos = nl + 1;
  }
  return out;
}

bool isBinary(std::string_view bytes) { return bytes.find('\0') != std::string_view::npos; }

}  // namespace

std::string_view actionName(FileAction action) {
  switch (action) {
    case FileAction::Create: return "create";
    case FileAction::Replace: return "replace";
    case FileAction::Unchanged: return "unchanged";
    case FileAction::Merged: return "merged";
    case FileAction::Conflict: return "conflict";
    case FileAction::Kept: return "kept";
  }
  return "?";
}

bool MergeOutcome::differs() const {
  if (!retired.empty()) return true;
  return std::any_of(files.begin(), files.end(), [](const FileOutcome& f) {
    return f.action != FileAction::Unchanged && f.action != FileAction::Kept;
  });
}

MergedText mergeThreeWay(std::string_view base, std::string_view yours, std::string_view generated) {
  static const int init = git_libgit2_init();
  (void)init;
  git_merge_file_input in[3];
  const std::string_view texts[3] = {base, yours, generated};
  for (int i = 0; i < 3; ++i) {
    git_merge_file_input_init(&in[i], GIT_MERGE_FILE_INPUT_VERSION);
    in[i].ptr = texts[i].data();
    in[i].size = texts[i].size();
  }
  git_merge_file_options opts;
  git_merge_file_options_init(&opts, GIT_MERGE_FILE_OPTIONS_VERSION);
  opts.ancestor_label = "generated before";
  opts.our_label = kYoursLabel;
  opts.their_label = kGeneratedLabel;
  git_merge_file_result result{};
  if (git_merge_file(&result, &in[0], &in[1], &in[2], &opts) != 0) {
    const git_error* e = git_error_last();
    throw Error(std::string("cannot merge: ") + (e && e->message ? e->message : "libgit2 failed"));
  }
  MergedText out;
  out.bytes.assign(result.ptr ? result.ptr : "", result.len);
  git_merge_file_result_free(&result);
  // One conflict per opening marker the merge wrote (the user's own text
  // may hold marker-like lines, which carry no label of ours).
  const std::string open = std::string("<<<<<<< ") + kYoursLabel;
  for (size_t pos = 0; (pos = out.bytes.find(open, pos)) != std::string::npos; pos += open.size()) {
    const size_t end = pos + open.size();
    const bool lineStart = pos == 0 || out.bytes[pos - 1] == '\n';
    const bool lineEnd = end == out.bytes.size() || out.bytes[end] == '\r' || out.bytes[end] == '\n';
    if (lineStart && lineEnd) ++out.conflicts;
  }
  return out;
}

MergeOutcome mergeStagedProject(const std::string& projectDir, bool fullRun) {
  MergeOutcome outcome;
  std::set<std::string> names;
  for (const std::string& target : StagedWrites::stagedTargets()) {
    const std::string name = relativeName(projectDir, target);
    if (name.empty() || !names.insert(name).second) continue;
    const std::string generated = readFile(target);
    const std::optional<std::string> yours = readFileOnDisk(target);
    const std::optional<std::string> record = readFileOnDisk(hidden(projectDir, "record/" + name));
    FileOutcome f{name};
    if (!yours) {
      f.action = FileAction::Create;
    } else if (*yours == generated) {
      f.action = FileAction::Unchanged;
      StagedWrites::unstage(target);  // same bytes: the file keeps its time, make rebuilds nothing
    } else if (record) {
      if (*yours == *record) {
        f.action = FileAction::Replace;
      } else if (generated == *record) {
        f.action = FileAction::Kept;
        StagedWrites::unstage(target);
      } else if (isBinary(*yours) || isBinary(generated) || isBinary(*record)) {
        // Bytes that are not lines cannot be merged: the new file wins and
        // the user's one waits beside the record.
        f.action = FileAction::Conflict;
        f.conflicts = 1;
        stageHidden(projectDir, "yours/" + name, *yours);
      } else {
        MergedText m = mergeThreeWay(*record, *yours, generated);
        if (m.bytes == *yours) {
          f.action = FileAction::Kept;
          StagedWrites::unstage(target);
        } else {
          f.action = m.conflicts ? FileAction::Conflict : FileAction::Merged;
          f.conflicts = m.conflicts;
          writeFileAtomic(target, m.bytes);
          if (m.conflicts) stageHidden(projectDir, "yours/" + name, *yours);
        }
      }
    } else if (name == "Makefile" && !isOurUneditedMakefile(*yours)) {
      // A folder from before the record: the Makefile's checksum line still
      // tells an edited one, which stays the user's.
      f.action = FileAction::Kept;
      StagedWrites::unstage(target);
    } else if (name == "Makefile") {
      f.action = FileAction::Replace;
    } else {
      f.action = FileAction::Replace;
      f.backedUp = true;
      stageHidden(projectDir, "backup/" + name, *yours);
    }
    if (!record || *record != generated) stageHidden(projectDir, "record/" + name, generated);
    outcome.files.push_back(std::move(f));
  }
  if (fullRun) {
    const std::string listPath = hidden(projectDir, "files");
    const std::optional<std::string> before = readFileOnDisk(listPath);
    std::string list;
    for (const auto& f : outcome.files) list += f.name + "\n";
    if (before) {
      for (const std::string& old : lines(*before)) {
        std::error_code ec;
        if (!names.count(old) && std::filesystem::is_regular_file(withTrailingSeparator(projectDir) + old, ec)) {
          outcome.retired.push_back(old);
        }
      }
    }
    if (!before || *before != list) stageHidden(projectDir, "files", list);
  }
  return outcome;
}

ProjectLock::ProjectLock(const std::string& projectDir, int waitMs) {
  std::error_code ignored;
  std::filesystem::create_directory(hidden(projectDir, ""), ignored);
  lock_ = std::make_unique<FileLock>(
      hidden(projectDir, "lock"), waitMs,
      "工程目录 " + projectDir + " 正在被另一个 Tamberlo 写入，等了 " + std::to_string(waitMs / 1000) +
          " 秒仍未完成：请等它结束后再试。");
}

std::string generatedMakefileStamp(std::string_view rest) {
  return kMakefileMarker + checksum(rest) + ". Edit freely: an edited Makefile is kept.";
}

bool isOurUneditedMakefile(std::string_view bytes) {
  size_t nl = bytes.find("\r\n");
  if (nl == std::string_view::npos || bytes.substr(0, kMakefileMarker.size()) != kMakefileMarker) return false;
  return bytes.substr(kMakefileMarker.size(), 8) == checksum(bytes.substr(nl + 2));
}

std::string commitJournal(const std::string& projectDir) { return hidden(projectDir, "journal"); }

void recoverProjectFolder(const std::string& projectDir) {
  finishCommit(commitJournal(projectDir));
  // Generated files live in the folder, gcc/ and the hidden folder's tree.
  const std::string dir = withTrailingSeparator(projectDir);
  removeStrays(dir);
  removeStrays(dir + "gcc/");
  std::error_code ec;
  const std::string own = hidden(projectDir, "");
  if (!std::filesystem::is_directory(own, ec)) return;
  removeStrays(own);
  for (auto it = std::filesystem::recursive_directory_iterator(own, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) removeStrays(it->path().string());
  }
}

void markStale(const std::string& projectDir, const std::string& advice) {
  try {
    const std::string folder = hidden(projectDir, "");
    if (!folderExists(folder)) std::filesystem::create_directory(folder);
    writeFileNow(hidden(projectDir, "stale"), advice + "\n");
  } catch (const std::exception&) {
  }
}

void clearStale(const std::string& projectDir) { deleteFile(hidden(projectDir, "stale")); }

std::optional<std::string> staleAdvice(const std::string& projectDir) {
  try {
    auto text = readFileOnDisk(hidden(projectDir, "stale"), 1u << 16);
    if (!text) return std::nullopt;
    while (!text->empty() && (text->back() == '\n' || text->back() == '\r')) text->pop_back();
    if (text->empty()) *text = "上次生成工程没有完成，请重新生成工程。";
    return text;
  } catch (const Error&) {
    return "上次生成工程没有完成，请重新生成工程。";
  }
}

}  // namespace tamberlo
