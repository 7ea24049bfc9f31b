#pragma once

#include "CDialog.h"
#include "QueueTypes.h"

#include <cstdint>

// "Transmisja danych": runs modally while the one request of a button's operation is
// outstanding, and keeps its answer. One object serves every operation.
class CWaitDlg : public CDialog {
public:
    explicit CWaitDlg(IRequestSubmitter& owner);

    // The request the next run sends; payload may be null when length is 0. Forgets the answer.
    void SetRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                    std::uint8_t length);
    // The answer of the last run, or null when none came (time-out, or Enter or Esc first).
    const LinkMessage* GetAnswer() const;

    // The request's completion. It may come after the user closed the dialog, or land in the
    // next run when that run's request is queued behind it; without a window it only keeps the
    // answer, which the next SetRequest forgets.
    void OnAnswer(const LinkMessage* answer);

protected:
    bool OnInitDialog() override;

private:
    IRequestSubmitter* m_pOwner;
    std::int32_t m_bAnswered = 0;
    LinkMessage m_message;
};
