// Timings of the editor's hot paths: start-up, loading a settings file, a
// register handler, and a whole generation run with every module ticked.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/editor_model.h"
#include "settings/act_file.h"

using namespace tamberlo;

namespace {

std::string scratchFolder() {
  static std::string dir = [] {
    std::string t = (std::filesystem::temp_directory_path() / "tamberlo-bench-XXXXXX").string();
    return std::string(mkdtemp(t.data())) + "/";
  }();
  return dir;
}

void startEditor(EditorModel& m) {
  m.FormCreate(scratchFolder());
  m.FormShow();
}

// A settings file with every generated module switched on.
std::string everythingOnSettings() {
  EditorModel m;
  startEditor(m);
  m.userSelect("ComboBox3", 6);
  for (const char* box : {"UART0Check", "UART1Check", "RS485Check0", "CheckBox5", "CheckBox7", "CheckBox9",
                          "CheckBox14", "CheckBox16", "SPICheck", "CheckBox39", "CheckBox40", "DS1302Check",
                          "SDCheck", "TWICheck", "CheckBox47", "At24CxxCheck", "SD2000Check", "DS1307Check",
                          "Zlg7290Check", "TEA5767Check", "LCDCheck", "OneWireCheck", "DS18B20Check",
                          "USBCheck", "MP3Check"}) {
    m.userClick(box);
  }
  m.userSelect("ComboBox16", 9);
  std::string path = scratchFolder() + "all.act";
  SaveActFile(m, path);
  return path;
}

void BM_StartUp(benchmark::State& state) {
  for (auto _ : state) {
    EditorModel m;
    startEditor(m);
    benchmark::DoNotOptimize(m.revision());
  }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
  std::string path = everythingOnSettings();
  EditorModel m;
  startEditor(m);
  for (auto _ : state) LoadActFile(m, path);
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

void BM_RegisterHandler(benchmark::State& state) {
  EditorModel m;
  startEditor(m);
  for (auto _ : state) m.userClick("CheckBox1");
}
BENCHMARK(BM_RegisterHandler)->Unit(benchmark::kMicrosecond);

void BM_LoadAndGenerateEverything(benchmark::State& state) {
  std::string path = everythingOnSettings();
  EditorModel m;
  startEditor(m);
  for (auto _ : state) {
    LoadActFile(m, path);
    m.run("BitBtn1Click");
    m.run("BitBtn2Click");
  }
}
BENCHMARK(BM_LoadAndGenerateEverything)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
