// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The module code library: makes the C sources of the external chips as
// files of the project (added to `files`). Each entry point takes the arguments of the original
// library calls; `buffer` holds the test banner that every C source it writes
// starts with. An unknown module name is an Error naming the library.
// The bus chip and LCD drivers also take the project's crystal in Hz: their waits and
// bus rates are computed from it when the project is written, since the
// generated projects do not define F_CPU.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fill.h"
#include "platform/text_buffer.h"

namespace tamberlo {

void SpiCreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz);
void TwiCreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz);
// A character module's size and where row y starts in its display RAM (a
// C expression of y); its lcd.c is the shared HD44780 driver.
struct CharacterGeometry {
  int cols, rows;
  std::string_view rowAddr;
};
void LcdCreateCode(std::string_view model, std::string_view io, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz, const CharacterGeometry* character = nullptr);
void GuiCreateCode(std::string_view name, GeneratedFiles& files);
void UsbCreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer);
void Mp3CreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz);

// Values written into templates at their "$name$" marks.
using ModuleValues = FillValues;

// The files of one module: every template below `folder` (relative to the
// templates root), added under its own file name. Sources (".c") start
// with the lines of `banner` when one is given. Each "$name$" in a template
// is replaced by its entry of `values`; a mark without a value, or a value
// no file of the folder uses, is an Error.
// Returns the names added; Error when the folder holds no template.
std::vector<std::string> addModuleFiles(std::string_view folder, GeneratedFiles& files,
                                        const TextBuffer* banner, std::string_view what,
                                        const ModuleValues& values = {});

// The text of one stored template (relative to the templates root); Error
// when there is none.
std::string_view moduleTemplate(std::string_view path);

// The text of one template ("spi/sd/fat.c") with its shared pieces taken in.
std::string moduleTemplateText(std::string_view path);

// True when at least one template lies below `folder`.
bool hasModuleTemplates(std::string_view folder);

// The avr-gcc stand-ins for the ICC library, added as files of "gcc/": the
// device header `deviceHeader` ("iom16v.h") and the
// shared headers beside it; the other chips' headers stay out.
void addGccHeaders(GeneratedFiles& files, std::string_view deviceHeader);

}  // namespace tamberlo
