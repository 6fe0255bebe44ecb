// "Adressen auswählen" (dialog mode 15) and "Adresse suchen" (dialog mode
// 13): the address criteria. Edits a copy; the caller runs the scan.
#ifndef BELVON_MASTERDATA_UI_KUNDENAUSWAHL_DIALOG_H
#define BELVON_MASTERDATA_UI_KUNDENAUSWAHL_DIALOG_H

#include <QDialog>

#include "store/app_state.h"
#include "store/address_record.h"

namespace masterdata {

inline constexpr int kSelectionMode = 15;
inline constexpr int kSearchMode = 13;

class KundenAuswahlDialog : public QDialog {
  Q_OBJECT

 public:
  KundenAuswahlDialog(const store::AddressRecord& criteria, int mode, QWidget* parent = nullptr);
  const store::AddressRecord& criteria() const { return criteria_; }

 public slots:
  void command(int id);

 private:
  store::AddressRecord criteria_;
  int mode_;
};

// "Adresse suchen" on cleared criteria: true with the search stored in the
// address criteria, false (criteria as they were) when it was cancelled.
bool AskAddressSearch(frame::AppState& app, QWidget* parent);

// "Bemerkungstext für Adresse": the remark of an address.
class LangtextDialog : public QDialog {
  Q_OBJECT

 public:
  explicit LangtextDialog(const store::AddressRecord& address, QWidget* parent = nullptr);
  const store::AddressRecord& address() const { return address_; }

 public slots:
  void command(int id);

 private:
  store::AddressRecord address_;
};

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_KUNDENAUSWAHL_DIALOG_H
