// SPDX-License-Identifier: GPL-3.0-or-later
// adc.c/adc.h and acp.c/acp.h: initialisation skeletons for the converter
// and the comparator. The pages' options only show register values; none of
// them reaches these files.
#include <string>

#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "gen/bus/bus_text.h"

namespace tamberlo {
namespace {

struct AnalogModule {
  const char* stem;     // "adc"
  const char* guard;    // "__ADC__H"
  const char* routine;  // "ADC_Init"
  const char* title;    // "//ADC初始化子程序"
  const char* author;   // the tool name in the banner
};

void makeAnalogCode(GenContext& ctx, const AnalogModule& m) {
  using bus::Separator;
  const std::string stem = m.stem;
  const std::string head = std::string("void ") + m.routine + "(void)";

  TextBuffer c;
  addSourceBanner(c, ctx.cfg, m.author);
  c.add("#include \"" + stem + ".h\"");
  c.add("");
  c.add(Separator);
  c.add(m.title);
  c.add(Separator);
  c.add(head);
  c.add("{");
  c.add("//");
  c.add("}");
  c.add("");

  TextBuffer h;
  h.add(std::string("#ifndef\t") + m.guard);
  h.add(std::string("#define\t") + m.guard);
  h.add("");
  h.add(Separator);
  h.add(m.title);
  h.add(Separator);
  h.add(head + ";");
  h.add("");
  h.add(Separator);
  h.add("");
  h.add("#endif");

  ctx.files.add(stem + ".c", c);
  ctx.files.add(stem + ".h", h);
}

}  // namespace

void MakeAdcCode(GenContext& ctx) {
  makeAnalogCode(ctx, {"adc", "__ADC__H", "ADC_Init", "//ADC初始化子程序", "Corvelle"});
}

void MakeAcpCode(GenContext& ctx) {
  makeAnalogCode(ctx, {"acp", "__ACP__H", "ACP_Init", "//ACP初始化子程序", "Tamberlo"});
}

}  // namespace tamberlo
