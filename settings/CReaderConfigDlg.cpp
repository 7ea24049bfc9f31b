#include "CReaderConfigDlg.h"

#include "DataExchange.h"
#include "DescriptionExchange.h"
#include "ResourceIds.h"

CReaderConfigDlg::CReaderConfigDlg() : CDialog(IDD_READER_CONFIG) {}

void CReaderConfigDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, IDC_SERIAL, m_nSerial);
    DDV_MinMax(dx, m_nSerial, kMinSerial, kMaxSerial);
    DDX_Description(dx, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(dx, IDC_INTERVAL, m_nInterval);
    DDV_MinMax(dx, m_nInterval, kMinInterval, kMaxInterval);
}

bool CReaderConfigDlg::OnInitDialog() {
    RecordToFields();
    CDialog::OnInitDialog();
    return true;
}

void CReaderConfigDlg::OnDestroy() {
    // False only for a description the edit should never have taken; it then stays as read.
    (void)FieldsToRecord();
}
