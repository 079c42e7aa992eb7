// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the editor's hot paths: start-up, loading a settings file, a
// register handler, a whole generation run with every module ticked, and
// reading and rewriting settings files just under the size limit.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "assembly/editor.h"
#include "app/editor_model.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
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
  Editor m;
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
  // Every signal of the display, the USB and the MP3 chip on a pin (a run
  // refuses an unassigned one).
  const char* pins[][2] = {{"Edit1", "PC0"},  {"Edit2", "PC1"},  {"Edit3", "PC2"},  {"Edit7", "PC3"},
                           {"Edit9", "PC4"},  {"Edit4", "PC5"},  {"Edit5", "PC6"},  {"Edit6", "PC7"},
                           {"Edit8", "PE2"},  {"Edit10", "PE3"}, {"Edit11", "PE4"}, {"Edit12", "PE5"},
                           {"Edit13", "PE6"}, {"Edit14", "PE7"}, {"Edit15", "PF0"}, {"Edit16", "PF1"},
                           {"Edit25", "PF2"}, {"Edit26", "PF3"}};
  for (const auto& [box, pin] : pins) {
    if (m.ctl(box).enabled) m.userType(box, pin);
  }
  std::string path = scratchFolder() + "all.act";
  SaveActFile(m, path);
  return path;
}

void BM_StartUp(benchmark::State& state) {
  for (auto _ : state) {
    Editor m;
    startEditor(m);
    benchmark::DoNotOptimize(m.revision());
  }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
  std::string path = everythingOnSettings();
  Editor m;
  startEditor(m);
  for (auto _ : state) LoadActFile(m, path);
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

void BM_RegisterHandler(benchmark::State& state) {
  Editor m;
  startEditor(m);
  for (auto _ : state) m.userClick("CheckBox1");
}
BENCHMARK(BM_RegisterHandler)->Unit(benchmark::kMicrosecond);

void BM_LoadAndGenerateEverything(benchmark::State& state) {
  std::string path = everythingOnSettings();
  Editor m;
  startEditor(m);
  for (auto _ : state) {
    LoadActFile(m, path);
    m.run("BitBtn1Click");
    m.run("BitBtn2Click");
  }
}
BENCHMARK(BM_LoadAndGenerateEverything)->Unit(benchmark::kMillisecond);

// Files just under the read limit: blank lines (the worst case for a reader
// that keeps one object per line) and one key per line in a single section.
std::string largeFile(const std::string& name, const std::string& head, const std::string& line) {
  std::string path = scratchFolder() + name;
  std::string bytes = head;
  while (bytes.size() + line.size() <= IniFile::kMaxFileBytes - 4096) bytes += line;
  writeFileAtomic(path, bytes);
  return path;
}

// Peak resident memory of the whole process so far, in MB (run one large
// case at a time with --benchmark_filter to read it per case).
void reportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_LoadLargeActOfBlankLines(benchmark::State& state) {
  std::string path = largeFile("blank.act", "[MCU]\r\nmcutype=6\r\n", "\n");
  Editor m;
  startEditor(m);
  for (auto _ : state) LoadActFile(m, path);
  reportPeakMemory(state);
}
BENCHMARK(BM_LoadLargeActOfBlankLines)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SaveOverLargeActOfKeys(benchmark::State& state) {
  std::string path = largeFile("keys.act", "[MCU]\r\n", "k=1\r\n");
  Editor m;
  startEditor(m);
  for (auto _ : state) SaveActFile(m, path);
  reportPeakMemory(state);
}
BENCHMARK(BM_SaveOverLargeActOfKeys)->Unit(benchmark::kMillisecond)->Iterations(2);

// Every key distinct: the index holds one name per line.
void BM_ReadLargeIniOfDistinctKeys(benchmark::State& state) {
  std::string path = scratchFolder() + "distinct.ini";
  std::string bytes = "[MCU]\r\n";
  for (int i = 0; bytes.size() < IniFile::kMaxFileBytes - 4096; ++i) bytes += "k" + std::to_string(i) + "=1\r\n";
  writeFileAtomic(path, bytes);
  for (auto _ : state) {
    IniFile ini(path);
    benchmark::DoNotOptimize(ini.readString("MCU", "k12345", ""));
  }
  reportPeakMemory(state);
}
BENCHMARK(BM_ReadLargeIniOfDistinctKeys)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_RewriteLargeActIni(benchmark::State& state) {
  std::string path = largeFile("act.ini", "[MCU]\r\ncompile=1\r\n", "\r\n");
  for (auto _ : state) {
    IniFile ini(path);
    ini.writeString("MCU", "mcutype", "6");
    ini.save();
  }
  reportPeakMemory(state);
}
BENCHMARK(BM_RewriteLargeActIni)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
