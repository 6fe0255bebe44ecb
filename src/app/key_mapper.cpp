#include "app/key_mapper.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "app/main_window.h"
#include "widgets/pane.h"

namespace frame {

namespace {

struct Target {
  PaneSlot pane;
  int id;
};

// Alt+letter: the cash-desk column, then the standard one (-1 = nothing).
bool AltLetter(int key, bool cashDesk, Target& target) {
  switch (key) {
    case Qt::Key_B: target = {PaneSlot::CashDesk, 2070}; return cashDesk;
    case Qt::Key_D: target = {PaneSlot::Order, 2076}; return true;
    case Qt::Key_E: target = {PaneSlot::CashDesk, 2068}; return cashDesk;
    case Qt::Key_H: target = {PaneSlot::CashDesk, 2066}; return cashDesk;
    case Qt::Key_N: target = {PaneSlot::Order, 2062}; return true;
    case Qt::Key_R: target = {PaneSlot::CashDesk, 2076}; return cashDesk;
    case Qt::Key_S:
      target = cashDesk ? Target{PaneSlot::CashDesk, 2025} : Target{PaneSlot::Order, 2070};
      return true;
    case Qt::Key_U: target = {PaneSlot::Order, 2080}; return true;
    default: return false;
  }
}

bool PlainKey(int key, bool cashDesk, bool restricted, Target& target) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: target = {PaneSlot::CashDesk, 20}; return cashDesk;
    case Qt::Key_Return:
    case Qt::Key_Enter: target = {PaneSlot::CashDesk, 2079}; return cashDesk;
    case Qt::Key_F1: target = {PaneSlot::Address, 1030}; return true;
    case Qt::Key_F2: target = {PaneSlot::Address, 1025}; return !restricted;
    case Qt::Key_F3: target = {PaneSlot::Address, 1022}; return true;
    case Qt::Key_F4: target = {PaneSlot::Address, 1012}; return true;
    case Qt::Key_F5: target = {PaneSlot::Article, 2025}; return true;
    case Qt::Key_F6: target = {PaneSlot::Article, 2026}; return !restricted;
    case Qt::Key_F7: target = {PaneSlot::Article, 2023}; return true;
    case Qt::Key_F8: target = {PaneSlot::Article, 2024}; return true;
    case Qt::Key_F9: target = {PaneSlot::Order, 2080}; return true;
    case Qt::Key_F11: target = {PaneSlot::Order, 2073}; return true;
    case Qt::Key_F12: target = {PaneSlot::Order, 2074}; return true;
    default: return false;
  }
}

}  // namespace

KeyMapper::KeyMapper(MainWindow& window) : QObject(&window), window_(window) {}

bool KeyMapper::handleKey(int key, Qt::KeyboardModifiers modifiers, bool dispatch) {
  const bool cashDesk = window_.state().cashDeskMode != 0;
  const bool restricted = window_.state().restrictedMode != 0;
  const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
  Target target{};
  bool mapped = false;
  // As with the keyboard messages the program always had: Alt makes a
  // system key (Shift may be held with it), anything else is the plain key.
  if (mods & Qt::AltModifier) {
    if (!(mods & Qt::ControlModifier)) mapped = AltLetter(key, cashDesk, target);
  } else {
    mapped = PlainKey(key, cashDesk, restricted, target);
  }
  if (mapped && dispatch) window_.sendToPane(target.pane, target.id);
  // F2 and F6 in restricted mode, and keys of the other interface, send
  // nothing but are still swallowed where the mapping claims them.
  if (!mapped && !(mods & Qt::AltModifier) && (key == Qt::Key_F2 || key == Qt::Key_F6)) return true;
  return mapped;
}

bool KeyMapper::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
    return false;
  if (QApplication::activeModalWidget()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;

  // Ctrl+E types the digit 7 into the focused field.
  if (key->key() == Qt::Key_E && mods == Qt::ControlModifier) {
    if (type == QEvent::ShortcutOverride) {
      event->accept();
      return true;
    }
    QKeyEvent seven(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    QApplication::sendEvent(watched, &seven);
    return true;
  }

  // The accelerators Ctrl+N and Ctrl+Z come before the edit fields of the
  // panes: left unaccepted here, the override never reaches the field (which
  // would take Ctrl+Z as undo) and the main window's shortcut fires.
  if (type == QEvent::ShortcutOverride && mods == Qt::ControlModifier &&
      (key->key() == Qt::Key_N || key->key() == Qt::Key_Z) &&
      static_cast<QWidget*>(watched)->window() == &window_)
    return true;

  if (type == QEvent::ShortcutOverride) {
    // Claim the key, so that no menu mnemonic takes it before the mapping.
    if (!handleKey(key->key(), key->modifiers(), false)) return false;
    event->accept();
    return true;
  }
  return handleKey(key->key(), key->modifiers(), true);
}

}  // namespace frame
