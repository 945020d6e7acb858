// The preview of one interleaved unit through the process-wide preview
// player: the decoded pictures with an information overlay and the highlight
// buttons of menu cells, a position slider over the unit's VOBUs, transport
// buttons with fast scanning, and tabs for the button segments.
//
// The player's threads enter the window only through OnPlayerEvent, which
// copies the picture under the window lock and posts one of the messages
// below; everything else runs on the GUI thread. Player operations that wait
// for the player's threads are never called while the lock is held.
#pragma once

#include "DvdGui/core/CellDataStream.h"
#include "DvdGui/core/CellPreviewCore.h"
#include "DvdGui/core/EditMenus.h"
#include "DvdGui/core/ViewLocation.h"
#include "Shared/platform/PlatformSync.h"
#include "VDS/source/Deinterlacer.h"
#include "VDS/source/PictureScaler.h"
#include "VDS/source/PreviewPlayer.h"
#include "VDS/source/VideoPicture.h"
#include "controls/custom/CustomWnd.h"
#include "controls/custom/SkinControls.h"
#include "controls/custom/SplitterBar.h"
#include "controls/custom/TabStripCtrl.h"
#include "uitoolkit/controls/ExtScrollBar.h"

#include <functional>
#include <memory>

class CDvd;
class CVobCell;

// Posted by OnPlayerEvent to the window.
enum : UINT
{
    WM_PREVIEW_STOPPED = 0x1304,
    WM_PREVIEW_STARTED = 0x1305,
    WM_PREVIEW_VOBU = 0x1306, // the word parameter is the VOBU shown
    WM_PREVIEW_PICTURE = 0x1307,
    WM_PREVIEW_END = 0x1308,
};

// Control ids of the preview's children; its commands are in EditMenus.h.
enum : UINT
{
    IDC_PREVIEW_SLIDER = 1198,
    IDC_PREVIEW_PLAY = 1219,
    IDC_PREVIEW_GOTO_START = 1225,
    IDC_PREVIEW_GOTO_END = 1226,
    IDC_PREVIEW_REWIND = 1227,
    IDC_PREVIEW_FAST_FORWARD = 1228,
    IDC_PREVIEW_SEGMENTS = 4863,
    IDC_PREVIEW_SPLITTER = 4864,
};

// Bit 0 of the display flags: the picture at its natural size when it fits.
const BYTE PREVIEW_NATURAL_SIZE = 0x01;

class CCellPreviewWnd : public CCustomWnd
{
public:
    // The window's part of a view location.
    using PreviewState = CPreviewState;

    CCellPreviewWnd(bool bReadOnly, BYTE nDisplayFlags);
    ~CCellPreviewWnd() override;
    CCellPreviewWnd(const CCellPreviewWnd&) = delete;
    CCellPreviewWnd& operator=(const CCellPreviewWnd&) = delete;

    // Shows a unit (not owned; none for an empty preview) at the state's
    // position and stream choices, or at VOBU 0 keeping the current button and
    // sub-picture choice.
    void SetCell(CVobCell* pUnit, const PreviewState* pState);
    PreviewState GetState() const;
    void SetAudioStream(const BYTE ids[2], DWORD dwValue);
    void SetSubpictureStream(int nStream, DWORD dwValue);
    // Closes the player and ends scanning; the host calls it before the shown
    // unit changes or goes.
    void StopPreview();
    void SelectButton(int nButton, bool bByMouse);
    // Writes the current frame as a 32-bit bitmap file; a failure shows
    // "Error exporting frame".
    bool ExportFrame(LPCTSTR lpszPath);

    // Null takes the parent's font. The overlay uses it two points smaller.
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE) override;
    void PaintBackground() override;
    void Draw(CDC* pDC) override;
    void OnCreated() override;
    void OnLayout() override;
    void OnEnableChanged(BOOL bEnabled) override;

    // The player's events, on its threads.
    int64_t OnPlayerEvent(const CPlayerEvent* pEvent);

    CVobCell* GetUnit() const { return m_pUnit; }
    CDvd* GetDvd() const { return m_pDvd; }
    CRect GetPictureRect() const { return m_rcPicture; }
    CPreviewMapping GetMapping() const;
    int GetHotButton() const { return m_nHotButton; }
    int GetCurrentButton() const { return m_nCurrentButton; }
    int GetCurrentGroup() const { return m_nCurrentGroup; }
    int GetCurrentVobu() const;
    bool IsPlaying() const { return m_bPlaying != 0; }
    bool IsScanning() const { return m_bScanning != 0; }
    bool IsScanningForward() const { return m_bScanForward != 0; }
    bool IsOverlayVisible() const { return m_bOverlayVisible != 0; }
    bool IsPlayerOpen() const { return m_bPlayerOpen; }
    int GetSplitPosition() const { return m_nSplitPosition; }
    int GetFrameWidth() const { return m_nFrameWidth; }
    int GetFrameHeight() const { return m_nFrameHeight; }
    CExtScrollBar& GetSlider() { return m_slider; }
    CTabStripCtrl& GetSegmentTabs() { return m_tabs; }
    CPreviewButton& GetTransportButton(UINT nId);
    // The tooltip a transport button shows now.
    CString GetTransportTip(UINT nId) const;

protected:
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPlayStop();
    afx_msg void OnGotoStart();
    afx_msg void OnGotoEnd();
    afx_msg void OnRewind();
    afx_msg void OnFastForward();
    afx_msg void OnExportFrame();
    afx_msg void OnHideBlock();
    afx_msg void OnCutFromHere();
    afx_msg void OnCutToHere();
    afx_msg void OnSplitHere();
    afx_msg void OnRestoreBlock();
    afx_msg void OnConvertToStill();
    afx_msg void OnHideButton();
    afx_msg void OnBypassMenu();
    afx_msg void OnShowOriginal();
    afx_msg void OnSegmentSelected(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSplitterMoved(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnPreviewStopped(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPreviewStarted(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPreviewVobu(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPreviewPicture(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPreviewEnd(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The current segment of the shown unit, or null.
    class CButtonSegment* GetCurrentSegment() const;
    // The button of the current segment and group under a client point, or -1.
    int HitTestButton(CPoint point) const;
    void UpdateHotButton(CPoint point);

    // The last right-click point and the button a button menu was opened for.
    CPoint m_ptRightClick;
    int m_nMenuButton = -1;

private:
    // Runs an edit of the shown unit unless the window is read-only; the
    // window takes the focus when it ran.
    void RunEdit(const std::function<bool(CVobCell* pUnit, uint32_t nVobu)>& edit);
    // After an edit that moved the unit's pictures: its first VOBU, with the
    // stream opened again on what the unit holds now.
    void ShowFromStart();
    void OpenPlayer();
    void ClosePlayer();
    void SeekToVobu(int nVobu);
    void UpdateControls();
    void UpdateButtonGroup();
    void UpdatePictureRect();
    void StopScanning();
    void StartScanning(bool bForward);
    void ShowPlay();
    void SetTransportLook(UINT nId, bool bStop);
    void PaintFrame(CDC& dc);
    void PaintPicture(CDC& dc);
    void PaintOverlay(CDC& dc);
    void PaintButtons(CDC& dc);
    void RepaintPicture();
    void SetSliderPosition(int nPosition);

    const BYTE m_nDisplayFlags;
    const BYTE m_bReadOnly;
    BYTE m_bOverlayVisible = 1;
    CRect m_rcPicture;
    int m_nCurrentGroup = 0;
    int m_nHotButton = -1;
    int m_nCurrentButton = 0;
    int m_nSplitPosition = 180;
    CExtScrollBar m_slider;
    CTabStripCtrl m_tabs;
    CSplitterBar m_splitter;
    CPreviewButton m_buttons[5];
    BYTE m_bPlaying = 0;
    BYTE m_bScanning = 0;
    BYTE m_bScanForward = 0;
    BYTE m_bRewindStop = 0;
    CDvd* m_pDvd = nullptr;
    CVobCell* m_pUnit = nullptr;
    int m_nFrameWidth = 1111;
    int m_nFrameHeight = 1111;
    BYTE m_bWideScreen = 0;
    CFont m_captionFont;
    CVideoPicture m_frame;
    CVideoPicture m_rgb;
    CVideoPicture m_yuv;
    CCellDataStream m_stream;
    bool m_bPlayerOpen = false;
    CDeinterlacer m_deinterlacer;
    CPictureScaler m_scaler;
    std::unique_ptr<CPlayerCallback<CCellPreviewWnd>> m_pCallback;
    BYTE m_audio[2] = {0, 0};
    DWORD m_dwAudioValue = 0;
    int m_nSubpicture = -1;
    DWORD m_dwSubpictureValue = 0;
    mutable kx::RecursiveLock m_lock;
};
