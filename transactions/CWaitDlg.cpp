#include "CWaitDlg.h"

#include "ResourceIds.h"

#include <cstring>

CWaitDlg::CWaitDlg(IRequestSubmitter& owner) : CDialog(IDD_WAIT), m_pOwner(&owner) {}

void CWaitDlg::SetRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                          std::uint8_t length) {
    m_message = LinkMessage{};
    m_message.address = address;
    m_message.command = command;
    // The queue refuses what does not fit; keep the copy within the payload all the same.
    m_message.length = length;
    if (payload != nullptr && length != 0) {
        std::memcpy(m_message.payload, payload,
                    length < LinkMessage::kPayloadCapacity ? length
                                                           : LinkMessage::kPayloadCapacity);
    }
    m_bAnswered = 0;
}

const LinkMessage* CWaitDlg::GetAnswer() const {
    return m_bAnswered == 1 ? &m_message : nullptr;
}

bool CWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Submitted before the modal loop starts: with nothing else outstanding the request is on its
    // way before the dialog shows.
    m_pOwner->SubmitRequest(m_message.address, m_message.command, m_message.payload,
                            m_message.length, this,
                            &CompletionThunk<CWaitDlg, &CWaitDlg::OnAnswer>);
    return true;
}

void CWaitDlg::OnAnswer(const LinkMessage* answer) {
    if (answer != nullptr) {
        m_message = *answer;
        m_bAnswered = 1;
    }
    OnOK();
}
