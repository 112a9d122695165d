// The shared table of every text the grid library shows by itself: menu
// items, filter-list entries, operator names, aggregate names, navigator
// hints, dialog captions and error messages.
//
// Each text is a published string property, read by the library at the
// moment it shows the text, so a language change reaches the next menu or
// dialog.  The shared component starts from a few English defaults set in
// code, then reads its stored form (the program's RCDATA resource
// TGRIDLIBLANGUAGECONSTS, kept in the repository as
// res/gridliblanguageconsts.dfm), which holds the Russian texts.  Its unit
// registers it with the language resource manager as "GridLibLangConsts",
// default language "ENU", so translations may replace the texts later.
#pragma once

#include "platform/rtl/component.h"

class TGridLibLanguageConsts : public TComponent {
  RTL_CLASS(TGridLibLanguageConsts, TComponent)
public:
  // Sets the English defaults; the stored form is read by the caller
  // (GetGridLibLanguageConsts), once the object is whole.
  explicit TGridLibLanguageConsts(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // The texts are plain read-write properties without side effects, so they
  // are public fields named as the properties, in their declaration order.
  String Language;
  String ClearSelectedCells;
  String InvalidTextFormat;
  String InvalidVCLDBIFFormat;
  String ErrorDuringInsertValue;
  String IgnoreError;
  String TabularInformation;
  String PageOfPages;
  String Preview;
  String FieldNameNotFound;
  String FindDialogStringNotFoundMessage;
  String VisibleColumns;
  String Cut;
  String Copy;
  String Paste;
  String Delete;
  String SelectAll;
  String CustomizeColumnsDialog;
  String STFilterListItem_Empties;
  String STFilterListItem_NotEmpties;
  String STFilterListItem_All;
  String STFilterListItem_SelectAll;
  String STFilterListItem_ClearFilter;
  String STFilterListItem_ClearFilterInColumn;
  String STFilterListItem_SortingByDescend;
  String STFilterListItem_SortingByAscend;
  String STFilterListItem_ApplyFilter;
  String STFilterListItem_CustomFilter;
  String SimpFilter_equals;
  String SimpFilter_does_not_equal;
  String SimpFilter_is_greate_than;
  String SimpFilter_is_greate_than_or_equall_to;
  String SimpFilter_is_less_than;
  String SimpFilter_is_less_than_or_equall_to;
  String SimpFilter_begins_with;
  String SimpFilter_does_not_begin_with;
  String SimpFilter_ends_with;
  String SimpFilter_does_not_end_with;
  String SimpFilter_contains;
  String SimpFilter_does_not_contain;
  String SimpFilter_like;
  String SimpFilter_not_like;
  String SimpFilter_in_list;
  String SimpFilter_not_in_list;
  String SimpFilter_is_blank;
  String SimpFilter_is_not_blank;
  String GroupingPanelText;
  String NoDataEh;
  String CalculatorError;
  String QuoteIsAbsentEh;
  String LeftBracketExpectedEh;
  String RightBracketExpectedEh;
  String ErrorInExpressionEh;
  String UnexpectedExpressionBeforeNullEh;
  String UnexpectedExpressionAfterOperatorEh;
  String IncorrectExpressionEh;
  String UnexpectedANDorOREh;
  String GridSelectionInfo_Sum;
  String GridSelectionInfo_Cnt;
  String GridSelectionInfo_Evg;
  String GridSelectionInfo_Min;
  String GridSelectionInfo_Max;
  String CellCountEh;
  String DBGridEhGroupingFooter_Sum;
  String DBGridEhGroupingFooter_Count;
  String DBGridEhGroupingFooter_Avg;
  String DBGridEhGroupingFooter_Max;
  String DBGridEhGroupingFooter_Min;
  String DBGridEhGroupingFooter_Empty;
  String FirstRecordEh;
  String PriorRecordEh;
  String NextRecordEh;
  String LastRecordEh;
  String InsertRecordEh;
  String DeleteRecordEh;
  String EditRecordEh;
  String PostEditEh;
  String CancelEditEh;
  String ConfirmCaptionEh;
  String RefreshRecordEh;
  String DeleteMultipleRecordsQuestionEh;
  String DeleteAllRecordsQuestionEh;
  String DuplicateVarNameEh;
  String SearchPanelEditorPromptText;
  String UnsupportedFieldTypeEh;
  String SearchPanelApplyFilterEh;
  String SearchPanelCancelFilterEh;
  String SearchPanelFindNextEh;
  String SearchPanelFindPrevEh;
  String SearchPanelOptionsEh;
  String SortingByThisColumnIsNotPossibleEh;
  String GroupingByThisColumnIsNotPossibleEh;
  String FindItemNameAllEh;
  String ElapsedTimeEh;
  String PivotDataBuildingInProgressEh;
  String PressESCToCancelEh;
  String GrandTotalEh;
  String TotalEh;
  String PivotValueFieldDisplayNameEh;
  String PivotRowsEh;
  String PivotColumnsEh;
  String PivotValuesEh;
  String PivotDataIsNotLoadedEh;
  String PivotSliceNonDisplayNameEh;
  String PivotSliceYearDisplayNameEh;
  String PivotSliceQuarterDisplayNameEh;
  String PivotSliceMonthDisplayNameEh;
  String PivotSliceWeekDisplayNameEh;
  String PivotSliceDayDisplayNameEh;
  String PivotSliceHourDisplayNameEh;
  String PivotSliceMinDisplayNameEh;
  String PivotSliceSecDisplayNameEh;
  String PivotSliceMSecDisplayNameEh;
  String PivotSumFunctionNon;
  String PivotSumFunctionSum;
  String PivotSumFunctionCount;
  String PivotSumFunctiontAvg;
  String PivotSumFunctionMax;
  String PivotSumFunctionMin;
  String PivotSumFunctionCountDistinct;
  String PivotSumFunctionProduct;
  String PivotSumFunctionStDev;
  String PivotSumFunctionStDevp;
  String PivotSumFunctionVar;
  String PivotSumFunctionVarp;
  String PivotSumFunctionCustom;
  String PlannerResourceUnassignedEh;
  String PlannerNextEventEh;
  String PlannerPriorEventEh;
  String PlannerDeletePlanItemEh;
  String PlannerPeriodFromEh;
  String PlannerPeriodToEh;
  String PlannerWeekTextEh;
  String PlannerEndTimeBeforeStartTimeEh;
  String OKButtonEh;
  String CancelButtonEh;
  String GridLoadingModeTextEh;
  String SearchScopeEh;
  String CurrentColumnEh;
  String TheEntireGridEh;
  String CaseSensitiveEh;
  String WholeWordsEh;
  String BeginsWithEh;
  String CloseInBracketsEh;
  String LabelColumnEh;
  String DataColumnEh;
  String TodayEh;
  String PreviewForm_Caption;
  String PreviewForm_Print_Hint;
  String PreviewForm_Print_Caption;
  String PreviewForm_PrinterSetupDialog_Hint;
  String PreviewForm_PrinterSetupDialog_Caption;
  String PreviewForm_Scale_Hint;
  String PreviewForm_Scale_Caption;
  String PreviewForm_PrevPage_Hint;
  String PreviewForm_PrevPage_Caption;
  String PreviewForm_NextPage_Hint;
  String PreviewForm_NextPage_Caption;
  String PreviewForm_Stop_Caption;
  String PreviewForm_Close_Hint;
  String PreviewForm_Close_Caption;
  String PreviewForm_MenuPageWidth;
  String PreviewForm_MenuFullPage;
  String PrnDBGridEhSetupDialog_Caption;
  String PrnDBGridEhSetupDialog_Margins;
  String PrnDBGridEhSetupDialog_Top;
  String PrnDBGridEhSetupDialog_Bottom;
  String PrnDBGridEhSetupDialog_Left;
  String PrnDBGridEhSetupDialog_Right;
  String PrnDBGridEhSetupDialog_StretchLongLines;
  String PrnDBGridEhSetupDialog_PrinterSetup;
  String PrnDBGridEhSetupDialog_Colored;
  String PrnDBGridEhSetupDialog_ScaleWholeGrid;
  String PrnDBGridEhSetupDialog_ChangeColumnWidths;
  String PrnDBGridEhSetupDialog_FitWidthToPage;
  String PrnDBGridEhSetupDialog_OptimalColWidths;
  String PlannerItemForm_Caption;
  String PlannerItemForm_Item_Title;
  String PlannerItemForm_Item_StartTime;
  String PlannerItemForm_Item_EndTime;
  String PlannerItemForm_AllDayCheck;
  String PlannerItemForm_Resource;
  String PictureEditorDialog_Caption;
  String PictureEditorDialog_Load;
  String PictureEditorDialog_Save;
  String PictureEditorDialog_Clear;
  String PictureEditorDialog_Cut;
  String PictureEditorDialog_Copy;
  String PictureEditorDialog_Paste;
  String PictureEditorDialog_ZoomIn;
  String PictureEditorDialog_ZoomOut;
  String PictureEditorDialog_Reset;
  String EditPivotField_Caption;
  String EditPivotField_AggrFunc;
  String EditPivotField_DisplayFormat;
  String DBGridEhSimpleFilterDialog_Caption;
  String DBGridEhSimpleFilterDialog_ShowRecordsWhere;
  String DBGridEhSimpleFilterDialog_OneCharWildcardInfo;
  String DBGridEhSimpleFilterDialog_SeveralCharsWildcardInfo;
  String DBGridEhSimpleFilterDialog_Or_Caption;
  String DBGridEhSimpleFilterDialog_And_Caption;
  String DBGridEhFindDlg_Caption;
  String DBGridEhFindDlg_FindWhat;
  String DBGridEhFindDlg_FindIn;
  String DBGridEhFindDlg_Match;
  String DBGridEhFindDlg_Search;
  String DBGridEhFindDlg_FindInTree;
  String DBGridEhFindDlg_FindNext;
  String DBGridEhFindDlg_Close;
  String DBGridEhFindDlg_FromAnyPart;
  String DBGridEhFindDlg_WholeField;
  String DBGridEhFindDlg_FromBeging;
  String DBGridEhFindDlg_Direction_Up;
  String DBGridEhFindDlg_Direction_Down;
  String DBGridEhFindDlg_Direction_All;
  String DBGridEhFindDlg_MatchCase;
  String DBGridEhFindDlg_MatchFormat;
  String DBGridEhFindDlg_TreeRange_InAllNodes;
  String DBGridEhFindDlg_TreeRange_InExpandedNodes;
  String DBGridEhFindDlg_TreeRange_InCurrentLevel;
  String DBGridEhFindDlg_TreeRange_InCurrentNode;
  String PrintPageSetupDialog_Caption;
  String PrintPageSetupDialog_Page;
  String PrintPageSetupDialog_Orientation;
  String PrintPageSetupDialog_Scaling;
  String PrintPageSetupDialog_Portrait;
  String PrintPageSetupDialog_Landscape;
  String PrintPageSetupDialog_PrNormalSize;
  String PrintPageSetupDialog_PageWideBy;
  String PrintPageSetupDialog_tall;
  String PrintPageSetupDialog_AdjustTo;
  String PrintPageSetupDialog_FitTo;
  String PrintPageSetupDialog_Margins;
  String PrintPageSetupDialog_Left;
  String PrintPageSetupDialog_Top;
  String PrintPageSetupDialog_Bottom;
  String PrintPageSetupDialog_Right;
  String PrintPageSetupDialog_Header;
  String PrintPageSetupDialog_Footer;
  String PrintPageSetupDialog_HeaderFooter;
  String PrintPageSetupDialog_ChangeFont;
  String PrintPageSetupDialog_FontAbr;
  String PrintPageSetupDialog_InsertPageNo_Hint;
  String PrintPageSetupDialog_InsertPageNo_Abr;
  String PrintPageSetupDialog_InsertPages_Hint;
  String PrintPageSetupDialog_InsertPages_Abr;
  String PrintPageSetupDialog_InsertDate_Hint;
  String PrintPageSetupDialog_InsertDate_Abr;
  String PrintPageSetupDialog_InsertShortDate_Hint;
  String PrintPageSetupDialog_InsertShortDate_Abr;
  String PrintPageSetupDialog_InsertLongDate_Hint;
  String PrintPageSetupDialog_InsertLongDate_Abr;
  String PrintPageSetupDialog_InsertTime_Hint;
  String PrintPageSetupDialog_InsertTime_Abr;
  String PrintPageSetupDialog_PageHeader;
  String PrintPageSetupDialog_PageFooter;
  String PrintPageSetupDialog_Center;
  String MemoEditWin_Caption;
  String DBGridEhCustomizeColumnsDialog_VisibleColumns;
  String DBGridEhCustomizeColumnsDialog_HiddenColumns;
  String DBGridEhCustomizeColumnsDialog_Caption;
  String DBGridEhCustomizeColumnsDialog_ColumnName;
  String DBGridEhCustomizeColumnsDialog_ColumnWidth;
  String DBGridEhCustomizeColumnsDialog_SetWidth_Hint;
  String DBGridEhCustomizeColumnsDialog_MoveUp_Hint;
  String DBGridEhCustomizeColumnsDialog_MoveDown_Hint;
  String DBGridEhCustomizeColumnsDialog_Hide_Hint;
  String DBGridEhCustomizeColumnsDialog_Show_Hint;
  String DBGridEhCustomizeColumnsDialog_EnterNumericalValue;
  String DBGridEhCustomizeColumnsDialog_EnterColumnWidthS;
  String FilterListValuesLimitExceeded;
};

// The shared text table, made on first use without owner.
TGridLibLanguageConsts* GetGridLibLanguageConsts();

// Start-up makes the shared table and registers it with the language
// resource manager; shutdown unregisters and frees it.  The base unit
// (baseunit.h) runs both.
void InitializeGridLibLanguageConstsEh();
void FinalizeGridLibLanguageConstsEh();
