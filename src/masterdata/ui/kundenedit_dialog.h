// "Adressdaten ändern": every field of an address, the delivery address
// behind "Lieferadr.". Edits a copy; "Übernehmen" closes only when name line
// 2 is free (a new "Meier" first gets blanks appended and a free customer
// number), and the caller stores the address it hands back.
#ifndef BELVON_MASTERDATA_UI_KUNDENEDIT_DIALOG_H
#define BELVON_MASTERDATA_UI_KUNDENEDIT_DIALOG_H

#include <QDialog>
#include <string>

#include "store/app_state.h"
#include "store/address_record.h"

namespace masterdata {

class KundenEditDialog : public QDialog {
  Q_OBJECT

 public:
  KundenEditDialog(frame::AppState& app, const store::AddressRecord& address, bool isNew,
                   QWidget* parent = nullptr);
  const store::AddressRecord& address() const { return address_; }
  // "Leitweg-ID" of a public-sector customer; not part of the record (see
  // store/leitweg_ids.h). UTF-8.
  void setLeitwegId(const std::string& id);
  const std::string& leitwegId() const { return leitwegId_; }

 public slots:
  void command(int id);

 private:
  void takeOver();

  frame::AppState& app_;
  store::AddressRecord address_;
  bool isNew_;
  std::string leitwegId_;
};

// "Lieferadresse ändern": the seven delivery-address lines of an address.
class KundenEdit2Dialog : public QDialog {
  Q_OBJECT

 public:
  KundenEdit2Dialog(const store::AddressRecord& address, QWidget* parent = nullptr);
  const store::AddressRecord& address() const { return address_; }

 public slots:
  void command(int id);

 private:
  store::AddressRecord address_;
};

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_KUNDENEDIT_DIALOG_H
