// SPDX-License-Identifier: GPL-3.0-or-later
// The generation run ("生成工程") and the code preview ("代码预览").
#include "gen/generation.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "app/device_catalogue.h"
#include "app/editor_model.h"
#include "gen/generator.h"
#include "platform/text_buffer.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "app/crystal.h"

namespace tamberlo {
namespace {


// Runs one generator with a fresh view of the editor's configuration, then
// applies the values it derived and stages the files it made: the one
// place where a step's output reaches the editor and the folder. `run`
// (a full run) gives the step what earlier steps made and collects its own.
void generate(EditorModel& m, std::string_view name, GeneratedFiles* run = nullptr) {
  Generator g = findGenerator(name);
  if (!g) return;
  if (!StagedWrites::inMemory()) m.ensureProjectDir();  // a dry run makes nothing, not even the folder
  GenContext ctx{m.config(), m.shadows(), m.ProjectDir(), m.NeedDelay(), m.previewLines(), {}, {}, {}};
  ctx.earlier = run;
  ctx.status = [&m](std::string_view message) { m.setStatus(message); };
  ctx.onWarning = [&m](std::string_view message) { m.addWarning(message); };
  // The pane follows whatever the generator left in it, even on failure.
  struct Sync {
    EditorModel& m;
    ~Sync() { m.syncPreview(); }
  } sync{m};
  g(ctx);
  for (const ControlUpdate& u : ctx.updates) {
    m.ctl(u.control).text = u.text;
    if (u.shadow) m.shadows().*u.shadow = u.value;
    m.touch();
  }
  writeGeneratedFiles(ctx.projectDir, ctx.files);
  if (run) run->append(ctx.files);
}

// Tells the user, after the status line, what the merge with the folder did
// beyond writing the new text, and warns about each conflict.
std::string reportMerge(EditorModel& m, const MergeOutcome& outcome) {
  std::vector<std::string> merged, kept, backedUp, conflicts;
  for (const auto& f : outcome.files) {
    if (f.action == FileAction::Merged) merged.push_back(f.name);
    if (f.action == FileAction::Kept) kept.push_back(f.name);
    if (f.backedUp) backedUp.push_back(f.name);
    if (f.action == FileAction::Conflict) {
      conflicts.push_back(f.name + " (" + std::to_string(f.conflicts) + ")");
      m.addWarning(f.name + ": " + std::to_string(f.conflicts) +
                   (f.conflicts == 1 ? " conflict" : " conflicts") +
                   " between your edits and the new code, marked in the file from \"<<<<<<< your edit\" to "
                   "\">>>>>>> generated\"; your version before the merge is " +
                   std::string(kRecordFolder) + "yours/" + f.name);
    }
  }
  auto list = [](const std::string& what, const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) out += (out.empty() ? what : ", ") + n;
    return out;
  };
  std::string extra;
  for (const std::string& part :
       {list("conflicts to resolve: ", conflicts), list("your edits merged into: ", merged),
        list("your edited files kept: ", kept),
        list("backed up to " + std::string(kRecordFolder) + "backup/ before replacing: ", backedUp),
        list("no longer generated: ", outcome.retired)}) {
    if (!part.empty()) extra += (extra.empty() ? "" : "; ") + part;
  }
  return extra;
}

// Every file of a run is staged and put in place only when the whole run
// succeeded, so a failure (a file that cannot be replaced, a full disk, a
// setting a generator rejects) leaves the old project exactly as it was.
// Why a run cannot write the Makefile for `cfg`, as advice to the user
// (Chinese, saying what to change); "" when it can.
std::string makefileRefusal(const ProjectConfig& cfg) {
  if (!findDevice(cfg.mcuName())) {
    return "芯片 \"" + cfg.mcuName() + "\" 不在芯片列表中，没有生成 Makefile：请选择列表中的芯片，再点击〈生成工程〉。";
  }
  if (!crystalTextHz(cfg.crystalText())) {
    return "晶振频率 \"" + cfg.crystalText() +
           "\" 不是以 MHz 为单位的数字，没有生成 Makefile：请改正晶振频率，再点击〈生成工程〉。";
  }
  return "";
}

MergeOutcome runProject(EditorModel& m, RunMode mode) {
  // One writer per folder; what a killed one left is finished first.
  std::optional<ProjectLock> lock;
  if (mode == RunMode::Write) {
    lock.emplace(m.ProjectDir());
    recoverProjectFolder(m.ProjectDir());
  }
  StagedWrites staged(mode == RunMode::DryRun);
  if (mode == RunMode::Write) staged.journalTo(commitJournal(m.ProjectDir()));
  ProjectConfig c = m.config();
  GeneratedFiles made;  // what this run's steps made: the avr-gcc glue reads it, the project list checks its names
  m.setEnabled("BitBtn2", false);
  m.NeedDelay() = false;
  m.clearWarnings();
  m.setStatus("正在生成工程源代码...");
  if (c.UART0.Uart0_use || c.UART1.Uart1_use) {
    m.setStatus("正在生成UART程序文件...");
    generate(m, "MakeUartCode", &made);
  }
  if (c.SPI.Spi_use) {
    m.setStatus("正在生成SPI程序文件...");
    generate(m, "MakeSpiCode", &made);
    generate(m, "MakeSpiAppCode", &made);
  }
  if (c.TWI.Twi_use) {
    m.setStatus("正在生成TWI程序文件...");
    generate(m, "MakeTwiCode", &made);
    generate(m, "MakeTwiAppCode", &made);
  }
  if (c.Adc_use) {
    m.setStatus("正在生成ADC程序文件...");
    generate(m, "MakeAdcCode", &made);
  }
  if (c.Acp_use) {
    m.setStatus("正在生成ACP程序文件...");
    generate(m, "MakeAcpCode", &made);
  }
  if (c.LCD.Lcd_use) {
    m.setStatus("正在生成LCD程序文件...");
    // A typed text that names no model generates no LCD files.
    if (isLcdModel(c.LCD.Lcd_type.text)) generate(m, "MakeLcdCode", &made);
    if (c.LCD.Gui_use) {
      m.setStatus("正在生成GUI程序文件...");
      generate(m, "MakeGuiCode", &made);
    }
  }
  if (c.OtherAPP.OneWire_use) {
    m.setStatus("正在生成OneWire程序文件...");
    generate(m, "MakeOneWireCode", &made);
  }
  if (c.USB.Usb_use) {
    m.setStatus("正在生成USB程序文件...");
    generate(m, "MakeUsbCode", &made);
  }
  if (c.OtherAPP.MP3_use) {
    m.setStatus("正在生成MP3程序文件...");
    generate(m, "MakeMp3Code", &made);
  }
  if (m.NeedDelay()) {
    m.setStatus("正在生成DELAY程序文件...");
    generate(m, "MakeDelayCode", &made);
  }
  m.setStatus("正在生成MAIN程序文件...");
  generate(m, "MakeMainCode", &made);
  m.setStatus("正在生成ICC工程文件...");
  generate(m, "MakeIccProject", &made);
  m.setStatus("正在生成GCC工程文件...");
  generate(m, "MakeGccProject", &made);
  // Makefile, gcc/ headers and interrupt glue: every project builds with avr-gcc.
  generate(m, "MakeGccBuild", &made);
  const std::string dir = m.ProjectDir();
  MergeOutcome outcome = mergeStagedProject(dir, true);
  if (mode == RunMode::DryRun) return outcome;
  const bool makefile = made.find("Makefile") != nullptr;
  staged.commit();
  // Without a new Makefile the old one builds the previous settings: the
  // board refuses the folder until a run writes one.
  if (makefile) {
    clearStale(dir);
  } else {
    std::string why = makefileRefusal(c);
    markStale(dir, why.empty() ? "这次生成工程没有写出 Makefile，请检查设置后再点击〈生成工程〉。" : why);
  }
  // An installed program writes under the user's documents, which the user
  // cannot guess from the program's folder: say where.
  std::string done = "工程源程序生成完成，请打开编译软件测试！";
  if (m.Installed()) done += "（工程位于 " + dir + "）";
  const std::string extra = reportMerge(m, outcome);
  m.setStatus(extra.empty() ? done : done + " " + extra);
  if (!m.warnings().empty() && m.dialogs()) m.dialogs()->showWarnings(m.warnings());
  return outcome;
}

void BitBtn2Click(EditorModel& m) { generateProject(m, RunMode::Write); }

void BitBtn1Click(EditorModel& m) {
  MergeOutcome outcome;
  {
    ProjectLock lock(m.ProjectDir());
    recoverProjectFolder(m.ProjectDir());
    StagedWrites staged;  // the preview writes its module's files too, merged as a run's are
    staged.journalTo(commitJournal(m.ProjectDir()));
    m.clearWarnings();
    switch (m.activePage()) {
      case 0:
      case 1: generate(m, "MakeUartCode"); break;
      case 2: generate(m, "MakeSpiCode"); break;
      case 3: generate(m, "MakeTwiCode"); break;
      case 4: generate(m, "MakeAdcCode"); break;
      case 5: generate(m, "MakeAcpCode"); break;
      default: break;
    }
    outcome = mergeStagedProject(m.ProjectDir(), false);
    staged.commit();
  }
  const std::string extra = reportMerge(m, outcome);
  if (!m.warnings().empty() && m.dialogs()) m.dialogs()->showWarnings(m.warnings());
  m.setEnabled("BitBtn2", true);
  const std::string next = "请点击〈生成工程〉按钮生成工程源代码!";
  m.setStatus(extra.empty() ? next : next + " " + extra);
}

}  // namespace


MergeOutcome generateProject(EditorModel& m, RunMode mode) {
  const std::string dir = m.ProjectDir();
  try {
    return runProject(m, mode);
  } catch (const std::exception& e) {
    // The status line must not go on saying "正在生成..." of a run that ended.
    const std::string doing = "正在";
    std::string step = m.caption("Panel2");
    if (step.rfind(doing, 0) == 0) {
      step.erase(0, doing.size());
      while (!step.empty() && step.back() == '.') step.pop_back();
      m.setStatus(step + "时出错，工程目录里的文件没有改变");
    }
    if (mode == RunMode::Write) {
      markStale(dir, std::string("上次生成工程失败：") + e.what() +
                         "。工程目录里的文件没有改变，Makefile 仍是以前的设置：请改正后再点击〈生成工程〉。");
    }
    throw;
  }
}

void tidyProjectFolder(const std::string& projectDir) {
  try {
    ProjectLock lock(projectDir, 0);
    recoverProjectFolder(projectDir);
  } catch (const Error&) {
    // Another run holds the folder: it finishes what was left itself.
  }
}

void chooseProjectFolder(EditorModel& m, const std::string& folder) {
  const std::string dir = withTrailingSeparator(folder);
  // Creating a file is the only sure test: permission bits, read-only
  // mounts and full disks all show here.
  const std::string probe = dir + ".tamberlo-probe" + std::to_string(::getpid());
  int fd = folder.empty() ? -1 : createNewFile(probe);
  if (fd < 0) {
    const std::string why = folder.empty() ? "没有选择目录" : std::strerror(errno);
    throw Error("无法在目录 " + forMessage(folder, 240) + " 中写入文件（" + why + "），请选择其他工程目录。");
  }
  ::close(fd);
  ::unlink(probe.c_str());
  m.setProjectDir(dir);
  tidyProjectFolder(dir);
  try {
    m.writeActIni("Project", "folder", dir);
  } catch (const Error& e) {
    m.noteActIniProblem(e, false);
  }
}

void installGenerationHandlers(EditorModel& m) {
  m.addHandler("BitBtn2Click", BitBtn2Click);
  m.addHandler("BitBtn1Click", BitBtn1Click);
}

}  // namespace tamberlo
