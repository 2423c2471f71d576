#pragma once
// CAutoFLst: the AutoFill Lists dialog (template 3003). It shows the engine's auto-fill lists,
// one list-box entry per list plus a last entry " " that stands for a new list, and applies
// every change to the engine at once; OK and Cancel only close it. Lists are loaded from and
// stored to .afl files, one list per line.

#include <string>
#include <vector>

#include "datatable/strings.h"
#include "platform/table_dialogs.h"

class CWnd;
namespace engine {
class Control;
}
namespace platform {
class Platform;
}

class CAutoFLst : public platform::DialogModel {
 public:
  static constexpr unsigned kTemplateId = 3003;
  static constexpr int kCurrentList = 1001;  // edit box
  static constexpr int kAdd = 1002;
  static constexpr int kDelete = 1003;
  static constexpr int kLists = 1004;  // list box
  static constexpr int kSave = 1005;
  static constexpr int kOpen = 1006;
  static constexpr const char* kNewListEntry = " ";

  CAutoFLst(engine::Control& control, CWnd* parent, platform::Platform& platform);

  // Shows the dialog modally on the platform's dialogs; 1 OK, 2 Cancel.
  int DoModal();

  unsigned TemplateId() const override { return kTemplateId; }
  void OnInitDialog() override;
  std::string GetControlText(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  std::vector<std::string> ListItems(int id) const override;
  int ListSelection(int id) const override;
  void SetListSelection(int id, int index) override;
  bool IsControlEnabled(int id) const override;
  int FocusControl() const override { return m_Focus; }
  void OnCommand(int id) override;

  // The handlers of the message map.
  void OnSelchangeLists();
  void OnDelete();
  void OnAdd();
  void OnChangeCurrentList();
  void OnOpen();
  void OnSave();

  // Loads path's lines as the engine's lists (every line one list, empty lines included); false
  // with nothing changed when the file cannot be read or holds more lists than the engine
  // counts. Saves the lists to path, one line each; false when the file cannot be written.
  bool LoadFile(const std::string& path);
  bool SaveFile(const std::string& path) const;

  CString m_CurrentList;  // the edit box's text

 private:
  void WriteCurrentList(const std::string& text);  // as the dialog sets the edit box
  bool IsNewListSelected() const;
  void ShowMessage(unsigned id) const;

  engine::Control& m_Control;
  CWnd* m_pParent;
  platform::Platform& m_Platform;
  std::vector<std::string> m_ListBox;  // the list box's entries
  int m_Selected = -1;
  bool m_EditModified = false;  // the edit box's text changed since the dialog last set it
  bool m_AddEnabled = false;
  bool m_DeleteEnabled = false;
  int m_Focus = 0;
};
