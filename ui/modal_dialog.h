#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls.h"

class DataExchange;

// A modal dialog built from a dialog template resource. Messages reach the derived class through
// RouteMessage and RouteCommand, which play the part of a message map: a handler that returns
// false leaves the message to the dialog manager's default processing.
class ModalDialog {
 public:
  explicit ModalDialog(UINT templateId, HWND parent = nullptr);
  virtual ~ModalDialog();
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // Shows the dialog and returns when it ends, with the code it ended with (-1 if it could not
  // be created).
  INT_PTR DoModal();

  HWND Handle() const { return window_; }

  // Moves data between the members and the controls: TRUE reads the controls, FALSE writes them.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  void EndDialog(INT_PTR result);

 protected:
  // Binds the controls and exchanges the data; the base class has nothing to exchange.
  virtual void DoDataExchange(DataExchange& exchange);

  // Called once the controls exist; the base binds them and writes the members into them.
  // Returns TRUE to let the system place the input focus.
  virtual BOOL OnInitDialog();

  virtual void OnOK();
  virtual void OnCancel();

  // Message map hooks. Return true when the message was handled; result is what the dialog
  // procedure hands back for messages that return a value directly.
  virtual bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  virtual bool RouteCommand(int id, int notificationCode);

 private:
  friend class DataExchange;

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void RememberBoundControl(Control& control);
  bool PassDrawItemToControl(const DRAWITEMSTRUCT& drawItem);

  UINT templateId_;
  HWND parent_;
  HWND window_ = nullptr;
  std::vector<Control*> boundControls_;
};

// The read and write directions of ModalDialog::UpdateData.
class DataExchange {
 public:
  DataExchange(ModalDialog& dialog, bool saveAndValidate)
      : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

  bool IsSaving() const { return saveAndValidate_; }

  // Attaches a control wrapper to the dialog's child window with this id, the first time only.
  void BindControl(int id, Control& control);

  // Copies the text of the control with this id into value (saving) or value into the control.
  void ExchangeText(int id, std::string& value);

 private:
  ModalDialog& dialog_;
  bool saveAndValidate_;
};
