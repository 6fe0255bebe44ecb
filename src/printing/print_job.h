// The one way anything gets printed: PrintJob picks the renderer of the job
// and either prints straight onto a printer the user chooses or opens a
// preview window that pages through the same drawing.
//
// What the desktop provides (printer choice, the abort dialog, the preview
// window, the notices) comes through PrintHost, so the flow itself is
// plain code and is tested without a screen.
#ifndef BELVON_PRINTING_PRINT_JOB_H
#define BELVON_PRINTING_PRINT_JOB_H

#include <functional>
#include <memory>
#include <string>

#include "store/app_state.h"
#include "printing/canvas.h"
#include "printing/page_renderer.h"

namespace printing {

inline constexpr const char* kDocumentName = "Belvon - 2.0";

// What a document written as a PDF file becomes: with `archival` the PDF
// writer makes a PDF/A-1b, and `finish` (when set) turns the writer's bytes
// into the file's; when it fails, the document is not written.
struct PdfFinish {
  bool archival = false;
  std::function<bool(std::string& pdf)> finish;
};

// A printer chosen for one job, with its printable area.
class PrinterDevice {
 public:
  virtual ~PrinterDevice() = default;
  virtual PrinterInfo info() const = 0;
  // Whether the document goes into a PDF file; such a device takes the
  // job's PdfFinish before the document begins.
  virtual bool writesPdf() const { return false; }
  virtual void setPdfFinish(PdfFinish) {}
  // Starts a document; null when that fails. `userAbort` is asked at every
  // page end, after pending events were handled (the abort procedure).
  virtual Canvas* beginDocument(const std::string& name, std::function<bool()> userAbort) = 0;
  // Finishes the document; false when the device failed on the way (a page
  // that could not be started, a spool or file that could not be written),
  // so that a document that did not come out is never taken as printed.
  virtual bool endDocument() = 0;
  // Throws the started document away instead of finishing it.
  virtual void abortDocument() = 0;
};

// The abort dialog "PRINTDLG" of a direct print, with its progress bar.
class AbortDialog {
 public:
  virtual ~AbortDialog() = default;
  virtual bool aborted() = 0;
  // Shows the percentage; true once the user cancelled.
  virtual bool progress(int percent) = 0;
};

class PrintHost {
 public:
  virtual ~PrintHost() = default;
  // The printer dialog; null when it was cancelled or the printer is unusable.
  // `fileName` is the document's own name for printing into a file
  // (DocumentFileName), proposed in the folder used last.
  virtual std::unique_ptr<PrinterDevice> choosePrinter(const std::string& fileName) = 0;
  virtual int screenWidth() const = 0;
  virtual std::unique_ptr<AbortDialog> openAbortDialog() = 0;
  // Opens a preview window for the session; it lives on by itself and calls
  // `printed` (when set) each time it has printed the document.
  virtual void openPreview(frame::AppState& app, const PrintSession& session,
                           std::function<void()> printed) = 0;
  // The job-finished notice after a direct print (delivered before return).
  virtual void jobFinished() = 0;
  // Closes the print dialog of an order when one is open.
  virtual void closeOrderPrintDialog() = 0;
};

// Prints `session`'s job on `printer`: TargetPage := 9999, the document with
// its first page started, the renderer with the printing geometry (A5 rule
// applied), the last page ended and the document finished, or thrown away
// when the user cancelled. False when the document could not be started or
// was cancelled.
bool PrintOnDevice(frame::AppState& app, PrinterDevice& printer, PrintSession& session,
                   const std::function<bool()>& userAbort, AbortDialog* progressTo,
                   const std::function<void(const std::string&)>& warningSink = {});
// The same with a given renderer instead of the job's.
bool PrintOnDevice(frame::AppState& app, PrinterDevice& printer, PrintSession& session,
                   PageRenderer& renderer, const std::function<bool()>& userAbort,
                   AbortDialog* progressTo,
                   const std::function<void(const std::string&)>& warningSink = {});

// Said when a document could not be started or the printer failed on it.
inline constexpr const char* kPrintFailedMessage =
    "Das Dokument konnte nicht gedruckt werden. Bitte Drucker prüfen.";

// How a job ended.
enum class JobEnd {
  Printed,     // handed to the printer, or written to its file
  Previewing,  // a preview is open; it prints later, if at all
  NoPrinter,   // the printer dialog was cancelled or the printer is unusable
  Aborted,     // the user cancelled while it printed
  Failed,      // the document could not be started or the device failed
  Nothing,     // there was nothing to print; the user was told
};

// PrintJob(job, notify). Preview when "Druckvorschau" is on and the
// cash-desk interface is not active, else a direct print with the abort
// dialog. With `notify` the job-finished notice follows the job (after the
// print, or when the preview closes). `printed` is called once the document
// was really printed: before the return of a direct print, or from the
// preview when the user prints it there.
JobEnd PrintJob(frame::AppState& app, PrintHost& host, int job, bool notify,
                const JobInputs& inputs = {}, const std::function<void()>& printed = {});

}  // namespace printing

#endif  // BELVON_PRINTING_PRINT_JOB_H
