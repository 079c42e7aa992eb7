// SPDX-License-Identifier: GPL-3.0-or-later
// gcc_kit MCU CRYSTAL_MHZ DIR
// Gives a hand-written ICC-style sample the avr-gcc build a generated project
// gets (Makefile, gcc/ headers, interrupt glue), through the very functions
// the generation run uses, so the samples build the way users do.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "platform/error.h"
#include "platform/fs.h"
#include "project/gcc_build.h"

int main(int argc, char** argv) {
  using namespace tamberlo;
  if (argc != 4) {
    std::cerr << "usage: gcc_kit MCU CRYSTAL_MHZ DIR   (e.g. ATMega16 7.3728 sample/)\n";
    return 2;
  }
  try {
    auto device = findDevice(argv[1]);
    if (!device) throw Error(std::string("unknown MCU ") + argv[1]);
    const std::string dir = withTrailingSeparator(argv[3]);
    std::vector<std::string> sources;
    std::vector<SourceText> files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
      const std::string name = e.path().filename().string();
      const std::string ext = e.path().extension().string();
      if (!e.is_regular_file() || (ext != ".c" && ext != ".h")) continue;
      if (ext == ".c") sources.push_back(name);
      TextBuffer text;
      text.addText(readFile(dir + name));
      files.push_back({name, text.lines()});
    }
    std::sort(sources.begin(), sources.end());
    std::sort(files.begin(), files.end(),
              [](const SourceText& a, const SourceText& b) { return a.name < b.name; });
    auto problems = writeGccBuild(dir, *device, argv[2], sources, files);
    for (const auto& p : problems) std::cerr << "gcc_kit: " << p << "\n";
    return problems.empty() ? 0 : 1;
  } catch (const Error& e) {
    std::cerr << "gcc_kit: " << e.what() << "\n";
    return 1;
  }
}
