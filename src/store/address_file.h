// The address file: KUNDEN.IDX / KUNDEN.DAT, keyed by name line 2.
#ifndef BELVON_STORE_ADDRESS_FILE_H
#define BELVON_STORE_ADDRESS_FILE_H

#include <cstdint>

#include "store/app_state.h"
#include "store/address_record.h"

namespace store {

// Run at start: finishes a change of name line 2 that was cut short
// (IndexedFile::FinishInterruptedMove).
int FinishInterruptedAddressMove(frame::AppState& app);
int DeleteAddress(frame::AppState& app, std::int32_t& position);
// Inserts (isNew) or rewrites the address at `position`, always 1192 bytes.
// A changed name line 2 moves the record to the end of KUNDEN.DAT and
// rewrites every reference to its old offset: the discount file, every order
// index entry (also the stale ones behind the count) and every order head.
// When that cannot be finished the change is taken back and the user told
// which file held it up (result 0).
int WriteAddress(frame::AppState& app, AddressRecord address, std::int32_t& position,
                 bool isNew);
int ReadAddress(frame::AppState& app, AddressRecord& address, std::int32_t position);
int ScanAddresses(frame::AppState& app, const AddressRecord& criteria, std::int32_t& position,
                  bool forward);
// Name line 1, street, town, remark, name line 2, name line 3; then, when
// the criteria carry a customer number, both numbers read as whole numbers
// must be equal ("0007" is 7).
bool MatchAddress(const AddressRecord& criteria, const AddressRecord& address);
// 1 when another address holds the name 2, -1 when the index could not be read.
int SecondNameExists(frame::AppState& app, const AddressRecord& address, bool isNew);
// 0 when the customer number is unique (possibly after raising it), 1 when
// it clashes with another address and cannot be raised, -1 (the number
// untouched) when the addresses could not be read.
int MakeCustomerNumberUnique(frame::AppState& app, AddressRecord& address);

// Points every order (index entry and head) of the customer at `oldOffset`
// to `newOffset`; `changed`, when given, is set once anything was written.
// 0 when a file could not be opened, read or written.
int RewriteOrderCustomers(frame::AppState& app, std::uint32_t oldOffset, std::uint32_t newOffset,
                          bool* changed = nullptr);

}  // namespace store

#endif  // BELVON_STORE_ADDRESS_FILE_H
