#include "printing/job_table.h"

#include "printing/letter_renderer.h"

namespace printing {

std::unique_ptr<PageRenderer> MakeRenderer(int job) {
  switch (job) {
    case kJobLetter:
      return std::make_unique<LetterRenderer>();
    default:
      return std::make_unique<BlankPageRenderer>();
  }
}

}  // namespace printing
