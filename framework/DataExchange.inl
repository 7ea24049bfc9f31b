#pragma once

#include "CDialog.h"

template <typename Widget> void DDX_Control(CDataExchange& dx, int id, Widget*& member) {
    if (dx.Failed()) {
        return;
    }
    member = qobject_cast<Widget*>(dx.PrepareCtrl(id));
}
