// Which renderer draws which print job. The print engine knows the table
// only by these declarations: it is defined by the program in
// src/app/job_table.cpp, the one place that knows every document.
//
// Jobs: 1 quotation, 2 delivery note, 3 invoice or credit note, 4 collective
// invoice, 20 order confirmation, 23 cost estimate (one order-document
// renderer), 5, 8, 9, 19, 22 invoice lists, 6, 7, 12 statistics, 13, 14, 15,
// 17, 18 master-data lists, 10 letter page, 16 dunning letters, 21 C6
// envelope, 24 parcel label, 25 a received e-invoice. 11 and numbers outside
// 1..25 print a blank page,
// and so does every job whose renderer is not there yet.
#ifndef BELVON_PRINTING_JOB_TABLE_H
#define BELVON_PRINTING_JOB_TABLE_H

#include <functional>
#include <memory>
#include <string>

#include "printing/page_renderer.h"
#include "printing/print_job.h"

namespace printing {

inline constexpr int kJobLetter = 10;
inline constexpr int kJobBlank = 11;

std::unique_ptr<PageRenderer> MakeRenderer(int job);

// The name the printer dialog proposes when the document goes into a file:
// one of its own for every document ("Rechnung-126120001.pdf",
// "Mahnungen-06.12.2026.pdf", "Rechnungsausgangsbuch.pdf"), so that the
// next print never lands on the file written before.
std::string DocumentFileName(const frame::AppState& app, const PrintSession& session);

// What a job's document written as a PDF file becomes (an invoice may carry
// its e-invoice); nothing for a plain PDF. `tell` gets, in German, why a
// document that should carry more does not.
PdfFinish PdfFinishFor(frame::AppState& app, const PrintSession& session,
                       const std::function<void(const std::string&)>& tell);

}  // namespace printing

#endif  // BELVON_PRINTING_JOB_TABLE_H
