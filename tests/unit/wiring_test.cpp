// SPDX-License-Identifier: GPL-3.0-or-later
// The names that tie the layers together: every handler a control, a
// settings row or a call in the code names is registered, and a name that
// nothing registered is an error rather than a silent no-op.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "assembly/editor.h"
#include "gen/generator.h"
#include "platform/error.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

// Handler names run by the code itself: `run("ComboBox19Change")` and the
// like, read from the sources so that a new call is checked too.
std::set<std::string> handlersCalledInSources() {
  namespace fs = std::filesystem;
  const fs::path src = fs::path(TAMBERLO_GOLDEN_DIR) / ".." / ".." / "src";
  const std::regex call(R"re(\brun\("([A-Za-z0-9_]+)"\))re");
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(src)) {
    if (e.path().extension() != ".cpp") continue;
    std::ifstream in(e.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    for (std::sregex_iterator it(s.begin(), s.end(), call), end; it != end; ++it) names.insert((*it)[1]);
  }
  return names;
}

TEST(Wiring, EveryNamedHandlerIsRegistered) {
  Editor m;
  std::set<std::string> named;
  for (const Control& c : m.controls()) {
    if (!c.handler.empty()) named.insert(c.handler);
  }
  const size_t fromControls = named.size();
  for (const ActRow& row : actRows()) {
    if (!row.handler.empty()) named.insert(std::string(row.handler));
  }
  const auto called = handlersCalledInSources();
  // The scan must find the calls, or the check below proves nothing.
  ASSERT_GT(called.size(), 5u);
  ASSERT_GT(fromControls, 50u);
  named.insert(called.begin(), called.end());
  for (const std::string& name : named) EXPECT_TRUE(m.hasHandler(name)) << name;
}

// TWI enable, acknowledge and interrupt derive no register byte: their
// handlers are registered and leave the shadows as they were.
TEST(Wiring, TwiControlBoxesAreDeliberateNoOps) {
  Editor m;
  m.FormCreate(testing::TempDir());
  const RegisterShadows before = m.shadows();
  for (const char* box : {"CheckBox47", "CheckBox48", "CheckBox50"}) {
    ASSERT_TRUE(m.hasHandler(std::string(box) + "Click")) << box;
    m.userClick(box);
    m.userClick(box);
  }
  EXPECT_EQ(m.shadows().TWSR, before.TWSR);
  EXPECT_EQ(m.shadows().TWAR, before.TWAR);
  EXPECT_EQ(m.shadows().TWBR, before.TWBR);
}

TEST(Wiring, UnknownNamesFailLoudly) {
  Editor m;
  EXPECT_THROW(m.run("ComboBox99Change"), Error);
  EXPECT_THROW(findGenerator("MakeNoSuchCode"), Error);
  for (const char* g : {"MakeUartCode", "MakeMainCode", "MakeIccProject", "MakeGccProject", "MakeGccBuild"}) {
    EXPECT_NE(findGenerator(g), nullptr) << g;
  }
}

}  // namespace
}  // namespace tamberlo
