// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/model_binder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <stdexcept>

namespace tamberlo::gui {
namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

QStringList qList(const std::vector<std::string>& items) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& s : items) out << q(s);
  return out;
}

QColor colorOf(const std::string& name) {
  if (name == "teal") return QColor(0, 128, 128);
  if (name == "blue") return QColor(0, 0, 255);
  if (name == "red") return QColor(255, 0, 0);
  QColor c(q(name));
  return c.isValid() ? c : QColor(Qt::black);
}

// The property that marks a list box whose current row was moved by the
// mouse press now in progress (and already forwarded).
constexpr const char* kRowMoved = "tamberloRowMovedByPress";
// The colour last taken from the model, so a hover colour is left alone.
constexpr const char* kModelColor = "tamberloModelColor";

QTabWidget* tabWidgetOf(QWidget* page) {
  for (QWidget* p = page->parentWidget(); p; p = p->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(p)) return tabs;
  }
  return nullptr;
}

void setTextIfChanged(QAbstractButton* b, const std::string& caption) {
  if (b->text() != q(caption)) b->setText(q(caption));
}

// ---- per-class tables: how a widget class shows a control and which of its
// signals are user actions ---------------------------------------------------

using Apply = void (*)(QWidget*, const Control&);
using Connect = void (*)(ModelBinder&, EditorModel&, QWidget*, const std::string&);

struct WidgetClass {
  const QMetaObject* meta;
  Apply apply;
  Connect connect;
};

void applyCheck(QWidget* w, const Control& c) {
  auto* b = static_cast<QAbstractButton*>(w);
  setTextIfChanged(b, c.caption);
  if (b->isChecked() != c.checked) b->setChecked(c.checked);
}

void connectClick(ModelBinder& binder, EditorModel& m, QWidget* w, const std::string& name) {
  QObject::connect(static_cast<QAbstractButton*>(w), &QAbstractButton::clicked, &binder,
                   [&binder, &m, name] { binder.act(q(name), [&m, name] { m.userClick(name); }); });
}

void applyButton(QWidget* w, const Control& c) {
  setTextIfChanged(static_cast<QAbstractButton*>(w), c.caption);
}

void applyCombo(QWidget* w, const Control& c) {
  auto* box = static_cast<QComboBox*>(w);
  QStringList items = qList(c.items);
  bool same = box->count() == items.size();
  for (int i = 0; same && i < box->count(); ++i) same = box->itemText(i) == items[i];
  if (!same) {
    box->clear();
    box->addItems(items);
  }
  const QString text = q(c.text);
  QLineEdit* edit = box->lineEdit();
  const int cursor = edit ? edit->cursorPosition() : 0;
  if (box->currentIndex() != c.itemIndex) box->setCurrentIndex(c.itemIndex);
  if (box->currentText() != text) {
    if (edit) {
      box->setEditText(text);
      edit->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
    }
  }
}

void connectTyping(ModelBinder& binder, EditorModel& m, QLineEdit* edit, const std::string& name) {
  QObject::connect(edit, &QLineEdit::textEdited, &binder, [&binder, &m, name](const QString& text) {
    binder.actTyping(name, [&m, name, text] { m.userType(name, text.toStdString()); });
  });
  // Finished by Enter or by leaving the field: report after the focus change
  // has settled, not inside it.
  QObject::connect(edit, &QLineEdit::editingFinished, &binder, [&binder, name] {
    QTimer::singleShot(0, &binder, [&binder, name] { binder.finishEntry(name); });
  });
}

void connectCombo(ModelBinder& binder, EditorModel& m, QWidget* w, const std::string& name) {
  auto* box = static_cast<QComboBox*>(w);
  QObject::connect(box, &QComboBox::activated, &binder, [&binder, &m, name](int index) {
    binder.act(q(name), [&m, name, index] { m.userSelect(name, index); });
  });
  if (QLineEdit* edit = box->lineEdit()) connectTyping(binder, m, edit, name);
}

void applyEdit(QWidget* w, const Control& c) {
  auto* e = static_cast<QLineEdit*>(w);
  if (e->text() != q(c.text)) e->setText(q(c.text));
  if (e->isReadOnly() != c.readOnly) e->setReadOnly(c.readOnly);
}

void connectEdit(ModelBinder& binder, EditorModel& m, QWidget* w, const std::string& name) {
  connectTyping(binder, m, static_cast<QLineEdit*>(w), name);
}

void applySpin(QWidget* w, const Control& c) {
  auto* s = static_cast<QSpinBox*>(w);
  if (s->minimum() != c.minValue || s->maximum() != c.maxValue) s->setRange(c.minValue, c.maxValue);
  if (s->value() != c.value) s->setValue(c.value);
}

// A spin box has no user-only signal; refreshes block its signals, so what
// arrives here is the user's.
void connectSpin(ModelBinder& binder, EditorModel& m, QWidget* w, const std::string& name) {
  QObject::connect(static_cast<QSpinBox*>(w), &QSpinBox::valueChanged, &binder,
                   [&binder, &m, name](int value) {
                     binder.act(q(name), [&m, name, value] { m.userSetValue(name, value); });
                   });
}

void applyList(QWidget* w, const Control& c) {
  auto* list = static_cast<QListWidget*>(w);
  QStringList items = qList(c.items);
  bool same = list->count() == items.size();
  for (int i = 0; same && i < list->count(); ++i) same = list->item(i)->text() == items[i];
  if (!same) {
    list->clear();
    list->addItems(items);
  }
  if (list->currentRow() != c.itemIndex) list->setCurrentRow(c.itemIndex);
}

// The user picks a pin with the mouse or the arrow keys; clicking the entry
// that is already current must pick it again (for another signal), so
// clicks count too, but not a second time for the press that moved the row.
void connectList(ModelBinder& binder, EditorModel& m, QWidget* w, const std::string& name) {
  auto* list = static_cast<QListWidget*>(w);
  QObject::connect(list, &QListWidget::currentRowChanged, &binder, [&binder, &m, list, name](int row) {
    if (row < 0) return;
    list->setProperty(kRowMoved, true);
    binder.act(q(name), [&m, name, row] { m.userSelect(name, row); });
  });
  QObject::connect(list, &QListWidget::itemClicked, &binder,
                   [&binder, &m, list, name](QListWidgetItem* item) {
                     if (list->property(kRowMoved).toBool()) {
                       list->setProperty(kRowMoved, false);
                       return;
                     }
                     int row = list->row(item);
                     binder.act(q(name), [&m, name, row] { m.userSelect(name, row); });
                   });
  list->viewport()->installEventFilter(&binder);
}

void applyMemo(QWidget* w, const Control& c) {
  auto* memo = static_cast<QPlainTextEdit*>(w);
  if (memo->toPlainText() != q(c.text)) memo->setPlainText(q(c.text));
  if (c.value > 0 && memo->maximumHeight() != c.value) memo->setFixedHeight(c.value);
}

void applyGroup(QWidget* w, const Control& c) {
  auto* g = static_cast<QGroupBox*>(w);
  if (g->title() != q(c.caption)) g->setTitle(q(c.caption));
}

void applyLabel(QWidget* w, const Control& c) {
  auto* l = static_cast<QLabel*>(w);
  if (l->text() != q(c.caption)) l->setText(q(c.caption));
}

void connectLabel(ModelBinder& binder, EditorModel&, QWidget* w, const std::string&) {
  w->installEventFilter(&binder);
}

void applyTabs(QWidget* w, const Control& c) {
  auto* tabs = static_cast<QTabWidget*>(w);
  if (tabs->currentIndex() != c.value && tabs->isTabVisible(c.value)) tabs->setCurrentIndex(c.value);
}

void connectTabs(ModelBinder& binder, EditorModel& m, QWidget* w, const std::string& name) {
  QObject::connect(
      static_cast<QTabWidget*>(w), &QTabWidget::currentChanged, &binder,
      [&binder, &m, name](int index) { binder.act(q(name), [&m, index] { m.userSelectPage(index); }); });
}

// Panels: the status pane is a label (above); the left panel only has a height.
void applyFrame(QWidget* w, const Control& c) {
  if (c.value > 0 && w->maximumHeight() != c.value) w->setFixedHeight(c.value);
}

// Windows and pages.
void applyWidget(QWidget* w, const Control& c) {
  if (c.kind == ControlKind::Form) {
    if (w->windowTitle() != q(c.caption)) w->setWindowTitle(q(c.caption));
    return;
  }
  if (c.kind != ControlKind::Page) return;
  QTabWidget* tabs = tabWidgetOf(w);
  if (!tabs) return;
  int index = tabs->indexOf(w);
  if (tabs->tabText(index) != q(c.caption)) tabs->setTabText(index, q(c.caption));
  if (tabs->isTabVisible(index) != c.visible) {
    QSignalBlocker block(tabs);
    tabs->setTabVisible(index, c.visible);
  }
}

void connectNothing(ModelBinder&, EditorModel&, QWidget*, const std::string&) {}

// Most derived classes first: the first entry the widget inherits is used.
const WidgetClass kClasses[] = {
    {&QTabWidget::staticMetaObject, applyTabs, connectTabs},
    {&QCheckBox::staticMetaObject, applyCheck, connectClick},
    {&QRadioButton::staticMetaObject, applyCheck, connectClick},
    {&QPushButton::staticMetaObject, applyButton, connectClick},
    {&QComboBox::staticMetaObject, applyCombo, connectCombo},
    {&QLineEdit::staticMetaObject, applyEdit, connectEdit},
    {&QSpinBox::staticMetaObject, applySpin, connectSpin},
    {&QListWidget::staticMetaObject, applyList, connectList},
    {&QPlainTextEdit::staticMetaObject, applyMemo, connectNothing},
    {&QGroupBox::staticMetaObject, applyGroup, connectNothing},
    {&QLabel::staticMetaObject, applyLabel, connectLabel},
    {&QFrame::staticMetaObject, applyFrame, connectNothing},
    {&QWidget::staticMetaObject, applyWidget, connectNothing},
};

const WidgetClass& classOf(const QWidget* w) {
  for (const WidgetClass& wc : kClasses) {
    if (wc.meta->cast(const_cast<QWidget*>(w))) return wc;
  }
  return kClasses[std::size(kClasses) - 1];
}

}  // namespace

ModelBinder::ModelBinder(EditorModel& model, QWidget* root, ErrorSink errorSink)
    : QObject(root), model_(model), errorSink_(std::move(errorSink)) {
  bind(root);
  for (QWidget* w : root->findChildren<QWidget*>()) bind(w);
  // Labelled edit boxes show their control's caption in their buddy label.
  for (QLabel* label : root->findChildren<QLabel*>()) {
    if (!label->buddy() || !label->objectName().isEmpty()) continue;
    auto it = bindings_.find(label->buddy()->objectName().toStdString());
    if (it != bindings_.end()) it->second.buddy = label;
  }
  refresh();
}

void ModelBinder::bind(QWidget* w) {
  const QString name = w->objectName();
  if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) return;
  // The tab bar's scroll arrows are Qt's own too.
  for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    if (qobject_cast<QTabBar*>(p)) return;
  }
  const std::string key = name.toStdString();
  if (!model_.has(key)) {
    strangers_ << name;
    return;
  }
  bindings_[key].widget = w;
  const Control& c = model_.ctl(key);
  if (auto* radio = qobject_cast<QRadioButton*>(w)) radio->setAutoExclusive(false);  // the model decides
  if (auto* box = qobject_cast<QComboBox*>(w)) {
    box->setEditable(true);  // every selection box takes typed text as well
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);  // completion would change the text behind the model's back
  }
  // Labels and panels only react to the mouse when they have a handler (the link).
  if ((c.kind == ControlKind::Label || c.kind == ControlKind::Panel) && c.handler.empty()) return;
  classOf(w).connect(*this, model_, w, key);
}

void ModelBinder::apply(Binding& b, const Control& c) {
  QWidget* w = b.widget;
  if (!w) return;
  QSignalBlocker block(w);
  if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit()) {
    QSignalBlocker blockEdit(box->lineEdit());
    classOf(w).apply(w, c);
  } else {
    classOf(w).apply(w, c);
  }
  if (c.kind != ControlKind::Form && c.kind != ControlKind::Page) {
    if (w->testAttribute(Qt::WA_Disabled) == c.enabled) w->setEnabled(c.enabled);
    if (w->isHidden() == c.visible) w->setHidden(!c.visible);
  }
  const QString tip = q(!c.enabled && !c.disabledHint.empty() ? c.disabledHint : c.hint);
  if (w->toolTip() != tip) w->setToolTip(tip);
  if (w->property(kModelColor).toString() != q(c.color) && (!c.color.empty() || w->property(kModelColor).isValid())) {
    w->setProperty(kModelColor, q(c.color));
    QPalette p = w->palette();
    // An edit box's text takes the Text role (a pin box red with a conflict).
    const auto role = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w)
                          ? QPalette::Text
                          : QPalette::WindowText;
    p.setColor(role, c.color.empty() ? QApplication::palette(w).color(role) : colorOf(c.color));
    w->setPalette(p);
    if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit()) box->lineEdit()->setPalette(p);
  }
  if (b.buddy) {
    if (b.buddy->text() != q(c.caption)) b.buddy->setText(q(c.caption));
    if (b.buddy->isEnabled() != c.enabled) b.buddy->setEnabled(c.enabled);
  }
}

void ModelBinder::refresh() {
  refreshing_ = true;
  const Control* pages = nullptr;
  for (const Control& c : model_.controls()) {
    if (c.kind == ControlKind::PageControl) {
      pages = &c;  // after the pages, so a page just shown can be made current
      continue;
    }
    auto it = bindings_.find(c.name);
    if (it != bindings_.end()) apply(it->second, c);
  }
  if (pages) {
    auto it = bindings_.find(pages->name);
    if (it != bindings_.end()) apply(it->second, *pages);
    // Hiding the active page makes the tab widget show another one; the code
    // preview must follow the page the user sees.
    if (auto* tabs = qobject_cast<QTabWidget*>(widget(pages->name));
        tabs && tabs->currentIndex() != pages->value) {
      model_.userSelectPage(tabs->currentIndex());
    }
  }
  refreshing_ = false;
  if (afterRefresh_) afterRefresh_();
}

void ModelBinder::refresh(const std::string& controlName) {
  auto it = bindings_.find(controlName);
  if (it == bindings_.end()) return;
  refreshing_ = true;
  apply(it->second, model_.ctl(controlName));
  refreshing_ = false;
}

void ModelBinder::act(const QString& action, const std::function<void()>& operation) {
  if (refreshing_) return;
  try {
    operation();
    // A choice from the list mends a refused typed text.
    const bool held = pendingErrors_.erase(action.toStdString()) > 0;
    if (refusedTexts_.erase(action.toStdString()) > 0 || held) markField(action.toStdString(), false);
  } catch (const std::exception& e) {
    // The window first shows where the handler stopped, then why.
    refresh();
    if (errorSink_) errorSink_(action, e);
  }
  refresh();
  dropMendedErrors();
}

// A refused text stays red in its field until the field shows another text:
// a valid choice, a loaded file or any other action that rewrote the field
// ends the red (and a held message about the text it was about).
void ModelBinder::dropMendedErrors() {
  for (auto it = refusedTexts_.begin(); it != refusedTexts_.end();) {
    QWidget* w = widget(it->first);
    QLineEdit* edit = qobject_cast<QLineEdit*>(w);
    if (auto* box = qobject_cast<QComboBox*>(w)) edit = box->lineEdit();
    if (!edit || edit->text() != it->second) {
      markField(it->first, false);
      pendingErrors_.erase(it->first);
      it = refusedTexts_.erase(it);
    } else {
      ++it;
    }
  }
}

void ModelBinder::actTyping(const std::string& controlName, const std::function<void()>& operation) {
  if (refreshing_) return;
  try {
    operation();
    pendingErrors_.erase(controlName);
    refusedTexts_.erase(controlName);
    markField(controlName, false);
  } catch (const std::exception& e) {
    pendingErrors_[controlName] = QString::fromUtf8(e.what());
    markField(controlName, true);
    // A text refused before it reached the control (a control character, a
    // trailing backslash) stays in the box as typed, in red, like a text its
    // handler refused; the control keeps its value.
    QWidget* w = widget(controlName);
    QLineEdit* edit = qobject_cast<QLineEdit*>(w);
    if (auto* box = qobject_cast<QComboBox*>(w)) edit = box->lineEdit();
    const QString typed = edit ? edit->text() : QString();
    const int cursor = edit ? edit->cursorPosition() : 0;
    refusedTexts_[controlName] = typed;
    refresh();
    if (edit && edit->text() != typed) {
      QSignalBlocker block(edit);
      edit->setText(typed);
      edit->setCursorPosition(cursor);
    }
    return;
  }
  refresh();
}

QString ModelBinder::pendingError(const std::string& controlName) const {
  auto it = pendingErrors_.find(controlName);
  return it == pendingErrors_.end() ? QString() : it->second;
}

void ModelBinder::finishEntry(const std::string& controlName) {
  auto it = pendingErrors_.find(controlName);
  if (it == pendingErrors_.end()) return;
  const std::runtime_error error(it->second.toStdString());
  pendingErrors_.erase(it);
  if (errorSink_) errorSink_(q(controlName), error);
}

// A field whose text its handler refused shows it in red.
void ModelBinder::markField(const std::string& controlName, bool failed) {
  QWidget* w = widget(controlName);
  const QString model = w ? w->property(kModelColor).toString() : QString();
  if (auto* box = qobject_cast<QComboBox*>(w)) w = box->lineEdit();
  if (!w) return;
  QPalette p = w->palette();
  // Back to the model's colour (a conflict's red) or the normal one.
  const QColor normal =
      model.isEmpty() ? QApplication::palette(w).color(QPalette::Text) : colorOf(model.toStdString());
  p.setColor(QPalette::Text, failed ? QColor(Qt::red) : normal);
  w->setPalette(p);
}

QWidget* ModelBinder::widget(const std::string& controlName) const {
  auto it = bindings_.find(controlName);
  return it == bindings_.end() ? nullptr : it->second.widget.data();
}

QStringList ModelBinder::widgetsWithoutControl() const {
  return strangers_;
}

QStringList ModelBinder::controlsWithoutWidget() const {
  QStringList out;
  for (const Control& c : model_.controls()) {
    if (!bindings_.count(c.name)) out << q(c.name);
  }
  return out;
}

bool ModelBinder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    // A press on a list box's entries: a row change it causes is forwarded
    // by currentRowChanged; forget any earlier keyboard move.
    if (auto* list = qobject_cast<QListWidget*>(watched->parent())) list->setProperty(kRowMoved, false);
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    if (auto* label = qobject_cast<QLabel*>(watched); label && label->isEnabled()) {
      const std::string name = label->objectName().toStdString();
      act(label->objectName(), [this, name] { model_.userClick(name); });
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tamberlo::gui
