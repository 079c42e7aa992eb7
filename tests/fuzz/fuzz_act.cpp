// SPDX-License-Identifier: GPL-3.0-or-later
// The .act loader on arbitrary files: no crash, no sanitizer report, and
// whatever loaded can be saved back.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "assembly/editor.h"
#include "app/editor_model.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "settings/act_file.h"

using namespace tamberlo;

namespace {

std::string scratch() {
  static std::string dir = [] {
    std::string t = (std::filesystem::temp_directory_path() / "tamberlo-fuzz-act-XXXXXX").string();
    return std::string(mkdtemp(t.data())) + "/";
  }();
  return dir;
}

EditorModel& editor() {
  static std::unique_ptr<EditorModel> m = [] {
    auto model = std::make_unique<Editor>();
    model->FormCreate(scratch());
    model->FormShow();
    return model;
  }();
  return *m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EditorModel& m = editor();
  const std::string in = scratch() + "in.act";
  const std::string out = scratch() + "out.act";
  writeFileAtomic(in, std::string(reinterpret_cast<const char*>(data), size));
  try {
    LoadActFile(m, in);
  } catch (const Error&) {
    // Values a handler rejects are reported; the rest loaded.
  }
  deleteFile(out);
  try {
    SaveActFile(m, out);
  } catch (const Error& e) {
    std::fprintf(stderr, "what loaded cannot be saved: %s\n", e.what());
    std::abort();
  }
  return 0;
}
