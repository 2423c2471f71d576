// The control's dialogs, through the platform's implementation (headless: all cancel).
#include "control/control.h"
#include "control/model/workbook.h"

namespace engine {

void Control::ShowFindDialog() { dialogs_->Find(*this); }
void Control::ShowReplaceDialog() { dialogs_->Replace(*this); }
void Control::ShowGotoDialog() { dialogs_->Goto(*this); }
void Control::ShowSortDialog() { dialogs_->Sort(*this); }
void Control::ShowNumberFormatDialog() { dialogs_->NumberFormat(*this); }
void Control::ShowValidationRuleDialog() { dialogs_->ValidationRule(*this); }
void Control::ShowPrintSetupDialog() { dialogs_->PrintSetup(*this); }
void Control::ShowPrintPreview() { dialogs_->PrintPreview(*this); }

void Control::PrintTable(bool showDialog) {
  if (!dialogs_->CanPrint()) throw EngineError(kErrNoPrinter, kTextNoPrinter);
  if (!dialogs_->Print(*this, showDialog)) throw EngineError(kErrCanceled, kTextOperationCanceled);
}

}  // namespace engine
