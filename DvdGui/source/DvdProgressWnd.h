// The progress sink of the engine's long operations shown in a progress
// dialog: the engine's 64-bit positions become a percentage on a 0 to 100
// bar, its status texts the dialog's status line, and every position update
// keeps the GUI responsive and the cancel poll answered.
#pragma once

#include "Shared/source/DvdProgress.h"
#include "controls/custom/ProgressDlg.h"

class CDvdProgressWnd : public CProgressDlg, public CDvdProgress
{
public:
    CDvdProgressWnd() = default;

    void SetText(const char* text) override;
    uint64_t GetRange() override { return m_nTotal; }
    uint64_t GetPosition() override { return m_nPosition; }
    const char* GetText() override { return m_strText; }
    void SetRange(uint64_t total) override;
    void Advance(uint64_t delta) override;
    void SetPosition(uint64_t position) override;
    bool IsCancelled() override { return CheckCancel(); }

private:
    void ShowPosition();

    uint64_t m_nTotal = 0;
    uint64_t m_nPosition = 0;
    CString m_strText;
};
