#pragma once
// CHeadEdit: the Change Parameter Name dialog (template 3004). It edits the caller's string:
// each showing starts from the string's current text, OK copies the edited name back, Cancel
// leaves the string alone. The name field takes at most 255 characters.

#include "datatable/strings.h"
#include "platform/table_dialogs.h"

class CWnd;

class CHeadEdit : public platform::DialogModel {
 public:
  static constexpr unsigned kTemplateId = 3004;
  static constexpr int kNameControl = 1007;
  static constexpr std::size_t kMaxNameChars = 255;

  CHeadEdit(CString& name, CWnd* parent);

  // Shows the dialog modally on the platform's dialogs; 1 OK, 2 Cancel.
  int DoModal(platform::TableDialogs& dialogs);

  unsigned TemplateId() const override { return kTemplateId; }
  std::string GetControlText(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  std::size_t TextLimit(int id) const override;
  bool OnOK() override;

  CString m_Name;     // the name being edited
  CString* m_pName;   // the caller's string

 private:
  CWnd* m_pParent;
};
