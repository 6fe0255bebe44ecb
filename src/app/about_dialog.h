// "Über Belvon".
#ifndef BELVON_APP_ABOUT_DIALOG_H
#define BELVON_APP_ABOUT_DIALOG_H

#include <QDialog>

namespace frame {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
 public slots:
  void command(int id);
};

}  // namespace frame

#endif  // BELVON_APP_ABOUT_DIALOG_H
