#pragma once
// The module code library: writes the C sources of the external chips into
// the project folder. Each entry point takes the arguments of the original
// library calls; `buffer` holds the test banner that every C source it writes
// starts with. An unknown module name is an Error naming the library.
#include <string>
#include <string_view>
#include <vector>

#include "app/services.h"
#include "gen/text_buffer.h"

namespace tamberlo {

void SpiCreateCode(WindowHandle window, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer);
void TwiCreateCode(WindowHandle window, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer);
void LcdCreateCode(WindowHandle window, std::string_view model, std::string_view io,
                   const std::string& projectDir, const TextBuffer& buffer);
void GuiCreateCode(WindowHandle window, std::string_view name, const std::string& projectDir);
void UsbCreateCode(WindowHandle window, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer);
void Mp3CreateCode(WindowHandle window, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer);

// The files of one module: every template below `folder` (relative to the
// templates root), written under its own file name. Sources (".c") start
// with the lines of `banner` when one is given. Returns the names written;
// Error when the folder holds no template.
std::vector<std::string> writeModuleFiles(std::string_view folder, const std::string& projectDir,
                                          const TextBuffer* banner, std::string_view what);

// The text of one template ("spi/sd/fat.c") with its shared pieces taken in.
std::string moduleTemplateText(std::string_view path);

// True when at least one template lies below `folder`.
bool hasModuleTemplates(std::string_view folder);

}  // namespace tamberlo
