// The one field transfer between an AddressRecord and the controls of the
// address dialogs and the address pane. Controls are found by their id; a
// control that a dialog lacks is skipped.
#ifndef BELVON_MASTERDATA_UI_ADDRESS_FIELDS_H
#define BELVON_MASTERDATA_UI_ADDRESS_FIELDS_H

#include <QString>
#include <QWidget>

#include "core/figures.h"
#include "widgets/field_text.h"
#include "core/user_interface.h"
#include "store/address_record.h"
#include "store/parameter_record.h"

namespace masterdata {

// Control ids of the address fields.
namespace id {
inline constexpr int kCustomerNumber = 2129, kName1 = 1029, kName2 = 1000, kName3 = 1003,
                     kStreet = 1001, kTown = 1002, kPhone = 1004, kMobile = 1014, kFax = 1011,
                     kEmail = 1016, kRemark = 1020, kVatId = 1078, kDispatch = 1031,
                     kAppointment = 1024, kFirstContact = 1026, kLastOrder = 1028,
                     kCashDiscount = 1018, kPaymentPeriod = 1017, kCashDiscountPeriod = 1019,
                     kTurnover = 1021, kCopies = 1023, kNoDunning = 1005, kDiscountSum = 1013,
                     kSendXRechnung = 1040;
inline constexpr int kKinds[] = {1033, 1034, 1036, 1038};        // 1, 2, 4, 8
inline constexpr int kSalutations[] = {1006, 1007, 1008, 1009, 1010};  // 1, 2, 4, 8, 0
inline constexpr int kCurrencies[] = {1075, 1076, 1077};
inline constexpr int kDelivery[] = {2200, 2201, 2202, 2205, 2207, 2208, 2210};
// Not in the record: kept in LEITWEG.INI by customer number.
inline constexpr int kLeitwegId = 2243;
}  // namespace id

// The longest Leitweg-ID: 46 characters.
inline constexpr int kLeitwegIdLimit = 46;

// The limit (characters) of a text control, 0 for controls that are no text.
int AddressFieldLimit(int controlId);

// Builds a line edit (or, for the remark, a multi-line field) for the control.
QWidget* MakeAddressField(QWidget* parent, int controlId);

// Fills the controls under `root` from the address, the figures in
// `style`; the currency buttons carry the symbols of currencies 1-3.
void ShowAddress(QWidget* root, const store::AddressRecord& address,
                 const store::ParameterRecord& parameters,
                 frame::FigureStyle style = frame::FigureStyle::Point);

// Stores the controls under `root` into the address. False, with nothing
// taken, when a number field holds no number (the user was told, through
// `ui` when given).
bool TakeAddress(QWidget* root, store::AddressRecord& address, frame::FieldWriter& writer,
                 frame::UserInterface* ui = nullptr);

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_ADDRESS_FIELDS_H
