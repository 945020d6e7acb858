// The log pane: a read-only rich edit that is also the engine's log sink.
// Each message shows in the pane in the colour of its kind and goes as one
// line to "kestrelux.log" in the current folder, truncated at every start.
//
// Reports may come from any thread; only the thread that created the window
// touches the control. A report writes its file line and record entry under
// the lock, queues the pane text and, off that thread, posts the pane a
// message; the window's thread drains the queue in order before each report
// or append of its own, so texts show in the order they were reported. No
// window message is sent while the lock is held, so a worker never waits for
// the window's thread while holding it.
#pragma once

#include "Shared/source/DvdLog.h"
#include "framework/core/CCriticalSection.h"
#include "framework/win/AfxWin.h"
#include "framework/win/Controls.h"

#include <cstdio>
#include <deque>
#include <vector>

class CLogCtrl : public CRichEditCtrl, public CDvdLog
{
public:
    // nMaxLines of 0 or less: no limit. The main frame passes 400.
    explicit CLogCtrl(int nMaxLines);
    ~CLogCtrl() override;

    BOOL Create(CWnd* pParentWnd, UINT nID, const RECT& rect, DWORD dwStyle);

    // Pane only: the commands write their section headings with it.
    void AppendText(LPCSTR pszText, COLORREF crColor, bool bBold);
    // Ends an operation's record: with bShowBox, errors or warnings since the
    // last summary bring up one message box.
    void ShowSummary(bool bShowBox);

    void Finish() override;
    void ReportCancel() override;
    void ReportError(const char* text, const char* location) override;
    void ReportWarning(const char* text, const char* location) override;
    void ReportInfo(const char* text, const char* location) override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void CopyLog();
    void ClearLog();

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnEditCopy();
    afx_msg void OnUpdateEditCopy(CCmdUI* pCmdUI);
    afx_msg LRESULT OnDrainPending(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    struct PendingText
    {
        CString text;
        COLORREF color;
        bool bold;
    };

    void InitFormat();
    // Under the lock: queue a pane text; a post is made once per batch.
    void QueueLocked(LPCSTR pszText, COLORREF crColor, bool bBold);
    void WriteFileLineLocked(const char* text, const char* location);
    void ReportMessage(int kind, const char* text, const char* location, COLORREF crColor);
    bool OnWindowThread() const;
    // Window thread only: shows every queued text.
    void DrainPending();
    void ShowTexts(const std::deque<PendingText>& texts);
    // Neighbours of one format joined; with a line limit, the lines that
    // would be cut again at once left out.
    static std::vector<PendingText> MergeAndTrim(const std::deque<PendingText>& texts, int nMaxLines);
    int HeldLineCount() const;

    std::FILE* m_logFile;
    int m_nMaxLines;
    CCriticalSection m_lock;
    std::deque<PendingText> m_pending;
    bool m_bDrainPosted = false;
    bool m_bDraining = false;
};
