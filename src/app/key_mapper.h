// The fixed keyboard mapping of the program, watched over the whole
// application: function keys, Alt+letters and, at the cash desk, Tab and
// Enter send commands to the panes; Ctrl+E types the digit 7. Keys typed
// into a modal dialog are left alone.
#ifndef BELVON_APP_KEY_MAPPER_H
#define BELVON_APP_KEY_MAPPER_H

#include <QObject>

namespace frame {

class MainWindow;

class KeyMapper : public QObject {
  Q_OBJECT

 public:
  explicit KeyMapper(MainWindow& window);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool handleKey(int key, Qt::KeyboardModifiers modifiers, bool dispatch);
  MainWindow& window_;
};

}  // namespace frame

#endif  // BELVON_APP_KEY_MAPPER_H
