#include "gui/win32/updater_dlg.h"

#include <utility>

#include "gui/win32/about_dlg.h"
#include "gui/win32/open_file_dialog.h"
#include "gui/win32/resource.h"

namespace vx::gui {

CVX94C6FWUpdaterDlg::CVX94C6FWUpdaterDlg(frontend::ProgramPaths paths)
    : CDialog(IDD_MAIN),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN))),
      paths_(std::move(paths)) {}

CVX94C6FWUpdaterDlg::~CVX94C6FWUpdaterDlg() {
  // Closing is refused while an update runs, so the window can be gone under
  // a running update only when its message loop was told to quit. The update
  // thread's calls then find no window, but one may already be on its way
  // to this thread: such calls are answered until the thread has ended, so
  // that the updater's wait for it cannot block it.
  MSG message;
  while (updater_.UpdateRunning()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

bool CVX94C6FWUpdaterDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  using Self = CVX94C6FWUpdaterDlg;
  static constexpr MessageMapEntry<Self> kMessageMap[] = {
      OnWmSysCommand<&Self::OnSysCommand>(),
      OnWmPaint<&Self::OnPaint>(),
      OnWmQueryDragIcon<&Self::OnQueryDragIcon>(),
      OnCommand<&Self::OnUpdateClicked>(IDC_UPDATE, BN_CLICKED),
      OnCommand<&Self::OnExitClicked>(IDCANCEL, BN_CLICKED),
      OnCommand<&Self::OnFilePathKillFocus>(IDC_FILE_PATH, EN_KILLFOCUS),
      OnCommand<&Self::OnBrowse>(IDC_BROWSE, BN_CLICKED),
      OnCommand<&Self::OnFilePathChange>(IDC_FILE_PATH, EN_CHANGE),
      OnWmTimer<&Self::OnTimer>(),
  };
  return Dispatch<Self>(*this, kMessageMap, message, wParam, lParam, result) ||
         CDialog::OnWndMsg(message, wParam, lParam, result);
}

void CVX94C6FWUpdaterDlg::DoDataExchange(DataExchange& dx, std::u16string& filePath, std::u16string& checksumText) {
  DDX_Text(dx, IDC_FILE_PATH, filePath);
  DDX_Text(dx, IDC_CHECKSUM, checksumText);
  DDX_Control(dx, IDC_FILE_PATH, m_fileEdit);
  DDX_Control(dx, IDC_PROGRESS, m_progress);
  DDX_Control(dx, IDC_UPDATE, m_updateButton);
}

void CVX94C6FWUpdaterDlg::UpdateData(bool saveAndValidate, std::u16string& filePath, std::u16string& checksumText) {
  const NotificationLock lock(*this);
  DataExchange dx{GetSafeHwnd(), saveAndValidate};
  DoDataExchange(dx, filePath, checksumText);
}

BOOL CVX94C6FWUpdaterDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  UpdateData(false, updater_.m_filePath, updater_.m_checksumText);
  AddAboutMenuItem();
  SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  return updater_.StartUp(paths_.exeDir, paths_.settingsPath) ? TRUE : FALSE;
}

void CVX94C6FWUpdaterDlg::AddAboutMenuItem() {
  const HMENU systemMenu = GetSystemMenu(GetSafeHwnd(), FALSE);
  wchar_t text[128] = {};
  if (systemMenu == nullptr || LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUT_MENU, text, 128) <= 0) return;
  AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(systemMenu, MF_STRING, IDM_ABOUT, text);
}

void CVX94C6FWUpdaterDlg::OnOK() {
  if (updater_.RefuseClose()) return;
  UpdateData(true, updater_.m_filePath, updater_.m_checksumText);
  EndDialog(IDOK);
}

void CVX94C6FWUpdaterDlg::OnSysCommand(UINT nID, LPARAM) {
  if ((nID & 0xFFF0) == IDM_ABOUT) {
    CAboutDlg about(GetSafeHwnd());
    about.DoModal();
  } else {
    Default();
  }
}

void CVX94C6FWUpdaterDlg::OnPaint() {
  const HWND hwnd = GetSafeHwnd();
  if (!IsIconic(hwnd)) {
    Default();
    return;
  }
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(hwnd, &paint);
  SendMessageW(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int iconWidth = GetSystemMetrics(SM_CXICON);
  const int iconHeight = GetSystemMetrics(SM_CYICON);
  RECT client;
  GetClientRect(hwnd, &client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  DrawIcon(dc, x, y, m_hIcon);
  EndPaint(hwnd, &paint);
}

HCURSOR CVX94C6FWUpdaterDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CVX94C6FWUpdaterDlg::OnUpdateClicked() { updater_.OnUpdateClicked(); }

void CVX94C6FWUpdaterDlg::OnExitClicked() { updater_.OnExitClicked(); }

void CVX94C6FWUpdaterDlg::OnFilePathKillFocus() { updater_.OnFilePathKillFocus(); }

void CVX94C6FWUpdaterDlg::OnBrowse() {
  std::u16string path;
  if (ChooseFirmwareFile(GetSafeHwnd(), path)) updater_.OnBrowse(path);
}

void CVX94C6FWUpdaterDlg::OnFilePathChange() { updater_.OnFilePathChange(); }

void CVX94C6FWUpdaterDlg::OnTimer(UINT_PTR nIDEvent) {
  updater_.OnTimer(static_cast<unsigned>(nIDEvent));
  Default();
}

}  // namespace vx::gui
