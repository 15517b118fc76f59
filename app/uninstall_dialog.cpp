#include "app/uninstall_dialog.h"

#include "res/resource.h"
#include "ui/application.h"
#include "ui/paint_context.h"

namespace {

constexpr wchar_t kShutdownBlockReason[] = L"Removing the printer driver package; wait until it is done.";

// Alt+F4 and the caption's close button come as SC_CLOSE, and end in WM_CLOSE and then IDCANCEL.
bool IsCloseRequest(UINT message, WPARAM wParam) {
  return message == WM_CLOSE || (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE);
}

}  // namespace

CUninstallDlg::CUninstallDlg(HWND parent, UninstallLog* log)
    : ModalDialog(IDD_UNINSTALL, parent),
      m_hIcon(::LoadIconA(ResourceInstance(), MAKEINTRESOURCEA(IDI_APP_ICON))),
      m_log(log) {}

void CUninstallDlg::DoDataExchange(DataExchange& exchange) {
  ModalDialog::DoDataExchange(exchange);
  exchange.BindControl(IDCANCEL, m_cancelButton);
  exchange.BindControl(IDC_PROGRESS, m_progress);
  exchange.BindControl(IDC_UNINSTALL, m_uninstallButton);
  exchange.BindControl(IDC_PRINTER_LIST, m_printerList);
  exchange.ExchangeText(IDC_STATUS_TEXT, m_status);
}

bool CUninstallDlg::RouteMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  if (m_sequenceRunning && IsCloseRequest(message, wParam)) return true;
  switch (message) {
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(OnQueryDragIcon());
      return true;
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return false;  // the timer message still gets its default processing
    case WM_QUERYENDSESSION:
      // A shutdown or log-off half-way through the removal would leave the package half removed:
      // "wait". Otherwise, as any window, let the session end.
      if (!RemovalRuns()) return false;
      result = FALSE;
      return true;
    case WM_PHASE_STARTED:
      if (RemovalRuns()) m_shutdownBlock.Hold(Handle(), kShutdownBlockReason);
      OnPhaseStarted();
      return true;
    case WM_SEQUENCE_ENDED:
      // The removal is done before its end is asked about (the restart question).
      if (EndAnnounced()) {
        m_worker.Join();
        m_shutdownBlock.Release();
      }
      OnSequenceEnded();
      return true;
    default:
      return false;
  }
}

bool CUninstallDlg::RouteCommand(int id, int notificationCode) {
  // The dialog answers its messages while the sequence runs, so a click or a close request (the
  // caption's button, another program) would reach it here.
  if (m_sequenceRunning) return true;
  if (id == IDC_PRINTER_LIST && notificationCode == CLBN_CHKCHANGE) {
    OnPrinterCheckChange();
    return true;
  }
  if (id == IDC_UNINSTALL && notificationCode == BN_CLICKED) {
    OnUninstall();
    return true;
  }
  return ModalDialog::RouteCommand(id, notificationCode);
}

BOOL CUninstallDlg::OnInitDialog() {
  (void)ModalDialog::OnInitDialog();
  (void)::SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  (void)::SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_progress.SetRange(0, 100);
  (void)m_progress.SetStep(30);
  m_foundPrinterCount = 0;
  (void)::SetTimer(Handle(), SCAN_TIMER_ID, SCAN_TIMER_PERIOD_MS, nullptr);
  return TRUE;
}

void CUninstallDlg::OnPrinterCheckChange() {
  for (int index = 0; index < m_printerList.GetCount(); ++index) {
    if (m_printerList.GetCheck(index) != 0) {
      (void)m_uninstallButton.EnableWindow(TRUE);
      return;
    }
  }
  (void)m_uninstallButton.EnableWindow(FALSE);
}

bool CUninstallDlg::OnPaint() {
  if (!::IsIconic(Handle())) return false;
  PaintContext dc(Handle());
  (void)::SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  (void)::GetClientRect(Handle(), &client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  (void)::DrawIcon(dc.Get(), x, y, m_hIcon);
  return true;
}

HICON CUninstallDlg::OnQueryDragIcon() { return m_hIcon; }

void CUninstallDlg::OnCancel() { ModalDialog::OnCancel(); }

bool CUninstallDlg::RemovalRuns() const { return m_sequenceRunning && m_worker.IsRunning(); }

bool CUninstallDlg::EndAnnounced() {
  const std::lock_guard<std::mutex> lock(m_mailboxLock);
  return m_announcedEnd.has_value();
}

