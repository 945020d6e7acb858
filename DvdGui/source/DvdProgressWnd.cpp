#include "DvdGui/source/DvdProgressWnd.h"

#include "DvdGui/core/ProgressPercent.h"

void CDvdProgressWnd::SetText(const char* text)
{
    m_strText = text != nullptr ? text : "";
    SetStatus(m_strText);
}

void CDvdProgressWnd::SetRange(uint64_t total)
{
    m_nTotal = total;
    m_nPosition = 0;
    CProgressDlg::SetRange(0, 100, 1);
}

void CDvdProgressWnd::Advance(uint64_t delta)
{
    m_nPosition += delta;
    ShowPosition();
}

void CDvdProgressWnd::SetPosition(uint64_t position)
{
    m_nPosition = position;
    ShowPosition();
}

void CDvdProgressWnd::ShowPosition()
{
    SetPos(ProgressPercent(m_nPosition, m_nTotal));
    PumpMessages(true);
}
