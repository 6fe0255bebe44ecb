// Two copies of the program, each a process of its own, on one data
// directory: one issues an invoice (or books a payment, or the delivered
// orders) while the other books a payment, deletes old invoices,
// reorganises the addresses or adds a customer. The first copy lets the second in at a random file call of its
// own operation and goes on once the other is done or, when the other
// waits for what the first one holds, after a while; whichever way the two
// interleave, nothing either of them wrote is lost, and no record is written
// where another one lies.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <map>
#include <random>
#include <span>
#include <string>
#include <thread>

#include "maintenance/master_rebuild.h"
#include "maintenance/order_rebuild.h"
#include "orders/booking.h"
#include "orders/issuing.h"
#include "orders/payments.h"
#include "store/address_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"
#include "support/order_book.h"

namespace {

using testsupport::BookLine;

// A copy's own file system: at its Nth call of any kind it lets the other
// copy go (one byte down `letIn`) and waits until that copy is done (a byte
// on `done`) or `wait` milliseconds have passed, whichever comes first: a
// copy that holds what the other one needs goes on after the wait.
class LettingIn : public platform::FileSystem {
 public:
  LettingIn(int at, int letIn, int done, int wait) : at_(at), letIn_(letIn), done_(done), wait_(wait) {}
  bool injectFault(platform::IoOp, const std::string&) override {
    if (++calls_ == at_) {
      ::signal(SIGPIPE, SIG_IGN);  // the other copy may have ended before
      (void)!::write(letIn_, "x", 1);
      pollfd other{done_, POLLIN, 0};
      ::poll(&other, 1, wait_);
    }
    return false;
  }

 private:
  int at_, letIn_, done_, wait_, calls_ = 0;
};

// A started copy of the program in a child process.
struct Copy {
  explicit Copy(const std::string& directory) : clock({2026, 12, 6, 10, 0, 0}) {
    ui.defaultAnswer = true;  // wait for a busy file, and yes to the reorganisation
    app.dataDirectory = directory;
    app.ui = &ui;
    app.clock = &clock;
    app.retry.pause = std::chrono::milliseconds(1);
    frame::LoadParameters(app);
  }
  // The order becomes the current one and its customer the selected
  // address, as the order pane has them when its print dialog opens.
  bool show(std::int32_t number) {
    store::OrderHead criteria{};
    criteria.orderNumber = number;
    std::int32_t position = -1;
    if (!store::FindOrder(app, criteria, position, true) ||
        store::ReadOrder(app, app.order, position) != 1)
      return false;
    app.orders.position = position;
    orders::SelectOrderCustomer(app);
    return true;
  }
  int pay(std::int32_t number, const char* amount) {
    orders::PaymentForm form;
    form.orderNumber = std::to_string(number);
    form.amount = amount;
    form.paymentDate = "06.12.2026";
    return orders::BookPayment(app, form);
  }
  testsupport::ScriptedUi ui;
  platform::FixedClock clock;
  frame::AppState app;
};

// Every order by number with its customer's name 2 (through the address
// index), flags, amount paid and invoice date; then the address index.
std::string Story(testsupport::OrderBook& book) {
  std::map<std::uint32_t, std::string> names;
  std::string out;
  for (const auto& e : testsupport::IndexEntries<store::AddressIndexEntry>(book.dir.file("KUNDEN.IDX"), 2)) {
    names[+e.offset] = std::string(store::GetText(e.key, sizeof e.key));
    out += "K " + names[+e.offset] + "\n";
  }
  for (const auto& e : testsupport::IndexEntries<store::OrderIndexEntry>(book.dir.file("RECHNUNG.IDX"), 2)) {
    const store::OrderHead head = book.stored(e.orderNumber);
    out += "R " + std::to_string(head.orderNumber) + " " +
           names[static_cast<std::uint32_t>(head.customerRef)] + " " + std::to_string(head.flags) +
           " " + std::to_string(head.paid) + " " + std::string(store::GetText(head.invoiceDate)) + "\n";
  }
  return out;
}

TEST(TwoCopies, NothingTheOtherCopyWroteIsLost) {
  struct Race {
    const char* name;
    enum { Issue, Pay, Book } first;  // the invoice, 1,00 on it, or the delivered orders
    int calls;   // it lets the other copy in at one of its first `calls` calls
    std::function<bool(Copy&, std::int32_t order)> other;
  };
  auto deleteOld = [](Copy& c, std::int32_t) {
    return maintenance::DeleteOldInvoices(c.app, "01.01.2025", "31.12.2025") == 1;
  };
  const Race races[] = {
      {"a payment while the invoice is issued", Race::Issue, 12,
       [](Copy& c, std::int32_t order) { return c.pay(order, "1,00") == 1; }},
      {"a payment while another payment is booked", Race::Pay, 14,
       [](Copy& c, std::int32_t order) { return c.pay(order, "1,00") == 1; }},
      {"old invoices deleted while the invoice is issued", Race::Issue, 12, deleteOld},
      {"old invoices deleted while the delivered orders are booked", Race::Book, 5, deleteOld},
      {"addresses reorganised while the invoice is issued", Race::Issue, 12,
       [](Copy& c, std::int32_t) { return maintenance::ReorganiseAddresses(c.app) == 1; }},
      {"a customer added while the invoice is issued", Race::Issue, 4,
       [](Copy& c, std::int32_t) {
         store::AddressRecord abel{};
         store::SetText(abel.name2, "Abel");
         std::int32_t position = -1;
         return store::WriteAddress(c.app, abel, position, true) == 1;
       }},
  };
  std::mt19937 random(20261206);
  for (const Race& race : races) {
    for (int run = 0; run < 12; ++run) {
      const int at = 1 + static_cast<int>(random() % race.calls);
      const int lag = static_cast<int>(random() % 300);
      SCOPED_TRACE(std::string(race.name) + ", call " + std::to_string(at) + ", lag " +
                   std::to_string(lag));
      testsupport::OrderBook book;
      // A deleted address ahead of the others, so that the reorganisation
      // moves them; an order of 2025 ahead of the invoice, so that deleting
      // it moves the invoice (a quotation: an invoice of 2025 is kept for
      // years).
      book.customer("Alt");
      std::int32_t gone = 0;
      store::DeleteAddress(book.app, gone);
      const std::int32_t huber = book.customer("Huber"), schulz = book.customer("Schulz");
      book.order(schulz, store::kOrderQuotationPrinted, {BookLine{1, 500}}, "01.02.2025");
      const std::int32_t meier = book.customer("Meier");
      const std::int32_t invoice =
          book.order(meier, store::kOrderDeliveryNotePrinted, {BookLine{2, 625}, BookLine{1, 50}})
              .orderNumber;
      const std::int32_t later = book.order(huber, 0, {BookLine{1, 100}}).orderNumber;

      int letIn[2], done[2];
      ASSERT_EQ(pipe(letIn), 0);
      ASSERT_EQ(pipe(done), 0);
      const pid_t first = fork();
      if (first == 0) {
        close(letIn[0]);
        close(done[1]);
        Copy copy(book.dir.path());
        if (race.first == Race::Issue && !copy.show(invoice)) _exit(2);
        LettingIn fs(at, letIn[1], done[0], 60);
        copy.app.fileSystem = &fs;
        const bool done =
            race.first == Race::Issue
                ? orders::RecordIssue(copy.app, orders::DocumentKind::Invoice, "06.12.2026")
            : race.first == Race::Pay ? copy.pay(invoice, "1,00") == 1
                                      : !orders::BookDeliveredOrders(copy.app).failed;
        _exit(done ? 0 : 1);
      }
      const pid_t second = fork();
      if (second == 0) {
        close(letIn[1]);
        close(done[0]);
        Copy copy(book.dir.path());
        char go;
        (void)!read(letIn[0], &go, 1);  // or the end of the first copy
        std::this_thread::sleep_for(std::chrono::microseconds(lag));
        const bool worked = race.other(copy, invoice);
        ::signal(SIGPIPE, SIG_IGN);  // the first copy may have ended before
        (void)!::write(done[1], "x", 1);
        _exit(worked ? 0 : 1);
      }
      for (int fd : {letIn[0], letIn[1], done[0], done[1]}) close(fd);
      for (pid_t pid : {first, second}) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
      }

      // What both copies wrote, whichever came first.
      const std::string name = race.name;
      const int invoiceFlags = store::kOrderDeliveryNotePrinted |
                               (race.first == Race::Issue ? store::kOrderInvoicePrinted : 0) |
                               (race.first == Race::Book ? store::kOrderBooked : 0);
      const int paid = (name.starts_with("a payment") ? 100 : 0) + (race.first == Race::Pay ? 100 : 0);
      std::string expected = std::string(name.starts_with("a customer") ? "K Abel\n" : "") +
                             "K Huber\nK Meier\nK Schulz\n";
      if (!name.starts_with("old invoices"))
        expected += "R " + std::to_string(invoice - 1) + " Schulz " +
                    std::to_string(store::kOrderQuotationPrinted) + " 0 \n";
      expected += "R " + std::to_string(invoice) + " Meier " + std::to_string(invoiceFlags) + " " +
                  std::to_string(paid) + " " + (race.first == Race::Issue ? "06.12.2026" : "") + "\n";
      expected += "R " + std::to_string(later) + " Huber 0 0 \n";
      const std::string story = Story(book);
      EXPECT_EQ(story, expected);
      if (story != expected) break;  // one lost write tells enough of this race
    }
  }
}

}  // namespace
