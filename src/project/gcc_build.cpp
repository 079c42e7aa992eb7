// SPDX-License-Identifier: GPL-3.0-or-later
// The avr-gcc build of a generated project: Makefile, gcc/ headers and the
// interrupt glue. The C sources stay in the ICC dialect for both compilers;
// these files map that dialect onto avr-gcc and avr-libc.
#include "project/gcc_build.h"

#include <cstdint>
#include <cstdio>
#include <map>

#include "app/fuses.h"
#include "app/virtual_board.h"
#include "gen/chips/chip_generators.h"
#include "gen/project_record.h"
#include "modlib/modlib.h"
#include "platform/error.h"
#include "platform/fill.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "platform/text.h"
#include "project/project_files.h"

namespace tamberlo {
namespace {

std::string trimLeft(std::string_view s) {
  size_t i = s.find_first_not_of(" \t");
  return i == std::string_view::npos ? std::string() : std::string(s.substr(i));
}

std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    size_t b = s.find_first_not_of(" \t", i);
    if (b == std::string_view::npos) break;
    size_t e = s.find_first_of(" \t", b);
    if (e == std::string_view::npos) e = s.size();
    out.emplace_back(s.substr(b, e - b));
    i = e;
  }
  return out;
}

// A short decimal number (vector numbers, crystal digits): never overflows stoi.
bool isNumber(std::string_view s) {
  if (s.empty() || s.size() > 8) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "#define iv_NAME N" lines of a device header: NAME -> N (ICC numbering).
std::map<std::string, int, std::less<>> vectorNumbers(std::string_view header) {
  std::map<std::string, int, std::less<>> numbers;
  TextBuffer lines;
  lines.addText(header);
  for (const auto& l : lines.lines()) {
    auto w = words(l);
    if (w.size() >= 3 && w[0] == "#define" && w[1].rfind("iv_", 0) == 0 && isNumber(w[2])) {
      numbers[w[1]] = std::stoi(w[2]);
    }
  }
  return numbers;
}

// The avr-libc vector number of "ISR(X)" on a line, or -1: X is either
// __vector_N or NAME_vect, which the device header knows as iv_NAME.
int boundVector(const std::string& line, const std::map<std::string, int, std::less<>>& iv) {
  std::string s = trimLeft(line);
  if (s.rfind("ISR(", 0) != 0) return -1;
  size_t end = s.find_first_of(",)", 4);
  if (end == std::string::npos) return -1;
  const auto inner = words(s.substr(4, end - 4));
  if (inner.empty()) return -1;
  const std::string& name = inner[0];
  const std::string raw = "__vector_";
  if (name.rfind(raw, 0) == 0 && isNumber(name.substr(raw.size()))) {
    return std::stoi(name.substr(raw.size()));
  }
  const std::string tail = "_vect";
  if (name.size() > tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0) {
    auto it = iv.find("iv_" + name.substr(0, name.size() - tail.size()));
    if (it != iv.end()) return it->second - 1;
  }
  return -1;
}

struct Handler {
  std::string name, vector, file;
  int number;  // avr-libc's __vector_ number
};

// The chip's ICC header name from its include line: "iom16v.h".
std::string deviceHeaderName(const DeviceInfo& d) {
  std::string_view inc = d.include;
  size_t b = inc.find('<'), e = inc.find('>');
  return std::string(inc.substr(b + 1, e - b - 1));
}

const char* const kMakefile = R"(# Builds the project with avr-gcc and avr-libc (the gcc-avr packages,
# WinAVR or the Microchip AVR toolchain):
#   make                     the ELF and Intel HEX files and the memory used
#   make flash               programs the chip through avrdude, e.g.
#                            make flash PROGRAMMER=stk500v2 PORT=COM3
#   make fuses               writes the fuses below through avrdude, once per
#                            new chip and before make flash (make flash never
#                            writes fuses); the same PROGRAMMER and PORT
#   make clean               removes what make made
# The sources are written for ICC AVR; gcc/ maps its headers onto avr-libc
# and gcc/icc_glue.c binds the interrupt handlers.
#
# A new chip runs from its internal 1 MHz RC oscillator; these fuses select
# the crystal the project is written for (1 = unprogrammed, 0 = programmed;
# gcc/fuses.c puts the same bytes into the ELF's .fuse section):
$fuse_lines$

MCU = $mcu$
F_CPU = $hz$
FLASH_SIZE = $flash$
RAM_SIZE = $ram$
AVRDUDE_PART = $part$
PROGRAMMER = usbasp
PORT = usb
$fuse_vars$

TARGET = test
SRC = $sources$
GLUE = gcc/icc_glue.c gcc/fuses.c

CC = avr-gcc
OBJCOPY = avr-objcopy
SIZE = avr-size
AVRDUDE = avrdude

# The sources are GBK: reading them as GBK keeps a second byte 0x5C from
# acting as a backslash. Empty it for a compiler built without iconv.
CHARSET = -finput-charset=GBK -fexec-charset=GBK
OPT = -Os
CFLAGS = -mmcu=$(MCU) -DF_CPU=$(F_CPU)UL $(OPT) -std=gnu99 -Igcc $(CHARSET) \
	-Wall -Wno-unknown-pragmas -Wno-main
# The linker refuses code or static data that the chip cannot hold.
LDFLAGS = -mmcu=$(MCU) -Wl,--defsym=__TEXT_REGION_LENGTH__=$(FLASH_SIZE) \
	-Wl,--defsym=__DATA_REGION_LENGTH__=$(RAM_SIZE)

OBJ = $(SRC:.c=.o) $(GLUE:.c=.o)
DEP = $(OBJ:.o=.d)

all: $(TARGET).hex size

# delay.c times by counting empty loop passes, which -Os removes.
delay.o: OPT = -O0

%.o: %.c
	$(CC) $(CPPFLAGS) $(CFLAGS) -MMD -MP -c $< -o $@

$(TARGET).elf: $(OBJ)
	$(CC) $(LDFLAGS) -o $@ $(OBJ)

$(TARGET).hex: $(TARGET).elf
	$(OBJCOPY) -O ihex -R .eeprom -R .fuse -R .lock -R .signature $< $@

size: $(TARGET).elf
	$(SIZE) -C --mcu=$(MCU) $(TARGET).elf

flash: $(TARGET).hex
	$(AVRDUDE) -c $(PROGRAMMER) -P $(PORT) -p $(AVRDUDE_PART) -U flash:w:$(TARGET).hex:i

fuses:
	$(AVRDUDE) -c $(PROGRAMMER) -P $(PORT) -p $(AVRDUDE_PART) $fuse_writes$

clean:
	$(RM) $(OBJ) $(DEP) $(TARGET).elf $(TARGET).hex

.PHONY: all size flash fuses clean

-include $(DEP)
)";

std::vector<std::string> splitLines(const std::string& bytes) {
  TextBuffer b;
  b.addText(bytes);
  return b.lines();
}

}  // namespace

TextBuffer interruptGlue(std::string_view deviceHeaderName, std::string_view deviceHeader,
                         const std::vector<SourceText>& files, std::vector<std::string>& problems) {
  const auto iv = vectorNumbers(deviceHeader);
  std::vector<Handler> handlers;
  std::map<int, std::string> bound;  // vectors a file binds itself -> that file
  for (const SourceText& f : files) {
    for (size_t n = 0; n < f.lines.size(); ++n) {
      const std::string& line = f.lines[n];
      if (int v = boundVector(line, iv); v >= 0) bound.emplace(v, f.name);
      auto w = words(line);
      if (w.size() < 2 || w[0] != "#pragma" || w[1] != "interrupt_handler") continue;
      const std::string where = f.name + ": line " + std::to_string(n + 1) + ": ";
      for (size_t i = 2; i < w.size(); ++i) {
        if (w[i].rfind("//", 0) == 0 || w[i].rfind("/*", 0) == 0) break;
        size_t colon = w[i].find(':');
        if (colon == 0 || colon == std::string::npos || colon + 1 == w[i].size() ||
            w[i].find(':', colon + 1) != std::string::npos) {
          problems.push_back(where + "cannot read the handler pair \"" + w[i] + "\"");
          continue;
        }
        std::string name = w[i].substr(0, colon), vector = w[i].substr(colon + 1);
        auto it = iv.find(vector);
        if (it == iv.end() || it->second < 2) {
          problems.push_back(where + "#pragma interrupt_handler " + w[i] + ": " +
                             std::string(deviceHeaderName) + " has no vector " + vector);
          continue;
        }
        int number = it->second - 1;
        bool again = false;
        for (const Handler& h : handlers) {
          if (h.number != number) continue;
          again = true;
          if (h.name != name) {
            problems.push_back(where + "#pragma interrupt_handler " + w[i] +
                               ": the vector is already bound to " + h.name);
          }
        }
        if (!again) handlers.push_back({name, vector, f.name, number});
      }
    }
  }

  TextBuffer g{"/* Interrupt glue for avr-gcc, written by Tamberlo from the handler pragmas",
               "   of this project: ICC binds \"#pragma interrupt_handler NAME:VECTOR\",",
               "   which avr-gcc ignores, so each pair gets an ISR here calling NAME. */",
               "#include <avr/interrupt.h>", ""};
  for (const Handler& h : handlers) {
    const std::string vec = "__vector_" + std::to_string(h.number);
    if (auto b = bound.find(h.number); b != bound.end()) {
      g.add("/* " + h.name + ":" + h.vector + ": " + b->second + " binds " + vec + " itself */");
      continue;
    }
    g.add("extern void " + h.name + "(void);");
    g.add("ISR(" + vec + ") { " + h.name + "(); }  /* " + h.vector + ", " + h.file + " */");
  }
  return g;
}

TextBuffer gccMakefile(const DeviceInfo& device, std::string_view crystalMHz,
                       const std::vector<std::string>& sources) {
  std::string list;
  for (const auto& s : sources) list += (list.empty() ? "" : " ") + s;
  const std::string digits(device.name.substr(device.name.find_first_of("0123456789")));
  const auto hz = crystalTextHz(crystalMHz);
  const auto fuses = hz ? fusesFor(device.name, *hz) : std::nullopt;
  if (!fuses) throw Error("Makefile: no fuses for " + std::string(device.name) + " at \"" + std::string(crystalMHz) + "\"");
  std::string fuseLines, fuseVars, fuseWrites;
  const auto described = describeFuses(device.name, *fuses);
  for (size_t i = 1; i < described.size(); ++i) fuseLines += (i > 1 ? "\n# " : "# ") + described[i];
  fuseVars = "LFUSE = " + fuseHex(fuses->low) + "\nHFUSE = " + fuseHex(fuses->high);
  fuseWrites = "-U lfuse:w:$(LFUSE):m -U hfuse:w:$(HFUSE):m";
  if (fuses->hasExtended) {
    fuseVars += "\nEFUSE = " + fuseHex(fuses->extended);
    fuseWrites += " -U efuse:w:$(EFUSE):m";
  }
  const std::string body = fillMarks("Makefile template", kMakefile,
                                     {{"mcu", foldAscii(device.name)},
                                      {"fuse_lines", fuseLines},
                                      {"fuse_vars", fuseVars},
                                      {"fuse_writes", fuseWrites},
                                      {"hz", std::to_string(*hz)},
                                      {"flash", std::to_string(device.flashBytes)},
                                      {"ram", std::to_string(device.ramBytes)},
                                      {"part", "m" + digits},
                                      {"sources", list}});
  TextBuffer rest;
  rest.addText(body);
  TextBuffer out{generatedMakefileStamp(rest.bytes())};
  for (const auto& l : rest.lines()) out.add(l);
  return out;
}

TextBuffer fuseSource(const DeviceInfo& device, std::string_view crystalMHz) {
  const auto hz = crystalTextHz(crystalMHz);
  const auto fuses = hz ? fusesFor(device.name, *hz) : std::nullopt;
  if (!fuses) throw Error("gcc/fuses.c: no fuses for " + std::string(device.name) + " at \"" + std::string(crystalMHz) + "\"");
  TextBuffer f{"/* Fuses of " + std::string(device.name) + " for the " + std::string(crystalMHz) +
                   " MHz crystal, written by Tamberlo. They go into the ELF's",
               "   .fuse section, which avrdude and the virtual board read; \"make fuses\"",
               "   writes the same bytes, explained at the head of the Makefile. */",
               "#include <avr/io.h>",
               "",
               "FUSES = {",
               "    .low = " + fuseHex(fuses->low) + ",",
               "    .high = " + fuseHex(fuses->high) + ","};
  if (fuses->hasExtended) f.add("    .extended = " + fuseHex(fuses->extended) + ",");
  f.add("};");
  return f;
}

std::vector<std::string> gccBuildFiles(GeneratedFiles& out, const std::string& projectDir, const DeviceInfo& device,
                                       std::string_view crystalMHz, const std::vector<std::string>& sources,
                                       const std::vector<SourceText>& files, bool keepEdited) {
  const std::string header = deviceHeaderName(device);
  addGccHeaders(out, header);
  std::vector<std::string> problems;
  out.add("gcc/icc_glue.c", interruptGlue(header, moduleTemplate("gcc/" + header), files, problems));
  out.add("gcc/fuses.c", fuseSource(device, crystalMHz));

  // A Makefile the user wrote or edited is theirs; a file we cannot read
  // is never written over (readFile throws).
  const std::string makefile = projectDir + "Makefile";
  if (!keepEdited || !fileExists(makefile) || isOurUneditedMakefile(readFile(makefile, 1u << 20))) {
    out.add("Makefile", gccMakefile(device, crystalMHz, sources));
  }
  return problems;
}

std::vector<std::string> writeGccBuild(const std::string& projectDir, const DeviceInfo& device,
                                       std::string_view crystalMHz, const std::vector<std::string>& sources,
                                       const std::vector<SourceText>& files, bool keepEdited) {
  GeneratedFiles out;
  auto problems = gccBuildFiles(out, projectDir, device, crystalMHz, sources, files, keepEdited);
  writeGeneratedFiles(projectDir, out);
  return problems;
}

void MakeGccBuild(GenContext& ctx) {
  const auto device = findDevice(ctx.cfg.mcuName());
  if (!device) {
    ctx.warn("GCC build: \"" + ctx.cfg.mcuName() +
             "\" is not one of the listed chips, so no Makefile was written");
    return;
  }
  if (!crystalTextHz(ctx.cfg.crystalText())) {
    ctx.warn("GCC build: the crystal \"" + ctx.cfg.crystalText() +
             "\" is not a frequency in MHz, so no Makefile was written");
    return;
  }
  // The fuses and the pins are those of a real board, whatever the compiler.
  if (const auto fuses = fusesFor(device->name, *crystalTextHz(ctx.cfg.crystalText()))) {
    for (const auto& w : fuses->warnings) ctx.warn("Fuses: " + w);
  }
  chips::warnPinUse(ctx);
  std::vector<std::string> sources;
  std::vector<SourceText> files;
  std::vector<std::string> entries = iccSourceList(ctx.cfg, ctx.NeedDelay).lines();
  // The STA013 driver is in no ICC project list and main.c does not call it,
  // yet it is written for the user's code to call: building it here proves it
  // compiles with every project. A chip without TWI (warned about) leaves it out.
  const auto& other = ctx.cfg.OtherAPP;
  if (other.MP3_use && other.MP3_chip.text == "STA013" && device->hasTwi) entries.push_back("sta013.c");
  for (const auto& entry : entries) {
    const bool c = entry.size() > 2 && entry.compare(entry.size() - 2, 2, ".c") == 0;
    const bool h = entry.size() > 2 && entry.compare(entry.size() - 2, 2, ".h") == 0;
    if (!c && !h) continue;  // section lines and libraries for ICC alone
    if (c) sources.push_back(entry);
    const std::string path = ctx.projectDir + entry;
    if (const GeneratedFiles::File* made = ctx.earlier ? ctx.earlier->find(entry) : nullptr) {
      files.push_back({entry, made->lines});
    } else if (fileExists(path)) {
      files.push_back({entry, splitLines(gbkToUtf8(readFile(path)))});
    }
  }
  for (const auto& p : gccBuildFiles(ctx.files, ctx.projectDir, *device, ctx.cfg.crystalText(), sources, files, false)) {
    ctx.warn("GCC build: " + p);
  }
  // What the virtual board wires: the project as generated, whatever the
  // editor's settings are when the board runs it.
  TextBuffer board;
  for (const auto& line : board::boardDescription(ctx.cfg)) board.add(line);
  ctx.files.add("gcc/board.txt", board);
}

}  // namespace tamberlo
