// SPDX-License-Identifier: GPL-3.0-or-later
// The LCD model records agree with themselves: the virtual board reads one
// pin slot per signal in the editor's slot order, so a record whose board
// signals and pin captions differ in count would wire the picture wrongly.
#include "app/lcd_models.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/device_catalogue.h"

namespace tamberlo {
namespace {

size_t wiredSlots(const LcdCaptions& captions) {
  return static_cast<size_t>(std::count_if(captions.begin(), captions.end(),
                                           [](std::string_view c) { return !c.empty() && c != "NC"; }));
}

TEST(LcdModels, EveryRecordIsWholeAndConsistent) {
  ASSERT_EQ(lcdModels().size(), 16u);
  ASSERT_EQ(lcdModelNames().size(), 16u);
  for (size_t i = 0; i < lcdModels().size(); ++i) {
    const LcdModel& m = lcdModels()[i];
    SCOPED_TRACE(std::string(m.name));
    EXPECT_EQ(lcdModelNames()[i], m.name);
    EXPECT_EQ(findLcdModel(m.name), &m);
    EXPECT_NE(m.family, LcdFamily::None);
    EXPECT_FALSE(m.interfaces.empty());
    if (m.family == LcdFamily::Character) {
      EXPECT_GT(m.cols, 0);
      EXPECT_TRUE(m.rows >= 1 && m.rows <= 4);
      EXPECT_FALSE(m.rowAddr.empty());
      EXPECT_EQ(wiredSlots(m.captions), m.extraSelects ? 4u : 3u);
      continue;
    }
    EXPECT_FALSE(m.boardHead.empty());
    EXPECT_EQ(wiredSlots(m.captions), m.boardSignals.size());
    if (!m.serialBoardSignals.empty()) {
      EXPECT_EQ(wiredSlots(m.serialCaptions), m.serialBoardSignals.size());
    }
  }
  EXPECT_EQ(findLcdModel("LCD1602 "), nullptr);
  EXPECT_EQ(lcdFamilyOf("STA013"), LcdFamily::None);
}

}  // namespace
}  // namespace tamberlo
