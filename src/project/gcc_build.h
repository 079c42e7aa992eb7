// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What avr-gcc needs to build a project written in the ICC dialect: a
// Makefile, the gcc/ folder of stand-ins for the ICC headers and the
// interrupt glue that turns the run's handler pragmas into ISRs. Written
// beside the project files at every run, whatever compiler is chosen; the
// project lists do not name them.
#include <string>
#include <string_view>
#include <vector>

#include "app/device_catalogue.h"
#include "gen/generator.h"
#include "gen/project_record.h"
#include "platform/text_buffer.h"

namespace tamberlo {

// A C file of the project as lines, with its name ("uart.c").
struct SourceText {
  std::string name;
  std::vector<std::string> lines;
};

// gcc/icc_glue.c: one ISR per "#pragma interrupt_handler NAME:VECTOR" pair
// in `files`, calling the handler; vectors a file binds itself with ISR()
// are left to it. `deviceHeader` is the text of the chip's gcc/iomNNv.h,
// whose iv_ numbers the glue follows. Pairs that cannot be bound are left
// out and described in `problems` (file, line and why).
TextBuffer interruptGlue(std::string_view deviceHeaderName, std::string_view deviceHeader,
                         const std::vector<SourceText>& files, std::vector<std::string>& problems);

// The Makefile for `sources` (the ".c" files to build) on `device` with
// the crystal `crystalMHz` ("7.3728"); its first line carries the checksum
// of the rest, which tells our own file from one the user edited.
TextBuffer gccMakefile(const DeviceInfo& device, std::string_view crystalMHz,
                       const std::vector<std::string>& sources);

// gcc/fuses.c: the chip's fuse bytes for the crystal as avr-libc FUSES, so
// the ELF carries them (throws for a crystal text that is no frequency).
TextBuffer fuseSource(const DeviceInfo& device, std::string_view crystalMHz);

// Adds gcc/ (headers and glue) and the Makefile (unless `keepEdited` and
// the user edited the one in `projectDir`) to `out`. A generation run makes
// it always: its merge with the folder keeps the user's edits. Returns the
// problems of the glue.
std::vector<std::string> gccBuildFiles(GeneratedFiles& out, const std::string& projectDir, const DeviceInfo& device,
                                       std::string_view crystalMHz, const std::vector<std::string>& sources,
                                       const std::vector<SourceText>& files, bool keepEdited);
// gccBuildFiles, written into `projectDir` at once.
std::vector<std::string> writeGccBuild(const std::string& projectDir, const DeviceInfo& device,
                                       std::string_view crystalMHz, const std::vector<std::string>& sources,
                                       const std::vector<SourceText>& files, bool keepEdited = true);

// The generation step: the sources and headers of the run's ICC source
// list, read from what the run made.
void MakeGccBuild(GenContext& ctx);

}  // namespace tamberlo
