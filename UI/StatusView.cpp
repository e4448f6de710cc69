#include "UI/StatusView.h"

QZ::RCPtr<LStatusView> LStatusView::Create() { return QZ::RCPtr<LStatusView>(new LStatusView); }
