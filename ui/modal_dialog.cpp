#include "ui/modal_dialog.h"

#include <algorithm>

#include "ui/application.h"

namespace {

// The dialog manager sends a few messages (font, owner-draw measuring) before WM_INITDIALOG hands
// over the creation parameter; they find their object here.
thread_local ModalDialog* dialogBeingCreated = nullptr;

// Messages whose value a dialog procedure returns directly rather than through DWLP_MSGRESULT.
bool ReturnsValueDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return true;
    default:
      return false;
  }
}

}  // namespace

ModalDialog::ModalDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

ModalDialog::~ModalDialog() = default;

INT_PTR ModalDialog::DoModal() {
  ModalDialog* const outer = dialogBeingCreated;
  dialogBeingCreated = this;
  const INT_PTR result =
      ::DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), parent_, &DialogProc,
                        reinterpret_cast<LPARAM>(this));
  dialogBeingCreated = outer;
  window_ = nullptr;
  for (Control* control : boundControls_) control->Detach();
  boundControls_.clear();
  return result;
}

void ModalDialog::EndDialog(INT_PTR result) { (void)::EndDialog(window_, result); }

BOOL ModalDialog::UpdateData(BOOL saveAndValidate) {
  DataExchange exchange(*this, saveAndValidate != FALSE);
  DoDataExchange(exchange);
  return TRUE;
}

void ModalDialog::DoDataExchange(DataExchange&) {}

BOOL ModalDialog::OnInitDialog() {
  (void)UpdateData(FALSE);
  return TRUE;
}

void ModalDialog::OnOK() {
  (void)UpdateData(TRUE);
  EndDialog(IDOK);
}

void ModalDialog::OnCancel() { EndDialog(IDCANCEL); }

bool ModalDialog::RouteMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

bool ModalDialog::RouteCommand(int id, int notificationCode) {
  if (notificationCode != BN_CLICKED) return false;
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ModalDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<ModalDialog*>(lParam);
    ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
  } else {
    dialog = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) dialog = dialogBeingCreated;
  }
  if (dialog == nullptr) return FALSE;
  dialog->window_ = window;
  return dialog->HandleMessage(message, wParam, lParam);
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR result = 0;
  bool handled = false;
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      handled = RouteCommand(LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_DRAWITEM:
      handled = PassDrawItemToControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = handled ? TRUE : FALSE;
      break;
    default:
      handled = RouteMessage(message, wParam, lParam, result);
      break;
  }
  if (!handled) return FALSE;
  if (ReturnsValueDirectly(message)) return result;
  ::SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

void ModalDialog::RememberBoundControl(Control& control) {
  if (std::find(boundControls_.begin(), boundControls_.end(), &control) == boundControls_.end()) {
    boundControls_.push_back(&control);
  }
}

bool ModalDialog::PassDrawItemToControl(const DRAWITEMSTRUCT& drawItem) {
  for (Control* control : boundControls_) {
    if (control->Handle() == drawItem.hwndItem) return control->DrawItem(drawItem);
  }
  return false;
}

void DataExchange::BindControl(int id, Control& control) {
  if (control.IsAttached()) return;
  HWND child = ::GetDlgItem(dialog_.Handle(), id);
  if (child == nullptr) return;
  control.Attach(child);
  dialog_.RememberBoundControl(control);
}

void DataExchange::ExchangeText(int id, std::string& value) {
  HWND child = ::GetDlgItem(dialog_.Handle(), id);
  if (child == nullptr) return;
  if (!saveAndValidate_) {
    (void)::SetWindowTextA(child, value.c_str());
    return;
  }
  const int length = ::GetWindowTextLengthA(child);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(child, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  value = text;
}
