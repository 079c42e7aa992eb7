// SPDX-License-Identifier: GPL-3.0-or-later
// twi.c and twi.h: the polled TWI master driver, the status code table and
// the bus pins of the device.
#include <cstdio>
#include <string>
#include <vector>

#include "app/device_catalogue.h"
#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "gen/bus/bus_text.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

using bus::Separator;

struct StatusCode {
  const char* name;
  const char* value;
  const char* comment;
};

struct StatusGroup {
  const char* title;
  std::vector<StatusCode> codes;
};

const std::vector<StatusGroup>& statusGroups() {
  static const std::vector<StatusGroup> groups = {
      {"//主机发送状态码",
       {{"TW_START", "0x08", "//START已发送"},
        {"TW_REP_START", "0x10", "//重复START已发送"},
        {"TW_MT_SLA_ACK", "0x18", "//SLA+W已发送,收到ACK"},
        {"TW_MT_SLA_NACK", "0x20", "//SLA+W已发送,收到NOT ACK"},
        {"TW_MT_DATA_ACK", "0x28", "//数据已发送,收到ACK"},
        {"TW_MT_DATA_NACK", "0x30", "//数据已发送,收到NOT ACK"},
        {"TW_MT_ARB_LOST", "0x38", "//SLA+W或数据的仲裁失败"}}},
      {"//主机接收状态码",
       {{"TW_MR_ARB_LOST", "0x38", "//SLA+R或NOT ACK的仲裁失败"},
        {"TW_MR_SLA_ACK", "0x40", "//SLA+R已发送,收到ACK"},
        {"TW_MR_SLA_NACK", "0x48", "//SLA+R已发送,收到NOT ACK"},
        {"TW_MR_DATA_ACK", "0x50", "//收到数据,ACK已返回"},
        {"TW_MR_DATA_NACK", "0x58", "//收到数据,NOT ACK已返回"}}},
      {"//从机接收状态码",
       {{"TW_SR_SLA_ACK", "0x60", "//收到自己的SLA+W,ACK已返回"},
        {"TW_SR_ARB_LOST_SLA_ACK", "0x68", "//主机SLA+R/W仲裁失败,收到自己的SLA+W,ACK已返回"},
        {"TW_SR_GCALL_ACK", "0x70", "//收到广播地址,ACK已返回"},
        {"TW_SR_ARB_LOST_GCALL_ACK", "0x78", "//主机SLA+R/W仲裁失败,收到广播地址,ACK已返回"},
        {"TW_SR_DATA_ACK", "0x80", "//以前以自己的SLA+W被寻址,收到数据,ACK已返回"},
        {"TW_SR_DATA_NACK", "0x88", "//以前以自己的SLA+W被寻址,收到数据,NOT ACK已返回"},
        {"TW_SR_GCALL_DATA_ACK", "0x90", "//以前以广播方式被寻址,收到数据,ACK已返回"},
        {"TW_SR_GCALL_DATA_NACK", "0x98", "//以前以广播方式被寻址,收到数据,NOT ACK已返回"},
        {"TW_SR_STOP", "0xA0", "//收到STOP或重复START"}}},
      {"//从发送状态码",
       {{"TW_ST_SLA_ACK", "0xA8", "//收到自己的SLA+R,ACK已返回"},
        {"TW_ST_ARB_LOST_SLA_ACK", "0xB0", "//主机SLA+R/W仲裁失败,收到自己的SLA+R,ACK已返回"},
        {"TW_ST_DATA_ACK", "0xB8", "//数据已发送,收到ACK"},
        {"TW_ST_DATA_NACK", "0xC0", "//数据已发送,收到NOT ACK"},
        {"TW_ST_LAST_DATA", "0xC8", "//最后一个数据已发送,收到ACK"}}},
      {"//其它状态码",
       {{"TW_NO_INFO", "0xF8", "//没有相关的状态信息,TWINT=0"},
        {"TW_BUS_ERROR", "0x00", "//非法的START或STOP引起的总线错误"}}},
  };
  return groups;
}

struct TwiRoutine {
  const char* comment;
  const char* head;
  std::vector<const char*> body;
};

const std::vector<TwiRoutine>& twiRoutines() {
  static const std::vector<TwiRoutine> routines = {
      {"//总线上起动停止条件", "void twi_stop(void)", {"   TWI_Stop();"}},
      {"//总线上起动开始条件",
       "unsigned char twi_start(void)",
       {"   TWI_Start();", "   TWI_Wait();", "   return TW_STATUS;"}},
      {"//写一字节",
       "unsigned char twi_writebyte(unsigned char c)",
       {"   TWDR = c;", "   delay_nms(10);   ", "   TWCR = (1 << (TWINT)) | (1 << (TWEN));", "   TWI_Wait();",
        "   delay_nms(10);  ", "   return TW_STATUS;"}},
      {"//读一字节 ack: true时发ACK，false时发NACK",
       "unsigned char twi_readbyte(unsigned char *c ,unsigned char ack)",
       {"   unsigned char tmp=(1 << (TWINT)) | (1 << (TWEN));", "   if(ack)", "      tmp|=(1 << (TWEA));",
        "   TWCR=tmp;", "   delay_nms(10);", "   TWI_Wait();", "   delay_nms(10); ", "   *c=TWDR;",
        "   return TW_STATUS;"}},
  };
  return routines;
}

std::string prototypeOf(const char* head) {
  return std::string(head) + ";";
}

void addPinLines(TextBuffer& h, const std::string& mcu) {
  const auto scl = functionPin(mcu, "SCL"), sda = functionPin(mcu, "SDA");
  if (!scl || !sda) return;
  auto port = [](const PortPin& p) { return std::string("PORT") + p.port; };
  auto bit = [](const PortPin& p) { return "(1<<" + pinName(p) + ")"; };
  h.add("#define " + bus::padRight("TW_SCL_PORT", 14) + port(*scl));
  h.add("#define " + bus::padRight("TW_SCL_BIT", 14) + bit(*scl));
  h.add("#define " + bus::padRight("TW_SDA_PORT", 14) + port(*sda));
  h.add("#define " + bus::padRight("TW_SDA_BIT", 14) + bit(*sda));
}

// What the project cannot do as set: a device without the TWI, or a bus
// clock above what a ticked chip takes. The ZLG7290 is left out: its driver
// slows the bus to the chip's own limit for each transfer.
void warnTwiLimits(const GenContext& ctx) {
  const ProjectConfig& cfg = ctx.cfg;
  auto device = findDevice(cfg.mcuName());
  if (device && !device->hasTwi) {
    ctx.warn("TWI: the " + cfg.mcuName() +
             " has no TWI interface, so twi.c and the TWI chips' drivers will not build");
    return;
  }
  struct Limit {
    bool ticked;
    const char* chip;
    int kHz;
  };
  const Limit limits[] = {{cfg.TWI.Twi_at24, "AT24Cxx", 400},
                          {cfg.TWI.Twi_sd2k, "SD2000", 100},
                          {cfg.TWI.Twi_tea5767, "TEA5767", 400},
                          {cfg.TWI.Twi_ds1307, "DS1307", 100}};
  const Limit* lowest = nullptr;
  for (const Limit& l : limits) {
    if (l.ticked && (!lowest || l.kHz < lowest->kHz)) lowest = &l;
  }
  if (!lowest) return;
  const RegisterShadows& r = ctx.regs;
  const double divisor = 16.0 + 2.0 * r.TWBR * (1 << (2 * (r.TWPS & 3)));
  const double kHz = r.FoscMHz * 1000.0 / divisor;
  if (kHz <= lowest->kHz) return;
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.1f", kHz);
  ctx.warn("TWI: the bus clock " + std::string(rate) + " kHz (TWBR " + std::to_string(r.TWBR) +
           ", prescaler " + std::to_string(1 << (2 * (r.TWPS & 3))) + ", " + cfg.crystalText() +
           " MHz on the " + cfg.mcuName() + ") is above the " + std::to_string(lowest->kHz) + " kHz the " +
           lowest->chip + " takes; raise the bit rate factor or the prescaler");
}

}  // namespace

void MakeTwiCode(GenContext& ctx) {
  warnTwiLimits(ctx);
  ctx.NeedDelay = true;  // twi.c waits with delay_nms

  TextBuffer h{"#ifndef\t__TWI__H", "#define\t__TWI__H", "", Separator};
  h.add("#define TWI_Start()   TWCR =(1<<TWINT)|(1<<TWSTA)|(1<<TWEN)");
  h.add("#define TWI_Stop()    TWCR =(1<<TWINT)|(1<<TWSTO)|(1<<TWEN)");
  h.add("#define TWI_Wait()    while(!(TWCR&(1<<TWINT)))");
  h.add("#define TWI_NoneAck() TWCR =(1<<TWINT)|(1<<TWEN)");
  h.add("#define TWI_Ack()     TWCR =(1<<TWINT)|(1<<TWEN)|(1<<TWEA)");
  h.add("");
  for (const StatusGroup& g : statusGroups()) {
    h.add(g.title);
    for (const StatusCode& s : g.codes) h.add(bus::tabbedDefine(s.name, s.value, 32) + "\t" + s.comment);
    h.add("");
  }
  for (int bit = 3; bit <= 7; ++bit)
    h.add("#define TWS" + std::to_string(bit) + "    " + std::to_string(bit));
  h.add("#define TW_STATUS_MASK    (1 << (TWS7))|(1 << (TWS6))|(1 << (TWS5))|(1 << (TWS4))|(1 << (TWS3))");
  h.add("#define TW_STATUS         (TWSR & (TW_STATUS_MASK))");
  h.add("");
  h.add("#define TW_READ\t\t1");
  h.add("#define TW_WRITE\t0");
  h.add("");
  h.add("//定义接口");
  addPinLines(h, ctx.cfg.mcuName());
  h.add("#define SCL_H         TW_SCL_PORT |= TW_SCL_BIT     //");
  h.add("#define SDA_H         TW_SDA_PORT |= TW_SDA_BIT     //");
  h.add(Separator);
  h.add("//TWI初始化子程序");
  h.add(Separator);
  h.add("void TWI_Init(void);");
  h.add("");
  for (const TwiRoutine& r : twiRoutines()) {
    h.add(r.comment);
    h.add(prototypeOf(r.head));
    h.add("");
  }
  // The ZLG7290 driver runs its transfers from the TWI interrupt.
  if (ctx.cfg.TWI.Twi_zlg7290) h.add("#pragma interrupt_handler ZLG7290_Isr:iv_TWI");
  h.add("");
  h.add(Separator);
  h.add("");
  h.add("#endif");

  TextBuffer c;
  AddTestBanner(c, ctx.cfg);
  c.add("#include \"twi.h\"");
  c.add("#include \"delay.h\"");
  c.add("");
  c.add(Separator);
  c.add("//TWI初始化子程序");
  c.add(Separator);
  c.add("void TWI_Init(void)");
  c.add("{");
  c.add("   SCL_H;");
  c.add("   SDA_H;");
  c.add("   TWCR= 0x00;     //disable twi");
  c.add("   TWBR= " + hexByte(ctx.regs.TWBR) + ";     //set bit rate");
  c.add("   TWSR= " + hexByte(ctx.regs.TWSR) + ";     //set prescale");
  c.add("   TWAR= " + hexByte(ctx.regs.TWAR) + ";     //set slave address");
  c.add("}");
  c.add("");
  for (const TwiRoutine& r : twiRoutines()) {
    c.add(r.comment);
    c.add(r.head);
    c.add("{");
    for (const char* line : r.body) c.add(line);
    c.add("}");
    c.add("");
  }

  ctx.preview = c.lines();
  ctx.files.add("twi.c", c);
  ctx.files.add("twi.h", h);
}

}  // namespace tamberlo
