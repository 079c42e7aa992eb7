// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A generator run in a scratch project folder, for the bus generator tests.
#include <string>
#include <vector>

#include "gen/generator.h"
#include "test_support.h"

namespace tamberlo::test {

struct BusRun {
  TempDir dir;
  ProjectConfig cfg;
  RegisterShadows regs;
  bool needDelay = false;
  std::vector<std::string> preview;
  std::vector<std::string> warnings;

  BusRun(const std::string& mcu = "ATMega16", const std::string& crystal = "7.3728") {
    cfg.MCU.mcutype.text = mcu;
    cfg.MCU.Fosc.text = crystal;
  }
  void run(Generator g) {
    GenContext ctx{cfg, regs, dir.path(), needDelay, preview, {}, {}, {}};
    ctx.onWarning = [this](std::string_view w) { warnings.emplace_back(w); };
    g(ctx);
    writeGeneratedFiles(dir.path(), ctx.files);
  }
  std::string path(const std::string& name) const { return dir.path() + name; }
  std::vector<std::string> lines(const std::string& name) const { return readGeneratedLines(path(name)); }
};

}  // namespace tamberlo::test
