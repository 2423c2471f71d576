#pragma once
// The numeric ids of the table's resources. Resource ids, string ids and command ids share one
// number space, as the window framework expects: the status-bar prompt of a menu command is the
// string whose id is the command id, and the window title is string 3001, the id of the frame's
// menu, accelerators and title.

namespace resources {

// Resources.
inline constexpr int kMenuFrame = 3001;          // the frame's menu bar
inline constexpr int kAcceleratorsFrame = 3001;  // accelerators of frame and child window
inline constexpr int kIconTable = 3002;          // window icon, large and small
inline constexpr int kDialogAutoFillLists = 3003;
inline constexpr int kDialogChangeParameterName = 3004;
inline constexpr int kMenuContext = 3010;  // context menu of the child window

// Strings that are not command prompts.
inline constexpr int kStrDataTable = 3001;          // window title
inline constexpr int kStrOperationCanceled = 3005;  // the engine's cancel text (never shown)
inline constexpr int kStrTargetOutsideTable = 3006;
inline constexpr int kStrConfirmDeleteParameter = 3008;
inline constexpr int kStrNameExists = 3009;
inline constexpr int kStrUnableToOpenFile = 3010;  // the engine's text for a held file (write)
inline constexpr int kStrUnableToOpenTable = 3011;
inline constexpr int kStrUnableToSaveTable = 3012;
inline constexpr int kStrFirstSheetOnly = 3014;
inline constexpr int kStrNameNotDefined = 3015;
inline constexpr int kStrFixNameAutomatically = 3017;  // appended to a name-rule reason
inline constexpr int kStrNameTooLong = 3018;
inline constexpr int kStrNameFirstChar = 3019;
inline constexpr int kStrNameChars = 3020;
inline constexpr int kStrOpenFilter = 3021;    // open dialog filter (Open, Import)
inline constexpr int kStrDateMenuItem = 3022;  // "&Date: %1 ", %1 = the date format
inline constexpr int kStrSaveChanges = 3023;   // "%s" = quoted file name or "this file"
inline constexpr int kStrSaveFilter = 3024;    // save dialog filter (Save As, Export)
inline constexpr int kStrInvalidFile = 3025;   // the engine's text for a held file (read)
// The workbook forms the file dialogs offer after the entries of 3021 and 3024 (filter
// indexes 4 and 5): .xlsx and comma-separated text.
inline constexpr int kStrMoreFormsFilter = 3026;
inline constexpr int kStrReady = 57345;        // idle status-bar text
inline constexpr int kStrErrorOpeningFile = 57642;
inline constexpr int kStrErrorSavingFile = 57643;
inline constexpr int kStrRunSelectedRows = 57651;
inline constexpr int kStrAutoFillExtension = 57652;  // default extension of list files
inline constexpr int kStrAutoFillFilter = 57653;     // filter of the list-file dialogs

// Menu commands.
inline constexpr int kCmdEditPasteValues = 34300;
inline constexpr int kCmdEditInsert = 34301;
inline constexpr int kCmdEditDelete = 34302;
inline constexpr int kCmdEditFillRight = 34303;
inline constexpr int kCmdEditFillDown = 34304;
inline constexpr int kCmdEditGoTo = 34305;
inline constexpr int kCmdDataRecalc = 34306;
inline constexpr int kCmdDataSort = 34307;
inline constexpr int kCmdDataAutoFillList = 34308;
inline constexpr int kCmdFormatGeneral = 34309;
inline constexpr int kCmdFormatCurrency0 = 34310;
inline constexpr int kCmdFormatCurrency2 = 34311;
inline constexpr int kCmdFormatFixed = 34312;
inline constexpr int kCmdFormatPercent = 34313;
inline constexpr int kCmdFormatFraction = 34314;
inline constexpr int kCmdFormatScientific = 34315;
inline constexpr int kCmdFormatDate = 34316;
inline constexpr int kCmdFormatTime = 34317;
inline constexpr int kCmdFormatCustomNumber = 34318;
inline constexpr int kCmdFormatValidationRule = 34319;
inline constexpr int kCmdFileImport = 34320;
inline constexpr int kCmdFileExport = 34321;
inline constexpr int kCmdEditClearFormats = 34326;
inline constexpr int kCmdEditClearContents = 34327;
inline constexpr int kCmdFileNew = 57600;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileClose = 57602;
inline constexpr int kCmdFileSave = 57603;
inline constexpr int kCmdFileSaveAs = 57604;
inline constexpr int kCmdFilePrintSetup = 57606;
inline constexpr int kCmdFilePrint = 57607;
inline constexpr int kCmdFilePrintPreview = 57609;
inline constexpr int kCmdEditClearAll = 57633;
inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdEditCut = 57635;
inline constexpr int kCmdEditFind = 57636;
inline constexpr int kCmdEditPaste = 57637;
inline constexpr int kCmdEditReplace = 57641;
inline constexpr int kCmdHelpWhatsThis = 57669;
inline constexpr int kCmdHelp = 57670;  // the dialogs' Help button

// Dialog controls.
inline constexpr int kCtlStatic = -1;  // labels that nothing addresses
inline constexpr int kCtlOk = 1;
inline constexpr int kCtlCancel = 2;
inline constexpr int kCtlCurrentList = 1001;  // AutoFill Lists: edit box
inline constexpr int kCtlAdd = 1002;
inline constexpr int kCtlDelete = 1003;
inline constexpr int kCtlLists = 1004;  // AutoFill Lists: list box
inline constexpr int kCtlSaveLists = 1005;
inline constexpr int kCtlOpenLists = 1006;
inline constexpr int kCtlParameterName = 1007;  // Change Parameter Name: edit box
inline constexpr int kCtlHelp = kCmdHelp;

}  // namespace resources
