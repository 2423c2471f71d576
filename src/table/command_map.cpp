// Menu command routing: which handler serves each command and each command-state request.

#include "table/czat_psf1.h"

namespace {
enum Command : unsigned {
  kFileNew = 57600,
  kFileOpen = 57601,
  kFileClose = 57602,
  kFileSave = 57603,
  kFileSaveAs = 57604,
  kFilePrintSetup = 57606,
  kFilePrint = 57607,
  kFilePrintPreview = 57609,
  kFileImport = 34320,
  kFileExport = 34321,
  kEditCut = 57635,
  kEditCopy = 57634,
  kEditPaste = 57637,
  kEditPasteValues = 34300,
  kEditClearAll = 57633,
  kEditClearFormats = 34326,
  kEditClearContents = 34327,
  kEditInsert = 34301,
  kEditDelete = 34302,
  kEditFillRight = 34303,
  kEditFillDown = 34304,
  kEditGoTo = 34305,
  kDataRecalc = 34306,
  kDataSort = 34307,
  kDataAutoFillList = 34308,
  kFormatGeneral = 34309,
  kFormatCurrency0 = 34310,
  kFormatCurrency2 = 34311,
  kFormatFixed = 34312,
  kFormatPercent = 34313,
  kFormatFraction = 34314,
  kFormatScientific = 34315,
  kFormatDate = 34316,
  kFormatTime = 34317,
  kFormatCustomNumber = 34318,
  kFormatValidationRule = 34319,
  kEditFind = 57636,
  kEditReplace = 57641,
};
}  // namespace

bool CZAT_PSF1::OnCommand(unsigned id) {
  switch (id) {
    case kFileNew: OnFileNew(); break;
    case kFileOpen: OnFileOpen(); break;
    case kFileClose: OnFileClose(); break;
    case kFileSave: OnFileSave(); break;
    case kFileSaveAs: OnFileSaveAs(); break;
    case kFilePrintSetup: OnFilePrintsetup(); break;
    case kFilePrint: OnFilePrint(); break;
    case kFilePrintPreview: OnFilePrintpreview(); break;
    case kFileImport: OnFileImport(); break;
    case kFileExport: OnFileExport(); break;
    case kEditCut: OnEditCut(); break;
    case kEditCopy: OnEditCopy(); break;
    case kEditPaste: OnEditPaste(); break;
    case kEditPasteValues: OnEditPastevalues(); break;
    case kEditClearAll: OnEditClearAll(); break;
    case kEditClearFormats: OnEditClearFormats(); break;
    case kEditClearContents: OnEditClearContents(); break;
    case kEditInsert: OnEditInsert(); break;
    case kEditDelete: OnEditDelete(); break;
    case kEditFillRight: OnEditCopyright(); break;
    case kEditFillDown: OnEditCopydown(); break;
    case kEditFind: OnEditFind(); break;
    case kEditReplace: OnEditReplace(); break;
    case kEditGoTo: OnEditGoto(); break;
    case kDataRecalc: OnDataRecalc(); break;
    case kDataSort: OnDataSort(); break;
    case kDataAutoFillList: OnDataAutofilllist(); break;
    case kFormatGeneral: OnFormatGeneral(); break;
    case kFormatCurrency0: OnFormatCurrency0(); break;
    case kFormatCurrency2: OnFormatCurrency2(); break;
    case kFormatFixed: OnFormatFixed(); break;
    case kFormatPercent: OnFormatPercent(); break;
    case kFormatFraction: OnFormatFraction(); break;
    case kFormatScientific: OnFormatScientific(); break;
    case kFormatDate: OnFormatMdyyd(); break;
    case kFormatTime: OnFormatHmmampmt(); break;
    case kFormatCustomNumber: OnFormatCustomnumber(); break;
    case kFormatValidationRule: OnFormatValidationrule(); break;
    default: return false;  // the frame's default (What's This? and the like)
  }
  return true;
}

bool CZAT_PSF1::OnUpdateCommand(platform::CommandState& state) {
  switch (state.id) {
    case kFileNew: OnUpdateFileNew(state); break;
    case kFileOpen: OnUpdateFileOpen(state); break;
    case kFileImport: OnUpdateFileImport(state); break;
    case kEditCut: OnUpdateEditCut(state); break;
    case kEditCopy: OnUpdateEditCopy(state); break;
    case kEditPaste: OnUpdateEditPaste(state); break;
    case kEditPasteValues: OnUpdateEditPastevalues(state); break;
    case kEditClearAll:
    case kEditClearFormats:
    case kEditClearContents: OnUpdateEditClear(state); break;
    case kEditInsert: OnUpdateEditInsert(state); break;
    case kEditDelete: OnUpdateEditDelete(state); break;
    case kEditFillRight: OnUpdateEditCopyright(state); break;
    case kEditFillDown: OnUpdateEditCopydown(state); break;
    case kEditFind: OnUpdateEditFind(state); break;
    case kEditReplace: OnUpdateEditReplace(state); break;
    case kDataSort: OnUpdateDataSort(state); break;
    default:
      if (state.id >= kFormatGeneral && state.id <= kFormatValidationRule) {
        OnUpdateFormat(state);
        break;
      }
      return false;
  }
  return true;
}
