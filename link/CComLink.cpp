#include "CComLink.h"

#include "ResourceIds.h"

void CComLink::SetControlsDisconnected() {
    struct ButtonState {
        int id;
        bool enabled;
    };
    static constexpr ButtonState kDisconnected[] = {
        {IDC_CONNECT, true},  {IDC_DISCONNECT, false},  {IDC_CONNECTION_OPTIONS, true},
        {IDOK, true},         {IDC_VERSIONS, false},    {IDC_SENSOR_CONFIG, false},
        {IDC_OUTPUTS, false}, {IDC_UPDATE_TIME, false}, {IDC_READER_CONFIG, false},
        {IDC_MEASURE, false},
    };
    for (const ButtonState& state : kDisconnected) {
        m_pOwner->EnableControl(state.id, state.enabled);
    }
}
