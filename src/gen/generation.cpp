// The generation run ("生成工程") and the code preview ("代码预览").
#include "app/device_catalogue.h"
#include "app/editor_model.h"
#include "gen/generator.h"
#include "gen/text_buffer.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {


// Runs one generator with a fresh view of the editor's configuration.
void generate(EditorModel& m, std::string_view name) {
  Generator g = findGenerator(name);
  if (!g) return;
  m.ensureProjectDir();
  GenContext ctx{m.config(), m.shadows(), m.ProjectDir(), m.NeedDelay(), m.previewLines(),
                 nullptr, {}, {}, {}};
  ctx.setControlText = [&m](std::string_view control, std::string_view text) {
    m.ctl(control).text = std::string(text);
    m.touch();
  };
  ctx.status = [&m](std::string_view message) { m.setStatus(message); };
  ctx.onWarning = [&m](std::string_view message) { m.addWarning(message); };
  // The pane follows whatever the generator left in it, even on failure.
  struct Sync {
    EditorModel& m;
    ~Sync() { m.syncPreview(); }
  } sync{m};
  g(ctx);
}

// Every file of a run is staged and put in place only when the whole run
// succeeded, so a failure (a file that cannot be replaced, a full disk, a
// setting a generator rejects) leaves the old project exactly as it was.
void BitBtn2Click(EditorModel& m) {
  StagedWrites staged;
  ProjectConfig c = m.config();
  SaveJournal journal;  // what this run writes: the avr-gcc glue reads it, the project list checks its names
  m.setEnabled("BitBtn2", false);
  m.NeedDelay() = false;
  m.clearWarnings();
  m.setStatus("正在生成工程源代码...");
  if (c.UART0.Uart0_use || c.UART1.Uart1_use) {
    m.setStatus("正在生成UART程序文件...");
    generate(m, "MakeUartCode");
  }
  if (c.SPI.Spi_use) {
    m.setStatus("正在生成SPI程序文件...");
    generate(m, "MakeSpiCode");
    generate(m, "MakeSpiAppCode");
  }
  if (c.TWI.Twi_use) {
    m.setStatus("正在生成TWI程序文件...");
    generate(m, "MakeTwiCode");
    generate(m, "MakeTwiAppCode");
  }
  if (c.Adc_use) {
    m.setStatus("正在生成ADC程序文件...");
    generate(m, "MakeAdcCode");
  }
  if (c.Acp_use) {
    m.setStatus("正在生成ACP程序文件...");
    generate(m, "MakeAcpCode");
  }
  if (c.LCD.Lcd_use) {
    m.setStatus("正在生成LCD程序文件...");
    // A typed text that names no model generates no LCD files.
    if (isLcdModel(c.LCD.Lcd_type.text)) generate(m, "MakeLcdCode");
    if (c.LCD.Gui_use) {
      m.setStatus("正在生成GUI程序文件...");
      generate(m, "MakeGuiCode");
    }
  }
  if (c.OtherAPP.OneWire_use) {
    m.setStatus("正在生成OneWire程序文件...");
    generate(m, "MakeOneWireCode");
  }
  if (c.USB.Usb_use) {
    m.setStatus("正在生成USB程序文件...");
    generate(m, "MakeUsbCode");
  }
  if (c.OtherAPP.MP3_use) {
    m.setStatus("正在生成MP3程序文件...");
    generate(m, "MakeMp3Code");
  }
  if (m.NeedDelay()) {
    m.setStatus("正在生成DELAY程序文件...");
    generate(m, "MakeDelayCode");
  }
  m.setStatus("正在生成MAIN程序文件...");
  generate(m, "MakeMainCode");
  m.setStatus("正在生成ICC工程文件...");
  generate(m, "MakeIccProject");
  m.setStatus("正在生成GCC工程文件...");
  generate(m, "MakeGccProject");
  // Makefile, gcc/ headers and interrupt glue: every project builds with avr-gcc.
  generate(m, "MakeGccBuild");
  staged.commit();
  // An installed program writes under the user's documents, which the user
  // cannot guess from the program's folder: say where.
  std::string done = "工程源程序生成完成，请打开编译软件测试！";
  if (m.Installed()) done += "（工程位于 " + m.ProjectDir() + "）";
  m.setStatus(done);
  if (!m.warnings().empty() && m.dialogs()) m.dialogs()->showWarnings(m.warnings());
}

void BitBtn1Click(EditorModel& m) {
  StagedWrites staged;  // the preview writes its module's files too
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
  staged.commit();
  if (!m.warnings().empty() && m.dialogs()) m.dialogs()->showWarnings(m.warnings());
  m.setEnabled("BitBtn2", true);
  m.setStatus("请点击〈生成工程〉按钮生成工程源代码!");
}

}  // namespace


void installGenerationHandlers(EditorModel& m) {
  m.addHandler("BitBtn2Click", BitBtn2Click);
  m.addHandler("BitBtn1Click", BitBtn1Click);
}

}  // namespace tamberlo
