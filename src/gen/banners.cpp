// SPDX-License-Identifier: GPL-3.0-or-later
#include "gen/banners.h"

#include "app/constants.h"
#include "app/device_catalogue.h"

namespace tamberlo {

void addSourceBanner(TextBuffer& b, const ProjectConfig& cfg, std::string_view author) {
  const std::string rule = "//" + std::string(59, '-');
  b.add(rule);
  b.add("//程序由" + std::string(author) + std::string(AppVersion) + "自动生成     ");
  b.add("//MCU系统的处理器为：    " + cfg.mcuName());
  b.add("//MCU系统的晶振频率：    " + cfg.crystalText() + " Mhz");
  b.add(rule);
  b.add("");
  std::string include = deviceInclude(cfg.mcuName());
  if (!include.empty()) b.add(include);
}

void AddTestBanner(TextBuffer& b, const ProjectConfig& cfg) {
  const std::string rule = "/*--------------------------------------------------*/";
  std::string web = "/*" + std::string(11, ' ') + std::string(MakerWebAddress);
  if (web.size() + 2 < rule.size()) web += std::string(rule.size() - 2 - web.size(), ' ');
  web += "*/";
  const std::string lines[] = {
      rule,
      "/*             Hollowmere论坛                    */",
      web,
      "/*            AVR生成代码测试程序                   */",
      rule,
      "/*     程序由Tamberlo" + std::string(AppVersion) + "自动生成          */",
      "/*     AVR系统的处理器为：   " + cfg.mcuName() + "               */",
      "/*     AVR系统的晶振频率：   " + cfg.crystalText() + " Mhz             */",
      rule,
      "",
  };
  for (size_t i = 0; i < std::size(lines); ++i) b.insert(i, lines[i]);
  std::string include = deviceInclude(cfg.mcuName());
  if (!include.empty()) b.insert(10, include);
}

const std::string& MemoDELAY() {
  static const std::string text = R"(#include "delay.h"

/*-----------------------------------------------------------------------
延时函数
函数名称：delay_us
功    能：微秒级延时，调用一次约1us（与晶振频率有关，未按晶振换算）
-----------------------------------------------------------------------*/
void delay_us(void)
{
	unsigned char t=2;
	t--;
}

/*-----------------------------------------------------------------------
函数名称：delay_nus
功    能：延时t个微秒
入口参数：t  延时的微秒数
-----------------------------------------------------------------------*/
void delay_nus(unsigned int t)
{
	while(t--)
		delay_us();
}

/*-----------------------------------------------------------------------
函数名称：delay_ms
功    能：延时1毫秒
-----------------------------------------------------------------------*/
void delay_ms(void)
{
	delay_nus(1000);
}

/*-----------------------------------------------------------------------
函数名称：delay_nms
功    能：延时t个毫秒
入口参数：t  延时的毫秒数
-----------------------------------------------------------------------*/
void delay_nms(unsigned int t)
{
	while(t--)
		delay_ms();
}
)";
  return text;
}

void MakeDelayCode(GenContext& ctx) {
  TextBuffer a;
  a.assignText(MemoDELAY());
  AddTestBanner(a, ctx.cfg);
  ctx.files.add("delay.c", a);
  TextBuffer h{"#ifndef\t__DELAY__H", "#define\t__DELAY__H", "",
               "void delay_us(void);", "void delay_nus(unsigned int t);",
               "void delay_ms(void);", "void delay_nms(unsigned int t);", "", "#endif"};
  ctx.files.add("delay.h", h);
}

}  // namespace tamberlo
