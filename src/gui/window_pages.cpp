// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/window_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tamberlo::gui {
namespace {

// Creates widgets named after their controls. Widgets are made in reading
// order, which gives each page its tab order.
template <class W>
W* named(const char* name) {
  auto* w = new W;
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QCheckBox* check(const char* name) {
  return named<QCheckBox>(name);
}
QRadioButton* radio(const char* name) {
  return named<QRadioButton>(name);
}
QLabel* label(const char* name) {
  return named<QLabel>(name);
}
QSpinBox* spin(const char* name) {
  return named<QSpinBox>(name);
}

QComboBox* combo(const char* name, int minWidth = 0) {
  auto* c = named<QComboBox>(name);
  if (minWidth) c->setMinimumWidth(minWidth);
  // Wide enough for its longest item, whatever the font: nothing is cut.
  c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return c;
}

QLineEdit* edit(const char* name, int width = 0) {
  auto* e = named<QLineEdit>(name);
  if (width) e->setFixedWidth(width);
  return e;
}

// A caption of our own, which no handler ever changes, beside a field: messages about the field use it.
QLabel* textFor(const QString& s, QWidget* field) {
  field->setProperty(kFieldCaption, s);
  return new QLabel(s);
}

// An edit box whose caption (the control's caption) sits in a label beside it.
QLabel* captionFor(QWidget* buddy) {
  auto* l = new QLabel;
  l->setBuddy(buddy);
  return l;
}

QGroupBox* group(const QString& title) {
  return new QGroupBox(title);
}
QGroupBox* namedGroup(const char* name) {
  return named<QGroupBox>(name);
}

template <class L>
L* tight(L* layout, int spacing = 3) {
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(spacing);
  return layout;
}

QWidget* page(const char* name) {
  auto* p = named<QWidget>(name);
  return p;
}

// ---- pages -------------------------------------------------------------------

struct UartNames {
  const char *use, *rs485, *rsLabel, *rsPort, *rsPin, *baud, *ubrr, *parity, *byteLen, *u2x, *stop2, *rxEn,
      *txEn, *multi, *sync, *edge, *rxInt, *txInt, *udreInt, *terminal;
};

QWidget* uartPage(const char* pageName, const UartNames& n) {
  QWidget* p = page(pageName);
  auto* v = tight(new QVBoxLayout(p), 4);

  auto* head = new QHBoxLayout;
  head->addWidget(check(n.use));
  head->addStretch();
  head->addWidget(named<QPushButton>(n.terminal));
  v->addLayout(head);

  QGroupBox* frame = group(QStringLiteral("波特率与帧格式"));
  auto* g = tight(new QGridLayout(frame));
  QComboBox* baud = combo(n.baud);
  g->addWidget(textFor(QStringLiteral("波特率"), baud), 0, 0);
  g->addWidget(baud, 0, 1);
  QLineEdit* ubrr = edit(n.ubrr);
  g->addWidget(captionFor(ubrr), 0, 2);
  g->addWidget(ubrr, 0, 3);
  QComboBox* parity = combo(n.parity);
  g->addWidget(textFor(QStringLiteral("校验"), parity), 1, 0);
  g->addWidget(parity, 1, 1);
  QComboBox* byteLen = combo(n.byteLen);
  g->addWidget(textFor(QStringLiteral("数据位"), byteLen), 1, 2);
  g->addWidget(byteLen, 1, 3);
  g->addWidget(check(n.u2x), 2, 0, 1, 2);
  g->addWidget(check(n.stop2), 2, 2, 1, 2);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  v->addWidget(frame);

  QGroupBox* control = group(QStringLiteral("收发控制"));
  auto* c = tight(new QGridLayout(control));
  c->addWidget(check(n.rxEn), 0, 0);
  c->addWidget(check(n.txEn), 0, 1);
  c->addWidget(check(n.multi), 1, 0, 1, 2);
  c->addWidget(check(n.sync), 2, 0);
  c->addWidget(check(n.edge), 2, 1);
  v->addWidget(control);

  QGroupBox* ints = group(QStringLiteral("中断"));
  auto* i = tight(new QGridLayout(ints));
  i->addWidget(check(n.rxInt), 0, 0);
  i->addWidget(check(n.txInt), 0, 1);
  i->addWidget(check(n.udreInt), 1, 0, 1, 2);
  v->addWidget(ints);

  QGroupBox* rs485 = group(QStringLiteral("RS485 方向控制"));
  auto* r = tight(new QHBoxLayout(rs485));
  r->addWidget(check(n.rs485));
  r->addStretch();
  r->addWidget(label(n.rsLabel));
  r->addWidget(combo(n.rsPort));
  r->addWidget(spin(n.rsPin));
  v->addWidget(rs485);
  v->addStretch();
  return p;
}

QWidget* spiPage() {
  QWidget* p = page("TabSheetSPI");
  auto* v = tight(new QVBoxLayout(p), 4);
  v->addWidget(check("SPICheck"));

  QGroupBox* regs = group(QStringLiteral("SPI 设置"));
  auto* g = tight(new QGridLayout(regs));
  g->addWidget(check("CheckBox39"), 0, 0);
  g->addWidget(check("CheckBox40"), 0, 1);
  g->addWidget(check("CheckBox41"), 1, 0, 1, 2);
  g->addWidget(check("CheckBox42"), 2, 0, 1, 2);
  g->addWidget(check("CheckBox43"), 3, 0, 1, 2);
  g->addWidget(check("CheckBox45"), 4, 0, 1, 2);
  auto* clock = new QHBoxLayout;
  clock->addWidget(label("Label6"));
  clock->addWidget(combo("ComboBox13"));
  clock->addWidget(check("CheckBox44"));
  clock->addStretch();
  g->addLayout(clock, 5, 0, 1, 2);
  g->addWidget(label("Label15"), 6, 0, 1, 2);
  v->addWidget(regs);

  QGroupBox* apps = namedGroup("GroupBox2");
  auto* a = tight(new QGridLayout(apps));
  const char* names[] = {"DS1302Check", "SDCheck",     "Max7219Check",
                         "MAX538Check", "SpareCheck1", "SpareCheck2"};
  for (int k = 0; k < 6; ++k) a->addWidget(check(names[k]), k / 3, k % 3);
  v->addWidget(apps);
  v->addStretch();
  return p;
}

QWidget* twiPage() {
  QWidget* p = page("TabSheetTWI");
  auto* v = tight(new QVBoxLayout(p), 4);
  v->addWidget(check("TWICheck"));

  QGroupBox* regs = group(QStringLiteral("TWI 设置"));
  auto* g = tight(new QGridLayout(regs));
  g->addWidget(check("CheckBox47"), 0, 0, 1, 2);
  g->addWidget(check("CheckBox48"), 1, 0, 1, 2);
  g->addWidget(check("CheckBox49"), 2, 0, 1, 2);
  g->addWidget(check("CheckBox50"), 3, 0, 1, 2);
  QLineEdit* address = edit("LabeledEdit3", 60);
  g->addWidget(captionFor(address), 4, 0);
  g->addWidget(address, 4, 1, Qt::AlignLeft);
  QLineEdit* factor = edit("LabeledEdit4", 60);
  g->addWidget(captionFor(factor), 5, 0);
  g->addWidget(factor, 5, 1, Qt::AlignLeft);
  g->addWidget(label("Label16"), 6, 0);
  g->addWidget(combo("ComboBox14", 60), 6, 1, Qt::AlignLeft);
  g->addWidget(label("Label17"), 7, 0, 1, 2);
  g->setColumnStretch(1, 1);
  v->addWidget(regs);

  QGroupBox* apps = namedGroup("GroupBox3");
  auto* a = tight(new QGridLayout(apps));
  const char* names[] = {"At24CxxCheck", "SD2000Check",  "DS1307Check",
                         "Zlg7290Check", "TEA5767Check", "CheckBox10"};
  for (int k = 0; k < 6; ++k) a->addWidget(check(names[k]), k / 3, k % 3);
  v->addWidget(apps);
  v->addStretch();
  return p;
}

QWidget* adcPage() {
  QWidget* p = page("TabSheetADC");
  auto* v = tight(new QVBoxLayout(p), 4);
  v->addWidget(check("ADCCheck"));
  auto* g = tight(new QGridLayout);
  g->addWidget(check("CheckBox30"), 0, 0);
  g->addWidget(check("CheckBox31"), 0, 1);
  g->addWidget(check("CheckBox32"), 1, 0);
  g->addWidget(check("CheckBox34"), 1, 1);
  g->addWidget(check("CheckBox35"), 2, 0);
  g->addWidget(check("CheckBox36"), 2, 1);
  g->addWidget(check("CheckBox37"), 3, 0, 1, 2);
  g->addWidget(label("Label11"), 4, 0);
  g->addWidget(combo("ComboBox10"), 4, 1);
  g->addWidget(label("Label12"), 5, 0);
  g->addWidget(combo("ComboBox11"), 5, 1);
  g->addWidget(label("Label13"), 6, 0);
  g->addWidget(combo("ComboBox12"), 6, 1);
  g->addWidget(label("Label21"), 7, 0);
  g->addWidget(combo("ComboBox20"), 7, 1);
  g->addWidget(label("Label14"), 8, 0, 1, 2);
  v->addLayout(g);
  v->addStretch();
  return p;
}

QWidget* acpPage() {
  QWidget* p = page("TabSheetACP");
  auto* v = tight(new QVBoxLayout(p), 4);
  for (const char* n : {"ACPCheck", "CheckBox24", "CheckBox25", "CheckBox26", "CheckBox27"})
    v->addWidget(check(n));
  v->addWidget(label("Label10"));
  v->addWidget(combo("ComboBox9"));
  v->addWidget(check("CheckBox28"));
  v->addStretch();
  return p;
}

// One pin assignment editor: the signal selectors with their pin boxes in
// screen order beside the pin list of the control port.
struct PinRow {
  const char* selector;
  const char* pinBox;
};

QHBoxLayout* pinEditor(std::initializer_list<PinRow> rows, const char* list) {
  auto* h = new QHBoxLayout;
  h->setSpacing(6);
  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  g->setHorizontalSpacing(4);
  int r = 0;
  for (const PinRow& row : rows) {
    g->addWidget(radio(row.selector), r, 0);
    g->addWidget(edit(row.pinBox, 52), r, 1);
    ++r;
  }
  g->setRowStretch(r, 1);
  h->addLayout(g);
  auto* pins = named<QListWidget>(list);
  pins->setFixedWidth(64);
  h->addWidget(pins);
  h->addStretch();
  return h;
}

// Interface, data port and control port of an editor.
QGroupBox* portGroup(const char* groupName, const char* io, const char* dataLabel, const char* data,
                     const char* controlLabel, const char* control) {
  QGroupBox* g = namedGroup(groupName);
  auto* l = tight(new QGridLayout(g));
  l->addWidget(combo(io), 0, 0, 1, 4);
  l->addWidget(label(dataLabel), 1, 0);
  l->addWidget(combo(data), 1, 1);
  l->addWidget(label(controlLabel), 1, 2);
  l->addWidget(combo(control), 1, 3);
  l->setColumnStretch(1, 1);
  l->setColumnStretch(3, 1);
  return g;
}

QWidget* lcdPage() {
  QWidget* p = page("TabSheetLCD");
  auto* v = tight(new QVBoxLayout(p), 4);
  auto* head = new QHBoxLayout;
  head->addWidget(check("LCDCheck"));
  head->addStretch();
  head->addWidget(label("Label18"));
  head->addWidget(combo("ComboBox16", 150));
  v->addLayout(head);
  v->addWidget(portGroup("GroupBox11", "ComboBox15", "Label19", "ComboBox18", "Label20", "ComboBox19"));
  QGroupBox* pins = group(QStringLiteral("控制引脚"));
  // Screen rows: slots 1..5, 7, 8, then slot 6 last.
  pins->setLayout(pinEditor({{"RadioButton1", "Edit1"},
                             {"RadioButton2", "Edit2"},
                             {"RadioButton3", "Edit3"},
                             {"RadioButton7", "Edit7"},
                             {"RadioButton9", "Edit9"},
                             {"RadioButton5", "Edit5"},
                             {"RadioButton6", "Edit6"},
                             {"RadioButton4", "Edit4"}},
                            "ListBox1"));
  tight(pins->layout());
  v->addWidget(pins, 1);
  v->addWidget(check("GUICheck"));
  return p;
}

QWidget* guiPage() {
  QWidget* p = page("TabSheetGUI");
  auto* v = tight(new QVBoxLayout(p), 4);
  QGroupBox* draw = group(QStringLiteral("图形"));
  auto* d = tight(new QGridLayout(draw));
  const char* shapes[] = {"LineCheck", "CircleCheck", "EllipseCheck",
                          "FillCheck", "ArcCheck",    "PiesliceCheck"};
  for (int k = 0; k < 6; ++k) d->addWidget(check(shapes[k]), k / 3, k % 3);
  v->addWidget(draw);
  QGroupBox* widgets = group(QStringLiteral("窗口与菜单"));
  auto* w = tight(new QGridLayout(widgets));
  const char* items[] = {"WindowCheck", "IconCheck", "MenuCheck", "ShowCheck"};
  for (int k = 0; k < 4; ++k) w->addWidget(check(items[k]), k / 3, k % 3);
  QLineEdit* down = edit("DOWNPEdit", 44);
  QLineEdit* up = edit("UPPEdit", 44);
  auto* keys = new QHBoxLayout;
  keys->addWidget(captionFor(down));
  keys->addWidget(down);
  keys->addWidget(captionFor(up));
  keys->addWidget(up);
  keys->addStretch();
  w->addLayout(keys, 2, 0, 1, 3);
  v->addWidget(widgets);
  QGroupBox* fonts = group(QStringLiteral("字库"));
  auto* f = tight(new QGridLayout(fonts));
  const char* fontNames[] = {"Font5x7Check", "Font8x8Check", "Font24x32Check", "ChineseCheck"};
  for (int k = 0; k < 4; ++k) f->addWidget(check(fontNames[k]), k / 2, k % 2);
  v->addWidget(fonts);
  QGroupBox* tests = group(QStringLiteral("演示"));
  auto* t = tight(new QGridLayout(tests));
  const char* testNames[] = {"Test1Check", "Test2Check", "Test3Check", "Test4Check"};
  for (int k = 0; k < 4; ++k) t->addWidget(check(testNames[k]), 0, k);
  v->addWidget(tests);
  v->addStretch();
  return p;
}

QWidget* usbPage() {
  QWidget* p = page("TabSheetUSB");
  auto* v = tight(new QVBoxLayout(p), 4);
  auto* head = new QHBoxLayout;
  head->addWidget(check("USBCheck"));
  head->addStretch();
  head->addWidget(label("Label23"));
  head->addWidget(combo("ComboBox21", 90));
  v->addLayout(head);
  v->addWidget(portGroup("GroupBox16", "ComboBox22", "Label25", "ComboBox23", "Label26", "ComboBox24"));
  QGroupBox* pins = group(QStringLiteral("控制引脚"));
  pins->setLayout(pinEditor({{"RadioButton8", "Edit8"},
                             {"RadioButton10", "Edit10"},
                             {"RadioButton11", "Edit11"},
                             {"RadioButton12", "Edit12"},
                             {"RadioButton13", "Edit13"},
                             {"RadioButton14", "Edit14"}},
                            "ListBox2"));
  tight(pins->layout());
  v->addWidget(pins, 1);
  return p;
}

QWidget* otherPage() {
  QWidget* p = page("TabSheetOther");
  auto* v = tight(new QVBoxLayout(p), 4);
  QGroupBox* oneWire = group(QStringLiteral("1-Wire器件"));
  auto* o = tight(new QGridLayout(oneWire));
  o->addWidget(check("OneWireCheck"), 0, 0);
  o->addWidget(check("DS18B20Check"), 0, 1, 1, 3);
  o->addWidget(label("Label24"), 1, 1);
  o->addWidget(combo("ComboBox17"), 1, 2);
  o->addWidget(spin("SpinEdit1"), 1, 3);
  o->addWidget(check("SpareCheck3"), 2, 1, 1, 3);
  o->setColumnStretch(2, 1);
  v->addWidget(oneWire);

  QGroupBox* mp3 = group(QStringLiteral("MP3 芯片"));
  auto* m = tight(new QVBoxLayout(mp3));
  auto* head = new QGridLayout;
  head->addWidget(check("MP3Check"), 0, 0);
  head->addWidget(label("Label29"), 0, 1);
  head->addWidget(combo("ComboBox29"), 0, 2);
  head->addWidget(label("Label30"), 1, 1);
  head->addWidget(combo("ComboBox30"), 1, 2);
  head->setColumnStretch(2, 1);
  m->addLayout(head);
  m->addLayout(pinEditor({{"RadioButton15", "Edit15"},
                          {"RadioButton16", "Edit16"},
                          {"RadioButton25", "Edit25"},
                          {"RadioButton26", "Edit26"}},
                         "ListBox4"));
  m->addWidget(label("Label31"));
  m->addWidget(label("Label32"));
  v->addWidget(mp3, 1);
  return p;
}

QWidget* internetPage() {
  QWidget* p = page("TabSheetInternet");
  auto* v = tight(new QVBoxLayout(p), 4);
  for (const char* n : {"ComboBox25", "ComboBox26", "ComboBox27", "ComboBox28"}) v->addWidget(combo(n));
  v->addStretch();
  return p;
}

}  // namespace

QFrame* buildProcessorPanel() {
  auto* panel = named<QFrame>("Panel1");
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(2);

  QGroupBox* cpu = namedGroup("GroupBox1");
  auto* g = new QGridLayout(cpu);
  g->setContentsMargins(3, 0, 3, 2);
  g->setSpacing(1);
  QWidget* fields[] = {combo("ComboBox3"), combo("ComboBox2"), combo("ComboBox33"),
                       named<QPushButton>("Button3")};
  const char* captions[] = {"Label5", "Label1", "Label2", "Label3"};
  for (int row = 0; row < 4; ++row) {
    fields[row]->setFixedHeight(22);  // four rows, the preview and the buttons share 425 pixels
    QLabel* caption = label(captions[row]);
    caption->setBuddy(fields[row]);  // names the field in messages
    g->addWidget(caption, row, 0);
    g->addWidget(fields[row], row, 1, row == 3 ? Qt::AlignLeft : Qt::Alignment());
  }
  g->setColumnStretch(1, 1);
  v->addWidget(cpu);

  // The notice lies under the bottom of the preview pane; the update check
  // shortens the pane to uncover it.
  auto* previewArea = new QWidget;
  previewArea->setFixedHeight(257);
  auto* stack = new QGridLayout(previewArea);
  stack->setContentsMargins(0, 0, 0, 0);
  auto* notice = label("Label22");
  // One line in the strip the shortened pane leaves.
  QFont small = notice->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  notice->setFont(small);
  stack->addWidget(notice, 0, 0, Qt::AlignBottom);
  auto* memo = named<QPlainTextEdit>("Memo1");
  memo->setReadOnly(true);
  // Code reads best unwrapped, with both scroll bars always there.
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setFont(QFont(QStringLiteral("Monospace"), 8));
  stack->addWidget(memo, 0, 0, Qt::AlignTop);
  memo->raise();
  v->addWidget(previewArea);

  auto* buttons = new QGridLayout;
  buttons->setSpacing(2);
  const char* mainButtons[] = {"BitBtn5", "BitBtn6", "BitBtn1", "BitBtn2"};
  for (int k = 0; k < 4; ++k) {
    auto* b = named<QPushButton>(mainButtons[k]);
    b->setFixedHeight(22);
    buttons->addWidget(b, k / 2, k % 2);
  }
  // Never enabled and never shown; kept because the window has them.
  for (const char* n : {"BitBtn3", "BitBtn4", "BitBtn7"}) {
    auto* b = named<QPushButton>(n);
    b->hide();
    buttons->addWidget(b, 2, 0);
  }
  v->addLayout(buttons);
  v->addStretch();
  return panel;
}

QTabWidget* buildPageControl() {
  auto* tabs = named<QTabWidget>("PageControl1");
  tabs->setUsesScrollButtons(true);
  // Narrow tabs: with both UARTs and the GUI page up, all eight still show.
  tabs->setStyleSheet(
      QStringLiteral("QTabBar::tab { padding: 3px 4px; }"
                     "QTabBar::tab:selected { background: #ffffff; font-weight: bold; }"));
  tabs->setElideMode(Qt::ElideNone);
  tabs->addTab(
      uartPage("TabSheetUART0", {"UART0Check", "RS485Check0",  "Label33",    "ComboBox31", "SpinEdit2",
                                 "ComboBox1",  "LabeledEdit1", "ComboBox5",  "ComboBox4",  "CheckBox1",
                                 "CheckBox2",  "CheckBox5",    "CheckBox7",  "CheckBox6",  "CheckBox21",
                                 "CheckBox4",  "CheckBox9",    "CheckBox11", "CheckBox8",  "Button1"}),
      QString());
  tabs->addTab(
      uartPage("TabSheetUART1", {"UART1Check", "RS485Check1",  "Label34",    "ComboBox32", "SpinEdit3",
                                 "ComboBox6",  "LabeledEdit2", "ComboBox8",  "ComboBox7",  "CheckBox13",
                                 "CheckBox12", "CheckBox14",   "CheckBox16", "CheckBox15", "CheckBox22",
                                 "CheckBox20", "CheckBox18",   "CheckBox19", "CheckBox17", "Button2"}),
      QString());
  tabs->addTab(spiPage(), QString());
  tabs->addTab(twiPage(), QString());
  tabs->addTab(adcPage(), QString());
  tabs->addTab(acpPage(), QString());
  for (const char* t : {"TabSheetTIMER0", "TabSheetTIMER1", "TabSheetTIMER2", "TabSheetTIMER3"}) {
    tabs->addTab(page(t), QString());
  }
  tabs->addTab(lcdPage(), QString());
  tabs->addTab(guiPage(), QString());
  tabs->addTab(usbPage(), QString());
  tabs->addTab(otherPage(), QString());
  tabs->addTab(internetPage(), QString());
  return tabs;
}

}  // namespace tamberlo::gui
