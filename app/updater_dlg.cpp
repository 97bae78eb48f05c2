#include "app/updater_dlg.h"

namespace vx {

CVX94C6FWUpdaterDlg::CVX94C6FWUpdaterDlg(UpdaterView& view) : view_(view) {}

CVX94C6FWUpdaterDlg::~CVX94C6FWUpdaterDlg() = default;

}  // namespace vx
