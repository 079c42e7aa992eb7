// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/wiring_sheet.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "app/fuses.h"
#include "app/pin_map.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        // Control characters have no place in XML 1.0 text.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') out += c;
    }
  }
  return out;
}

std::string mm(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

// Places the pins: two rows for a DIP (pin 1 top left, counting down the
// left and up the right), four sides for a QFP (counter-clockwise from pin 1
// at the top of the left side).
void place(ChipDrawing& d, bool quad) {
  const size_t n = d.pins.size();
  if (!quad) {
    const size_t k = n / 2;
    const double pitch = 4.2;
    d.bodyW = 38, d.bodyH = static_cast<double>(k) * pitch + 4;
    d.width = 190, d.bodyX = (d.width - d.bodyW) / 2, d.bodyY = 4;
    d.height = d.bodyH + 8;
    for (size_t i = 0; i < n; ++i) {
      DrawnPin& p = d.pins[i];
      const bool left = i < k;
      const size_t row = left ? i : n - 1 - i;
      p.side = left ? 'L' : 'R';
      p.x = left ? d.bodyX : d.bodyX + d.bodyW;
      p.y = d.bodyY + 2 + pitch * (static_cast<double>(row) + 0.5);
    }
    return;
  }
  const size_t k = n / 4;
  // The corners stay clear of the pin rows so that the labels inside the
  // body do not cross.
  const double pitch = 3.4, corner = 10;
  const double side = static_cast<double>(k) * pitch + 2 * corner;
  d.bodyW = d.bodyH = side;
  d.width = 190, d.bodyX = (d.width - side) / 2, d.bodyY = 40;
  d.height = d.bodyY * 2 + side;
  for (size_t i = 0; i < n; ++i) {
    DrawnPin& p = d.pins[i];
    const double at = corner + pitch * (static_cast<double>(i % k) + 0.5);
    switch (i / k) {
      case 0: p.side = 'L', p.x = d.bodyX, p.y = d.bodyY + at; break;
      case 1: p.side = 'B', p.x = d.bodyX + at, p.y = d.bodyY + side; break;
      case 2: p.side = 'R', p.x = d.bodyX + side, p.y = d.bodyY + side - at; break;
      default: p.side = 'T', p.x = d.bodyX + side - at, p.y = d.bodyY; break;
    }
  }
}

const char* colourOf(PinState s) {
  switch (s) {
    case PinState::Free: return "#9a9a9a";
    case PinState::Used: return "#1a4fa0";
    case PinState::Conflict: return "#d01010";
    case PinState::Notice: return "#b06000";
    case PinState::Fixed: return "#404040";
  }
  return "#000000";
}

struct Row {
  int number;
  std::string label, module, signal;
  bool conflict;
};

std::vector<Row> tableRows(const ProjectConfig& cfg, const ChipDrawing& d) {
  std::vector<Row> rows;
  const std::vector<PinOwner> owners = pinOwners(cfg);
  for (const DrawnPin& p : d.pins) {
    const ChipPin& cp = chipPackage(d.mcu)->pins[static_cast<size_t>(p.number - 1)];
    if (!cp.port) {
      if (cp.label == "XTAL1" || cp.label == "XTAL2")
        rows.push_back({p.number, p.label, "crystal", cp.label, false});
      continue;
    }
    for (const PinOwner* o : ownersOf(owners, *cp.port))
      rows.push_back({p.number, p.label, o->module, o->signal, p.state == PinState::Conflict});
  }
  return rows;
}

std::string fuseLine(const ProjectConfig& cfg) {
  const auto hz = crystalTextHz(cfg.crystalText());
  const auto f = hz ? fusesFor(cfg.mcuName(), *hz) : std::nullopt;
  if (!f) return "熔丝: -";
  std::string line = "熔丝: 低 " + fuseHex(f->low) + "  高 " + fuseHex(f->high);
  if (f->hasExtended) line += "  扩展 " + fuseHex(f->extended);
  return line;
}

std::string text(double x, double y, std::string_view s, double size, const char* colour,
                 const char* anchor = "start", bool vertical = false, bool bold = false) {
  std::string out = "<text x=\"" + mm(x) + "\" y=\"" + mm(y) + "\" font-size=\"" + mm(size) + "\" fill=\"" +
                    colour + "\" text-anchor=\"" + anchor + "\"";
  if (vertical) out += " transform=\"rotate(-90 " + mm(x) + " " + mm(y) + ")\"";
  if (bold) out += " font-weight=\"bold\"";
  return out + ">" + escaped(s) + "</text>\n";
}

std::string cut(const std::string& s, size_t max) {
  if (s.size() <= max) return s;
  size_t at = max;
  while (at > 0 && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80) --at;  // whole UTF-8 characters
  return s.substr(0, at) + "...";
}

// The drawing at (ox, oy), in millimetres.
std::string drawingSvg(const ChipDrawing& d, double ox, double oy) {
  std::string out = "<g transform=\"translate(" + mm(ox) + " " + mm(oy) + ")\" font-family=\"sans-serif\">\n";
  out += "<rect x=\"" + mm(d.bodyX) + "\" y=\"" + mm(d.bodyY) + "\" width=\"" + mm(d.bodyW) + "\" height=\"" +
         mm(d.bodyH) + "\" fill=\"#f4f4f4\" stroke=\"#000000\" stroke-width=\"0.4\"/>\n";
  out += text(d.bodyX + d.bodyW / 2, d.bodyY + d.bodyH / 2, d.mcu, 3.2, "#000000", "middle", false, true);
  out += text(d.bodyX + d.bodyW / 2, d.bodyY + d.bodyH / 2 + 4, d.package, 2.4, "#404040", "middle");
  for (const DrawnPin& p : d.pins) {
    const char* colour = colourOf(p.state);
    double dx = 0, dy = 0;  // outward
    switch (p.side) {
      case 'L': dx = -1; break;
      case 'R': dx = 1; break;
      case 'T': dy = -1; break;
      default: dy = 1; break;
    }
    const bool vertical = dy != 0;
    out += "<line x1=\"" + mm(p.x) + "\" y1=\"" + mm(p.y) + "\" x2=\"" + mm(p.x + dx * 3) + "\" y2=\"" +
           mm(p.y + dy * 3) + "\" stroke=\"" + colour + "\" stroke-width=\"0.5\"/>\n";
    const double base = 0.9;  // centres the text on the pin
    const char* outward = dx < 0 || dy > 0 ? "end" : "start";
    const char* inward = dx < 0 || dy > 0 ? "start" : "end";
    // Pin label inside the body, number and owner outside.
    out += text(p.x - dx * 1.2 + (vertical ? base : 0), p.y - dy * 1.2 + (vertical ? 0 : base), p.label, 2.2,
                colourOf(p.state == PinState::Free ? PinState::Fixed : p.state), inward, vertical);
    out += text(p.x + dx * 3.6 + (vertical ? base : 0), p.y + dy * 3.6 + (vertical ? 0 : base),
                std::to_string(p.number), 2.0, "#404040", outward, vertical);
    if (!p.owner.empty())
      out += text(p.x + dx * 8 + (vertical ? base : 0), p.y + dy * 8 + (vertical ? 0 : base),
                  cut(p.owner, vertical ? 28 : 46), 2.5, colour, outward, vertical, p.state == PinState::Conflict);
  }
  return out + "</g>\n";
}

std::string sheetBody(const ProjectConfig& cfg) {
  const ChipDrawing d = drawChip(cfg);
  std::string out;
  out += text(10, 14, "接线图  " + d.mcu + "  " + d.package, 6, "#000000", "start", false, true);
  out += text(200, 10, "晶振: " + cfg.crystalText() + " MHz", 3.2, "#000000", "end");
  out += text(200, 15, fuseLine(cfg), 3.2, "#000000", "end");
  out += drawingSvg(d, 10, 20);
  // The table, in up to two columns, then the conflicts.
  const double top = 20 + d.height + 8, rowH = 4.2, bottom = 287;
  std::vector<Row> rows = tableRows(cfg, d);
  std::vector<std::string> problems = d.problems;
  const size_t perColumn = static_cast<size_t>((bottom - top - rowH * 3) / rowH) - 1;
  const size_t columns = rows.size() > perColumn ? 2 : 1;
  const size_t shown = std::min(rows.size(), perColumn * columns);
  for (size_t c = 0; c < columns; ++c) {
    const double x = 10 + static_cast<double>(c) * 96;
    const char* head[] = {"脚", "引脚", "模块", "信号"};
    const double at[] = {0, 10, 24, 56};
    for (int i = 0; i < 4; ++i) out += text(x + at[i], top, head[i], 3, "#000000", "start", false, true);
    out += "<line x1=\"" + mm(x) + "\" y1=\"" + mm(top + 1.2) + "\" x2=\"" + mm(x + 92) + "\" y2=\"" +
           mm(top + 1.2) + "\" stroke=\"#000000\" stroke-width=\"0.3\"/>\n";
    for (size_t r = c * perColumn; r < std::min(shown, (c + 1) * perColumn); ++r) {
      const Row& row = rows[r];
      const double y = top + rowH * static_cast<double>(r - c * perColumn + 1);
      const char* colour = row.conflict ? "#d01010" : "#000000";
      out += text(x + at[0], y, std::to_string(row.number), 2.8, colour);
      out += text(x + at[1], y, row.label, 2.8, colour);
      out += text(x + at[2], y, cut(row.module, 18), 2.8, colour);
      out += text(x + at[3], y, cut(row.signal, 24), 2.8, colour);
    }
  }
  double y = top + rowH * static_cast<double>(std::min(shown, perColumn) + 2);
  if (shown < rows.size()) problems.insert(problems.begin(), std::to_string(rows.size() - shown) + " more rows");
  for (const std::string& p : problems) {
    if (y > bottom) break;
    out += text(10, y, cut(p, 150), 2.4, p.rfind("ISP: ", 0) == 0 ? "#b06000" : "#d01010");
    y += 3.6;
  }
  return out;
}

}  // namespace

ChipDrawing drawChip(const ProjectConfig& cfg) {
  const ChipPackage* pkg = chipPackage(cfg.mcuName());
  if (!pkg) throw Error("no pin-out is known for the MCU \"" + cut(cfg.mcuName(), 20) + "\"");
  ChipDrawing d;
  d.mcu = std::string(pkg->mcu);
  d.package = std::string(pkg->package);
  const std::vector<PinOwner> owners = pinOwners(cfg);
  const std::vector<PinConflict> conflicts = pinConflicts(cfg);
  for (const PinConflict& k : conflicts) {
    if (k.kind != ConflictKind::Isp) d.problems.push_back(k.message);
  }
  for (const PinConflict& k : conflicts) {
    if (k.kind == ConflictKind::Isp) d.problems.push_back(k.message);
  }
  for (const ChipPin& cp : pkg->pins) {
    DrawnPin p;
    p.number = cp.number;
    p.label = cp.label;
    std::string fs;
    for (const std::string& f : cp.functions) {
      if (f != cp.label) fs += (fs.empty() ? "" : ", ") + f;
    }
    p.functions = fs.empty() ? cp.label : cp.label + " (" + fs + ")";
    p.tooltip = std::to_string(cp.number) + ": " + p.functions;
    if (!cp.port) {
      p.state = PinState::Fixed;
      if (cp.label == "XTAL1" || cp.label == "XTAL2") p.owner = "crystal";
    } else {
      const auto mine = ownersOf(owners, *cp.port);
      for (const PinOwner* o : mine) {
        p.owner += (p.owner.empty() ? "" : " / ") + o->name();
        p.tooltip += "\n" + o->name();
      }
      p.state = mine.empty() ? PinState::Free : PinState::Used;
      for (const PinConflict& k : conflicts) {
        if (std::find(k.pins.begin(), k.pins.end(), *cp.port) == k.pins.end()) continue;
        if (k.kind == ConflictKind::Shared) p.state = PinState::Conflict;
        if (k.kind == ConflictKind::Isp && p.state == PinState::Used) p.state = PinState::Notice;
        p.tooltip += "\n" + k.message;
      }
    }
    d.pins.push_back(std::move(p));
  }
  place(d, pkg->quad);
  return d;
}

std::string wiringSheetSvg(const ProjectConfig& cfg) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\" font-family=\"sans-serif\">\n"
         "<title>" + escaped("接线图 " + cfg.mcuName()) + "</title>\n"
         "<rect x=\"0\" y=\"0\" width=\"210\" height=\"297\" fill=\"#ffffff\"/>\n" +
         sheetBody(cfg) + "</svg>\n";
}

std::string wiringSheetHtml(const ProjectConfig& cfg) {
  // XHTML-clean, so that an XML parser reads it as well as a browser.
  return "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"zh-CN\">\n<head>\n"
         "<meta charset=\"utf-8\"/>\n<title>" + escaped("接线图 " + cfg.mcuName()) + "</title>\n"
         "<style>@page { size: A4 portrait; margin: 0 } html, body { margin: 0; padding: 0; background: #ffffff }"
         " svg { display: block }</style>\n</head>\n<body>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\" "
         "font-family=\"sans-serif\">\n" +
         sheetBody(cfg) + "</svg>\n</body>\n</html>\n";
}

void writeWiringSheet(const ProjectConfig& cfg, const std::string& path) {
  const std::string name = lower(path);
  auto endsWith = [&name](std::string_view end) {
    return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
  };
  std::string body;
  if (endsWith(".svg")) {
    body = wiringSheetSvg(cfg);
  } else if (endsWith(".html") || endsWith(".htm")) {
    body = wiringSheetHtml(cfg);
  } else {
    throw Error("the wiring sheet \"" + cut(path, 60) + "\" must end in .svg, .html or .htm");
  }
  writeFileAtomic(path, body);
}

}  // namespace tamberlo
