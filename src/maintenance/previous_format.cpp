#include "maintenance/previous_format.h"

#include <cstring>
#include <string>

#include "maintenance/master_rebuild.h"
#include "maintenance/order_rebuild.h"
#include "store/address_record.h"
#include "store/article_record.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/file_replacement.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

template <typename Record>
Record As(const Bytes& bytes) {
  Record record{};
  std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
  return record;
}

template <typename Record>
void Put(const Record& record, Bytes& bytes) {
  bytes.assign(sizeof record, 0);
  std::memcpy(bytes.data(), &record, sizeof record);
}

template <std::size_t N, std::size_t M>
void CopyText(char (&to)[N], const char (&from)[M]) {
  store::SetText(to, store::GetText(from));
}

// The steps of the conversion, each noted by its letter once committed.
struct Step {
  char letter;
  const char* dataName;
  std::uint16_t currentSize;  // of the first record of a file in the current layout
  std::function<int(frame::AppState&, std::function<bool(Replacement&)>)> run;
};

// A record file whose first record has the current size is in the current
// layout already (a parameter file restored from an older backup, say): it
// must not be converted again.
bool InCurrentLayout(frame::AppState& app, const Step& step) {
  platform::File data =
      store::OpenData(app, step.dataName, platform::Access::Read, platform::Share::DenyWrite);
  std::uint8_t length[2] = {};
  return data && data.readExact(length, 2) &&
         store::Load<std::uint16_t>(length) == step.currentSize;
}

// What was converted before; false when the note is there but cannot be
// read (then nothing is converted, rather than anything twice).
bool ReadProgress(frame::AppState& app, std::string& done) {
  platform::File file = store::OpenData(app, store::kConversionProgressName, platform::Access::Read,
                                        platform::Share::DenyWrite);
  Bytes bytes;
  if (!file || !ReadWhole(file, bytes)) return false;
  done.assign(bytes.begin(), bytes.end());
  return true;
}

Bytes ParameterFile(const frame::AppState& app) {
  Bytes bytes(4 + sizeof app.parameters);
  store::Store<std::uint32_t>(bytes.data(), app.nextOrderNumber);
  std::memcpy(bytes.data() + 4, &app.parameters, sizeof app.parameters);
  return bytes;
}

}  // namespace

void ConvertPreviousArticle(const Bytes& read, Bytes& record) {
  const auto old = As<PreviousArticleRecord>(read);
  store::ArticleRecord a{};
  CopyText(a.number, old.number);
  CopyText(a.designation, old.designation);
  CopyText(a.productGroup, old.productGroup);
  CopyText(a.remark1, old.remark1);
  CopyText(a.remark2, old.remark2);
  CopyText(a.supplier, old.supplier);
  store::SetText(a.unit, "Stk");
  a.price1 = old.price1;
  a.quantityPrice2 = old.quantityPrice2;
  a.price2 = old.price2;
  a.quantityPrice3 = old.quantityPrice3;
  a.price3 = old.price3;
  a.quantityPrice4 = old.quantityPrice4;
  a.price4 = old.price4;
  a.purchasePrice = old.purchasePrice;
  for (int i = 0; i < 6; ++i) a.stock[i] = old.stock[i];
  a.minimumStock = old.minimumStock;
  a.targetStock = old.targetStock;
  a.quantityOnOrder = old.quantityOnOrder;
  a.flags = old.flags;
  a.currency = old.currency;
  Put(a, record);
}

void ConvertPreviousAddress(const Bytes& read, Bytes& record) {
  const auto old = As<PreviousAddressRecord>(read);
  store::AddressRecord a{};
  a.kind = old.kind;
  CopyText(a.customerNumber, old.customerNumber);
  CopyText(a.name1, old.name1);
  CopyText(a.name2, old.name2);
  CopyText(a.name3, old.name3);
  CopyText(a.street, old.street);
  CopyText(a.town, old.town);
  CopyText(a.phone, old.phone);
  CopyText(a.fax, old.fax);
  CopyText(a.email, old.email);
  CopyText(a.mobile, old.mobile);
  CopyText(a.vatId, old.vatId);
  CopyText(a.remark, old.remark);
  CopyText(a.appointment, old.appointment);
  CopyText(a.firstContact, old.firstContact);
  CopyText(a.lastOrder, old.lastOrder);
  a.cashDiscount = old.cashDiscount;
  a.paymentPeriod = old.paymentPeriod;
  a.cashDiscountPeriod = old.cashDiscountPeriod;
  a.turnover = old.turnover;
  a.salutation = old.salutation;
  a.currency = old.currency;
  a.copies = old.copies;
  Put(a, record);
}

void ConvertPreviousHead(const Bytes& read, Bytes& head) {
  head.assign(sizeof(store::OrderHead), 0);
  std::memcpy(head.data(), read.data(), std::min(read.size(), kPreviousOrderHeadSize));
}

void ConvertPreviousLine(const Bytes& read, Bytes& line) {
  const auto old = As<PreviousOrderLine>(read);
  store::OrderLine l{};
  l.quantity = old.quantity;
  CopyText(l.articleNumber, old.articleNumber);
  CopyText(l.description1, old.description1);
  CopyText(l.description2, old.description2);
  CopyText(l.longText, old.longText);
  l.salePrice = old.salePrice;
  l.costPrice = old.costPrice;
  l.discount = old.discount;
  l.taxCode = old.taxCode;
  l.articleRef = old.articleRef;
  l.orderNumber = old.orderNumber;
  l.flags = old.flags;
  Put(l, line);
}

void ConvertPreviousFormat(frame::AppState& app) {
  const Step steps[] = {
      {'A', store::kArticleDataName, 520,
       [](frame::AppState& a, std::function<bool(Replacement&)> also) {
         MasterRebuild r = ArticleRebuild();
         r.readSize = sizeof(PreviousArticleRecord);
         r.convert = ConvertPreviousArticle;
         r.orders = kPreviousOrders;
         r.alsoReplace = std::move(also);
         return RebuildMasterFile(a, r);
       }},
      {'K', store::kAddressDataName, 1192,
       [](frame::AppState& a, std::function<bool(Replacement&)> also) {
         MasterRebuild r = AddressRebuild();
         r.readSize = sizeof(PreviousAddressRecord);
         r.convert = ConvertPreviousAddress;
         r.orders = kPreviousOrders;
         r.alsoReplace = std::move(also);
         return RebuildMasterFile(a, r);
       }},
      {'R', store::kOrderDataName, 80,
       [](frame::AppState& a, std::function<bool(Replacement&)> also) {
         OrderRebuild r;
         r.source = kPreviousOrders;
         r.convertHead = ConvertPreviousHead;
         r.convertLine = ConvertPreviousLine;
         r.alsoReplace = std::move(also);
         return RebuildOrderFile(a, r);
       }},
  };
  // The previous program made the discount file with its first discount;
  // the reference passes read it, and one that is not there holds none.
  if (!store::DataFileExists(app, store::kDiscountFileName) &&
      !store::WriteWholeFile(app, store::kDiscountFileName, {})) {
    Tell(app, "Die Daten der vorigen Programmversion konnten nicht umgewandelt werden.",
         frame::Icon::Stop);
    return;
  }
  std::string done;
  if (store::DataFileExists(app, store::kConversionProgressName)
          ? !ReadProgress(app, done)
          : !store::WriteWholeFile(app, store::kConversionProgressName, {})) {
    Tell(app, "Die Daten der vorigen Programmversion konnten nicht umgewandelt werden.",
         frame::Icon::Stop);
    return;
  }
  for (const Step& step : steps) {
    if (done.find(step.letter) != std::string::npos) continue;  // converted before a crash
    const std::string next = done + step.letter;
    const bool last = step.letter == 'R';
    auto also = [&app, &next, last](Replacement& replacement) {
      if (!last) {
        Bytes note(next.begin(), next.end());
        return replacement.write("UMSTELL.NEU", store::kConversionProgressName, note);
      }
      replacement.remove(store::kConversionProgressName);
      return replacement.write("BELVON.NEU", store::kParameterFileName, ParameterFile(app));
    };
    Replacement noteOnly(app);
    if (InCurrentLayout(app, step) ? !(also(noteOnly) && noteOnly.commit())
                                   : !step.run(app, also)) {
      Tell(app,
           "Die Umwandlung der Daten der vorigen Programmversion wurde unterbrochen; sie wird "
           "beim nächsten Start fortgesetzt.",
           frame::Icon::Stop);
      return;
    }
    done = next;
  }
}

}  // namespace maintenance
