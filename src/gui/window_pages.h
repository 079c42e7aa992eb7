// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layout of the window: which widget sits where. Widgets are created
// empty and named after their controls; captions, items and states arrive
// from the model through the binder.
class QFrame;
class QTabWidget;
class QWidget;

namespace tamberlo::gui {

// The dynamic property naming a field whose caption is a plain label beside it.
inline constexpr const char* kFieldCaption = "tamberloFieldCaption";

// Panel1: the processor group, the preview pane, the notice and the buttons.
QFrame* buildProcessorPanel();
// PageControl1 with its fifteen pages in page-index order.
QTabWidget* buildPageControl();

}  // namespace tamberlo::gui
