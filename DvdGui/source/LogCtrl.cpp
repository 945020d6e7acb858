#include "DvdGui/source/LogCtrl.h"

#include "DvdGui/source/Resource.h"
#include "framework/win/MessageBox.h"

#include <cstring>
#include <vector>
#include <utility>

namespace
{

// Rich edit takes the WM_USER range for its own messages.
const UINT WM_LOG_DRAIN = WM_APP + 0x120;

const COLORREF kErrorColor = RGB(200, 0, 0);
const COLORREF kWarningColor = RGB(255, 128, 0);
const COLORREF kTextColor = RGB(0, 0, 0);

} // namespace

BEGIN_MESSAGE_MAP(CLogCtrl, CRichEditCtrl)
ON_WM_CREATE()
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
ON_COMMAND(ID_LOG_COPY, CopyLog)
ON_COMMAND(ID_LOG_CLEAR, ClearLog)
ON_MESSAGE(WM_LOG_DRAIN, OnDrainPending)
END_MESSAGE_MAP()

CLogCtrl::CLogCtrl(int nMaxLines) : m_logFile(std::fopen("kestrelux.log", "w")), m_nMaxLines(nMaxLines)
{
}

CLogCtrl::~CLogCtrl()
{
    if (m_logFile != nullptr)
        std::fclose(m_logFile);
}

BOOL CLogCtrl::Create(CWnd* pParentWnd, UINT nID, const RECT& rect, DWORD dwStyle)
{
    return CRichEditCtrl::Create(dwStyle, rect, pParentWnd, nID);
}

BOOL CLogCtrl::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CRichEditCtrl::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~WS_BORDER;
    return TRUE;
}

BOOL CLogCtrl::PreTranslateMessage(MSG* pMsg)
{
    // ahead of the frame's accelerators: Ctrl+C copies the whole log when
    // nothing is selected
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == 'C' && ::GetKeyState(VK_CONTROL) < 0)
    {
        CopyLog();
        return TRUE;
    }
    return CRichEditCtrl::PreTranslateMessage(pMsg);
}

int CLogCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CRichEditCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    InitFormat();
    // texts reported before the window existed
    CSingleLock lock(&m_lock, TRUE);
    if (!m_pending.empty())
        m_bDrainPosted = PostMessage(WM_LOG_DRAIN) != FALSE;
    return 0;
}

void CLogCtrl::InitFormat()
{
    PARAFORMAT pf = {};
    pf.cbSize = sizeof(pf);
    pf.dwMask = PFM_TABSTOPS;
    pf.cTabCount = MAX_TAB_STOPS;
    for (int i = 0; i < MAX_TAB_STOPS; ++i)
        pf.rgxTabs[i] = (i + 1) * 1440 / 5;
    SetParaFormat(pf);

    LOGFONTA lf = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    CHARFORMATA cf = {};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE | CFM_COLOR |
                CFM_FACE | CFM_CHARSET;
    cf.yHeight = 150;
    cf.crTextColor = kTextColor;
    cf.bCharSet = lf.lfCharSet;
    cf.bPitchAndFamily = lf.lfPitchAndFamily;
    std::strncpy(cf.szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
    SetDefaultCharFormat(cf);
    SetWordCharFormat(cf);

    SetBackgroundColor(FALSE, RGB(255, 255, 255));
    const long nEnd = GetTextLength();
    SetSel(nEnd, nEnd);
}

bool CLogCtrl::OnWindowThread() const
{
    return m_hWnd != nullptr && ::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId();
}

void CLogCtrl::QueueLocked(LPCSTR pszText, COLORREF crColor, bool bBold)
{
    m_pending.push_back(PendingText{pszText, crColor, bBold});
    // one post per batch; the window's own thread drains right after
    if (!m_bDrainPosted && m_hWnd != nullptr && !OnWindowThread())
        m_bDrainPosted = ::PostMessageA(m_hWnd, WM_LOG_DRAIN, 0, 0) != FALSE;
}

void CLogCtrl::WriteFileLineLocked(const char* text, const char* location)
{
    if (m_logFile == nullptr)
        return;
    std::fputs(text != nullptr ? text : "", m_logFile);
    if (location != nullptr)
        std::fprintf(m_logFile, " (%s)", location);
    std::fputc('\n', m_logFile);
    std::fflush(m_logFile);
}

void CLogCtrl::AppendText(LPCSTR pszText, COLORREF crColor, bool bBold)
{
    if (pszText == nullptr)
        return;
    {
        CSingleLock lock(&m_lock, TRUE);
        QueueLocked(pszText, crColor, bBold);
    }
    if (OnWindowThread())
        DrainPending();
}

void CLogCtrl::ReportMessage(int kind, const char* text, const char* location, COLORREF crColor)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        const bool bInfo = kind == CDvdLogEntry::kInformation;
        WriteFileLineLocked(text, bInfo ? nullptr : location);
        if (text != nullptr)
            QueueLocked(text, crColor, false);
        if (!bInfo && location != nullptr)
        {
            CString where;
            where.Format(" (%s)", location);
            QueueLocked(where, kTextColor, false);
        }
        QueueLocked("\r\n", kTextColor, false);
        switch (kind)
        {
        case CDvdLogEntry::kError: CDvdLog::ReportError(text, location); break;
        case CDvdLogEntry::kWarning: CDvdLog::ReportWarning(text, location); break;
        default: CDvdLog::ReportInfo(text, location); break;
        }
    }
    if (OnWindowThread())
        DrainPending();
}

void CLogCtrl::ReportError(const char* text, const char* location)
{
    ReportMessage(CDvdLogEntry::kError, text, location, kErrorColor);
}

void CLogCtrl::ReportWarning(const char* text, const char* location)
{
    ReportMessage(CDvdLogEntry::kWarning, text, location, kWarningColor);
}

void CLogCtrl::ReportInfo(const char* text, const char* location)
{
    ReportMessage(CDvdLogEntry::kInformation, text, location, kTextColor);
}

void CLogCtrl::ReportCancel()
{
    {
        CSingleLock lock(&m_lock, TRUE);
        WriteFileLineLocked("Operation canceled", nullptr);
        QueueLocked("Operation canceled.\r\n", kTextColor, true);
        CDvdLog::ReportCancel();
    }
    if (OnWindowThread())
        DrainPending();
}

void CLogCtrl::Finish()
{
    ShowSummary(true);
}

void CLogCtrl::ShowSummary(bool bShowBox)
{
    if (OnWindowThread())
        DrainPending();
    bool bProblems;
    {
        // the thumbnail thread may be adding an entry right now
        CSingleLock lock(&m_lock, TRUE);
        bProblems = HasError() || HasWarning();
        CDvdLog::Finish();
    }
    if (bShowBox && bProblems)
        AfxMessageBox("There were problems performing the operation. Please examine the log for details.", MB_OK);
}

LRESULT CLogCtrl::OnDrainPending(WPARAM, LPARAM)
{
    DrainPending();
    return 0;
}

void CLogCtrl::DrainPending()
{
    if (m_bDraining || m_hWnd == nullptr)
        return;
    m_bDraining = true;
    for (;;)
    {
        std::deque<PendingText> batch;
        {
            CSingleLock lock(&m_lock, TRUE);
            batch.swap(m_pending);
            m_bDrainPosted = false;
        }
        if (batch.empty())
            break;
        ShowTexts(batch);
    }
    m_bDraining = false;
}

std::vector<CLogCtrl::PendingText> CLogCtrl::MergeAndTrim(const std::deque<PendingText>& texts, int nMaxLines)
{
    std::vector<PendingText> runs;
    for (const PendingText& item : texts)
    {
        if (!runs.empty() && runs.back().color == item.color && runs.back().bold == item.bold)
            runs.back().text += item.text;
        else
            runs.push_back(item);
    }
    if (nMaxLines <= 0)
        return runs;
    int nBreaks = 0;
    for (const PendingText& run : runs)
        for (int i = 0; i < run.text.GetLength(); ++i)
            nBreaks += run.text[i] == '\n';
    // more lines than the pane keeps: everything up to the first kept line
    // would go again straight away
    int nSkip = nBreaks - nMaxLines;
    size_t nRun = 0;
    for (; nSkip > 0 && nRun < runs.size(); ++nRun)
    {
        CString& text = runs[nRun].text;
        int i = 0;
        for (; i < text.GetLength() && nSkip > 0; ++i)
            nSkip -= text[i] == '\n';
        if (nSkip == 0)
        {
            text = text.Mid(i);
            break;
        }
    }
    runs.erase(runs.begin(), runs.begin() + nRun);
    return runs;
}

int CLogCtrl::HeldLineCount() const
{
    // a text that ends with a line break shows an empty last line, which
    // holds nothing
    const int nLines = GetLineCount();
    if (nLines > 1 && LineLength(LineIndex(nLines - 1)) == 0)
        return nLines - 1;
    return nLines;
}

void CLogCtrl::ShowTexts(const std::deque<PendingText>& texts)
{
    SetRedraw(FALSE);
    const int nFirstVisible = GetFirstVisibleLine();
    CHARRANGE before;
    GetSel(before);

    const long nLength = GetTextLength();
    SetSel(nLength, nLength);
    CHARRANGE end;
    GetSel(end);
    // the caret at the end with nothing selected: the pane follows the text
    const bool bFollow = before.cpMin == end.cpMin && before.cpMax == end.cpMax;

    // Texts reported together go in as few inserts as their formats allow,
    // each typed at the end in its own format. What the line limit would cut
    // again at once is never inserted: a worker's burst stays cheap.
    for (const PendingText& run : MergeAndTrim(texts, m_nMaxLines))
    {
        CHARFORMATA cf = {};
        cf.cbSize = sizeof(cf);
        cf.dwMask = CFM_COLOR | CFM_BOLD;
        cf.dwEffects = run.bold ? CFE_BOLD : 0;
        cf.crTextColor = run.color;
        SetSelectionCharFormat(cf);
        ReplaceSel(run.text);
    }

    if (!bFollow)
    {
        SetSel(before);
        LineScroll(nFirstVisible - GetFirstVisibleLine());
    }

    // A text of several lines may bring the pane more than one line over its
    // limit: the oldest lines go until it is within it again, and the
    // selection moves with the text it covered.
    const int nHeld = HeldLineCount();
    if (m_nMaxLines > 0 && nHeld > m_nMaxLines)
    {
        const long nCut = LineIndex(nHeld - m_nMaxLines);
        CHARRANGE sel;
        GetSel(sel);
        sel.cpMin = sel.cpMin > nCut ? sel.cpMin - nCut : 0;
        sel.cpMax = sel.cpMax > nCut ? sel.cpMax - nCut : 0;
        SetSel(0, nCut);
        ReplaceSel("");
        SetSel(sel);
    }

    if (bFollow)
    {
        const long nEnd = GetTextLength();
        SetSel(nEnd, nEnd);
        SendMessage(EM_SCROLLCARET);
    }
    SetRedraw(TRUE);
    Invalidate(TRUE);
}

void CLogCtrl::CopyLog()
{
    CHARRANGE sel;
    GetSel(sel);
    if (sel.cpMin != sel.cpMax)
    {
        Copy();
        return;
    }
    SetSel(0, -1);
    Copy();
    SetSel(0, 0);
}

void CLogCtrl::ClearLog()
{
    SetSel(0, -1);
    SetReadOnly(FALSE);
    Clear();
    SetReadOnly(TRUE);
}

void CLogCtrl::OnEditCopy()
{
    CHARRANGE sel;
    GetSel(sel);
    if (sel.cpMin != sel.cpMax)
        Copy();
}

void CLogCtrl::OnUpdateEditCopy(CCmdUI* pCmdUI)
{
    CHARRANGE sel;
    GetSel(sel);
    pCmdUI->Enable(sel.cpMin != sel.cpMax);
}
