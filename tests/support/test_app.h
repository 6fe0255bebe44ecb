// The program state on a fresh data directory: its own folder, a scripted
// user and a fixed clock. Nothing is loaded; call frame::LoadParameters for a
// started program (or take FreshProgram from support/fresh_program.h).
#ifndef BELVON_TESTS_SUPPORT_TEST_APP_H
#define BELVON_TESTS_SUPPORT_TEST_APP_H

#include <string>

#include "store/app_state.h"
#include "store/load_parameters.h"
#include "store/einvoice_settings.h"
#include "store/parameter_file.h"
#include "store/text_field.h"
#include "platform/clock.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace testsupport {

// The seller's VAT ID that every invoice must state, in memory and in the
// parameter file, as a business that issues invoices has entered it.
// Tax-free lines are issued with a reason the seller has chosen.
inline void GiveSellerTaxId(frame::AppState& app) {
  store::SetText(app.parameters.vatId, "DE123456789");
  frame::SaveParameters(app);
  einvoice::Settings settings = einvoice::LoadSettings(app.dataDirectory);
  settings.exemption = einvoice::Exemption::SmallBusiness;  // what the settings meant before a choice was asked for
  einvoice::SaveSettings(app.dataDirectory, settings);
}

struct TestApp {
  explicit TestApp(platform::LocalTime now = {2026, 12, 6, 10, 0, 0}) : clock(now) {
    app.dataDirectory = dir.path();
    app.ui = &ui;
    app.clock = &clock;
  }
  // Another copy of the program started on `directory`: what was written.
  frame::AppState OtherCopy(const std::string& directory) {
    frame::AppState other;
    other.dataDirectory = directory;
    other.clock = &clock;
    frame::LoadParameters(other);
    return other;
  }

  TempDir dir;
  ScriptedUi ui;
  platform::FixedClock clock;
  frame::AppState app;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_TEST_APP_H
