// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The register view: a small tool window beside the editor listing the
// register bytes of the current page, bit by bit, with the rates they give,
// and on a second tab the fuses for the chip and crystal. It shows what
// registerViewFor and fuseViewFor compute; it decides nothing itself.
#include <QWidget>

#include "registers/register_view.h"

class QLabel;
class QTabWidget;
class QTableWidget;

namespace tamberlo::gui {

class RegisterViewWindow : public QWidget {
  Q_OBJECT
 public:
  explicit RegisterViewWindow(QWidget* owner);

  void display(const RegisterView& view);
  void displayFuses(const RegisterView& fuses);
  // Beside the owner, both inside the owner's screen: the owner moves aside
  // when the screen is too narrow for the two side by side.
  void placeBesideOwner();

  const RegisterView& shown() const { return view_; }
  QTableWidget* table() const { return table_; }
  QLabel* notes() const { return notes_; }
  const RegisterView& shownFuses() const { return fuses_; }
  QTableWidget* fuseTable() const { return fuseTable_; }

 Q_SIGNALS:
  // The user closed the window with its close button.
  void closedByUser();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* owner_;
  QTabWidget* tabs_;
  QLabel* title_;
  QTableWidget* table_;
  QLabel* notes_;
  RegisterView view_;
  QLabel* fuseTitle_;
  QTableWidget* fuseTable_;
  QLabel* fuseNotes_;
  RegisterView fuses_;
};

}  // namespace tamberlo::gui
