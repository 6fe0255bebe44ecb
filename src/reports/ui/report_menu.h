// The menu commands of the lists and statistics: the lists without a dialog
// start their print job at once, the others open their date-range dialog.
// The hit lists and the article turnover list do nothing while there are no
// orders.
#ifndef BELVON_REPORTS_UI_REPORT_MENU_H
#define BELVON_REPORTS_UI_REPORT_MENU_H

namespace frame {
class FrameWindow;
}

namespace reports {

void RegisterReportCommands(frame::FrameWindow& window);

}  // namespace reports

#endif  // BELVON_REPORTS_UI_REPORT_MENU_H
