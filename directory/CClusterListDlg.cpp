#include "directory/CClusterListDlg.h"

namespace kv {

CClusterListDlg::CClusterListDlg(HWND parent) : parent_(parent) {}

INT_PTR CClusterListDlg::DoModal() { return IDCANCEL; }

} // namespace kv
