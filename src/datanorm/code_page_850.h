// Datanorm files are written in the OEM code page of DOS, code page 850; the
// data files hold Windows-1252. Both directions convert byte by byte; a
// character the other side lacks (box drawing, the euro sign) becomes "?".
#ifndef BELVON_DATANORM_CODE_PAGE_850_H
#define BELVON_DATANORM_CODE_PAGE_850_H

#include <string>

namespace datanorm {

void OemToWindows(std::string& text);
void WindowsToOem(std::string& text);

}  // namespace datanorm

#endif  // BELVON_DATANORM_CODE_PAGE_850_H
