#pragma once
// The table's own modal dialogs (Change Parameter Name, AutoFill Lists). The dialog's logic
// lives in the table as a DialogModel; the platform shows the layout of the model's template
// and exchanges the texts of its controls by control id.

#include <string>
#include <vector>

class CWnd;

namespace platform {

class DialogModel {
 public:
  virtual ~DialogModel() = default;
  virtual unsigned TemplateId() const = 0;
  // Runs once when the dialog opens, before the platform reads any control.
  virtual void OnInitDialog() {}
  // Data exchange by control id: the platform reads the texts when the dialog opens and after
  // every command, and writes what the user typed before it calls OnOK or OnCommand.
  virtual std::string GetControlText(int /*id*/) const { return {}; }
  virtual void SetControlText(int /*id*/, const std::string& /*text*/) {}
  // Most characters (UTF-8 sequences) a text control takes; 0: no limit. The platform does
  // not let the user type more.
  virtual std::size_t TextLimit(int /*id*/) const { return 0; }
  // List boxes: the entries in order and the selected entry (-1: none). When the user picks an
  // entry the platform writes it with SetListSelection and then calls OnCommand(id).
  virtual std::vector<std::string> ListItems(int /*id*/) const { return {}; }
  virtual int ListSelection(int /*id*/) const { return -1; }
  virtual void SetListSelection(int /*id*/, int /*index*/) {}
  // Whether a control takes input, and the control that has the focus (0: the platform's
  // choice). The platform reads them again after every command.
  virtual bool IsControlEnabled(int /*id*/) const { return true; }
  virtual int FocusControl() const { return 0; }
  // Buttons other than OK and Cancel, list selection and edit changes. When the user changes
  // an edit box's text the platform writes it with SetControlText and then calls OnCommand(id).
  virtual void OnCommand(int /*id*/) {}
  // OK pressed; false keeps the dialog open.
  virtual bool OnOK() { return true; }
  virtual void OnCancel() {}
};

class TableDialogs {
 public:
  virtual ~TableDialogs() = default;
  // Runs the dialog modally; returns 1 (OK) or 2 (Cancel).
  virtual int RunModal(CWnd* parent, DialogModel& dialog) = 0;
};

}  // namespace platform
