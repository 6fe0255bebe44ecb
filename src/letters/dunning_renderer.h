// Job 16: the dunning letters of one run, one page each on the letterhead,
// shifted by the print offsets. On paper every letter has its own page; in
// the preview they are all drawn onto the one sheet. Drawing never changes
// a level: the caller stores the levels once the printer took the letters.
#ifndef BELVON_LETTERS_DUNNING_RENDERER_H
#define BELVON_LETTERS_DUNNING_RENDERER_H

#include <functional>

#include "letters/dunning_run.h"
#include "printing/page_renderer.h"
#include "printing/print_job.h"

namespace letters {

inline constexpr int kJobDunning = 16;

// The run a job stands for: the dunning date is the job's print date.
DunningOptions DunningOptionsOf(const printing::JobInputs& inputs);

// The inputs of job 16 for a run.
printing::JobInputs DunningJobInputs(const DunningOptions& options);

// PrintJob(16, 0) for the run. The levels are stored when, and only when,
// the letters went to the printer: after a direct print, or each time the
// user prints from the preview; never for a preview alone, a cancelled
// printer dialog, a failed or an aborted print. A run without a letter is
// only told: kNoDunningDue, and JobEnd::Nothing. `stored` is called after
// each storing, so that the order pane can show the new level.
printing::JobEnd PrintDunningLetters(frame::AppState& app, printing::PrintHost& host,
                                     const DunningOptions& options,
                                     std::function<void()> stored = {});

class DunningRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

}  // namespace letters

#endif  // BELVON_LETTERS_DUNNING_RENDERER_H
