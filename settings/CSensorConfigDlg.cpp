#include "CSensorConfigDlg.h"

#include "DataExchange.h"
#include "DescriptionExchange.h"
#include "ResourceIds.h"

CSensorConfigDlg::CSensorConfigDlg() : CDialog(IDD_SENSOR_CONFIG) {}

void CSensorConfigDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Radio(dx, IDC_OUTPUT_MODE_ONE_WAY, m_nOutputMode);
    DDX_Text(dx, IDC_SERIAL, m_strSerial);
    DDV_MaxChars(dx, m_strSerial, 4);
    DDX_Text(dx, IDC_RANGE, m_nRange);
    DDV_MinMax(dx, m_nRange, kMinRange, kMaxRange);
    DDX_Radio(dx, IDC_OUTPUT_KIND_CURRENT, m_nOutputKind);
    DDX_Check(dx, IDC_REVERSED, m_bReversed);
    DDX_Description(dx, IDC_DESCRIPTION, m_strDescription);
    DDX_Check(dx, IDC_DAC_RS, m_bDacRs);
    DDX_Text(dx, IDC_PRODUCTION_YEAR, m_nYear);
    DDV_MinMax(dx, m_nYear, 2005, 2020);
}

bool CSensorConfigDlg::OnInitDialog() {
    RecordToFields();
    CDialog::OnInitDialog();
    return true;
}

void CSensorConfigDlg::OnDestroy() {
    // False only for a description the edit should never have taken; it then stays as read.
    (void)FieldsToRecord();
}
