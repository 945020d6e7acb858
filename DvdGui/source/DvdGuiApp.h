// The application object: start-up and shut-down, and the commands that are
// not tied to one project (import, merge, release of unused source data,
// the skip-blank-frames switch, the layout reset and the About box).
#pragma once

#include "DVD/source/DVD.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/WinThread.h"

class CDvdDoc;

class CDvdGuiApp : public CWinApp
{
public:
    CDvdGuiApp();
    ~CDvdGuiApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // A folder, a .vob or an .ifo path imports the DVD folder; anything else
    // opens a project file.
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override;

    // Imports the folder into a new project; null when the folder is empty,
    // the read failed or no project could be made.
    CDvdDoc* ImportDvd(LPCTSTR lpszFolder);

    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // Merges the discs into a new untitled project with its window; a
    // failed merge leaves nothing behind but its message.
    void MergeProjects(const CDvdDiscArray& discs);

    afx_msg void OnImportDvd();
    afx_msg void OnOptions();
    afx_msg void OnAppAbout();
    afx_msg void OnMergeDvds();
    afx_msg void OnReleaseUnusedAssets();
    afx_msg void OnUpdateReleaseUnusedAssets(CCmdUI* pCmdUI);
    afx_msg void OnSkipBlankFrames();
    afx_msg void OnUpdateSkipBlankFrames(CCmdUI* pCmdUI);
    afx_msg void OnResetLayout();
    afx_msg void OnUpdateResetLayout(CCmdUI* pCmdUI);

    CString m_strLastImportFolder;

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool ReadDvd(CDvdDoc& doc, LPCTSTR lpszFolder, class CDvdProgressWnd& progress);

    CMultiDocTemplate* m_pDocTemplate = nullptr;
};

// The process's application object.
CDvdGuiApp* GetDvdGuiApp();

// Long operations stop the preview first.
void PausePreviewPlayer();
