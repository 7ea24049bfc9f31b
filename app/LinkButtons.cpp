#include "LinkButtons.h"

#include "CComLink.h"
#include "ResourceIds.h"

// The link controller handles the clicks of "Połącz" and "Rozłącz" by these numbers.
static_assert(static_cast<int>(ID_CONNECT) == IDC_CONNECT &&
              static_cast<int>(ID_DISCONNECT) == IDC_DISCONNECT);

namespace {

enum class Button { Off, On, Keep };

struct LinkButtonRow {
    int id;
    Button disconnected;
    Button connecting; // pressing "Połącz" leaves the rest as it is
    Button connected;
    Button reconnecting; // "Połącz" and "Rozłącz" both end the waiting
};

using enum Button;

// Clock and reader stay off when connected: the readout turns them on for a device that
// reports its model.
constexpr LinkButtonRow kLinkButtons[] = {
    {IDC_CONNECT, On, Off, Off, On},
    {IDC_DISCONNECT, Off, Keep, On, On},
    {IDC_CONNECTION_OPTIONS, On, Off, Off, Off},
    {IDOK, On, Off, On, On},
    {IDC_VERSIONS, Off, Keep, On, Off},
    {IDC_SENSOR_CONFIG, Off, Keep, On, Off},
    {IDC_OUTPUTS, Off, Keep, On, Off},
    {IDC_UPDATE_TIME, Off, Keep, Off, Off},
    {IDC_READER_CONFIG, Off, Keep, Off, Off},
    {IDC_MEASURE, Off, Keep, Off, Off},
};

Button InState(const LinkButtonRow& row, LinkState state) {
    switch (state) {
    case LinkState::Disconnected:
        return row.disconnected;
    case LinkState::Connecting:
        return row.connecting;
    case LinkState::Connected:
        return row.connected;
    case LinkState::Reconnecting:
        return row.reconnecting;
    }
    return Keep;
}

} // namespace

void ApplyLinkButtons(LinkState state, const std::function<void(int id, bool on)>& enable) {
    for (const LinkButtonRow& row : kLinkButtons) {
        const Button button = InState(row, state);
        if (button != Keep) {
            enable(row.id, button == On);
        }
    }
}
