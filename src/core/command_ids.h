// The numbers of the menu commands and of the pane commands that the key
// mapping sends. Buttons, menu entries, accelerators and keys all end in a
// command(id) call with one of these.
#ifndef BELVON_CORE_COMMAND_IDS_H
#define BELVON_CORE_COMMAND_IDS_H

namespace frame::cmd {

// Main window menu.
inline constexpr int kAbout = 100;
inline constexpr int kQuit = 101;
inline constexpr int kMasterData = 102;
inline constexpr int kTextEditor = 103;
inline constexpr int kPrinterSetup = 104;
inline constexpr int kCurrencies = 105;
inline constexpr int kConfirmBackOrder = 106;
inline constexpr int kCollectiveInvoice = 107;
inline constexpr int kPaymentReceived = 108;
inline constexpr int kOpenInvoiceList = 109;
inline constexpr int kUnprintedInvoiceList = 110;
inline constexpr int kInvoiceJournal = 111;
inline constexpr int kBooking = 112;
inline constexpr int kDeleteOldInvoices = 113;
inline constexpr int kSettleOpenInvoices = 114;
inline constexpr int kOpenBackOrderList = 115;
inline constexpr int kArticleSelection = 116;
inline constexpr int kOfferOfTheWeek = 117;
inline constexpr int kSelectionListSale = 118;
inline constexpr int kOrderProposals = 119;
inline constexpr int kTestDataStructures = 120;
inline constexpr int kSelectionListPurchase = 121;
inline constexpr int kReorganiseArticles = 122;
inline constexpr int kDatanormImport = 123;
inline constexpr int kDatanormExport = 124;
inline constexpr int kTurnoverGraph = 132;
inline constexpr int kAppointmentSearch = 133;
inline constexpr int kArticleHitList = 134;
inline constexpr int kCustomerHitList = 135;
inline constexpr int kArticleTurnoverList = 136;
inline constexpr int kAddressSelection = 137;
inline constexpr int kAddressListByName = 138;
inline constexpr int kReorganiseAddresses = 139;
inline constexpr int kAddressListByPostcode = 140;
inline constexpr int kC6Envelope = 141;
inline constexpr int kDunningLetters = 142;
inline constexpr int kDunningSettings = 143;
inline constexpr int kOnlineHelp = 144;
inline constexpr int kOpenCashDrawer = 2194;
inline constexpr int kSwitchInterface = 2204;
inline constexpr int kParcelLabel = 2206;
inline constexpr int kCurrencyChangeover = 2209;
inline constexpr int kExportAddresses = 2211;
inline constexpr int kEInvoiceSettings = 2301;
inline constexpr int kEInvoiceSave = 2302;
inline constexpr int kMailSettings = 2305;
inline constexpr int kMailLog = 2306;
inline constexpr int kDunningMail = 2307;
inline constexpr int kCashCustomer = 2308;
inline constexpr int kDatevSettings = 2309;
inline constexpr int kDatevExport = 2310;
inline constexpr int kBackup = 2311;
inline constexpr int kRestoreBackup = 2312;
inline constexpr int kBankStatement = 2313;
inline constexpr int kIncomingInvoices = 2314;

// Sent to the order pane whenever the current address changes.
inline constexpr int kAddressChanged = 9999;

}  // namespace frame::cmd

#endif  // BELVON_CORE_COMMAND_IDS_H
