// The enumerations, handles and event types shared by every unit of the
// dataset layer.  The enumerations keep the original order: ordinals appear
// in messages and in stored data.
#pragma once

#include "platform/rtl/methodptr.h"
#include "platform/rtl/typinfo.h"

#include <QByteArray>
#include <cstdint>

class TDataSet;
class TField;
class EDatabaseError;

RTL_ENUM(TFieldType,
         ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
         ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
         ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
         ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
         ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd, ftFixedWideChar, ftWideMemo,
         ftOraTimeStamp, ftOraInterval, ftLongWord, ftShortint, ftByte, ftExtended, ftConnection,
         ftParams, ftStream, ftTimeStampOffset, ftObject, ftSingle)

// The type's name without "ft" ("WideString").
String FieldTypeName(TFieldType Type);

RTL_ENUM(TDataSetState,
         dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
         dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening)
using TDataSetStates = TSet<TDataSetState>;
inline constexpr TDataSetStates dsEditModes{dsEdit, dsInsert, dsSetKey};
inline constexpr TDataSetStates dsWriteModes{dsEdit,      dsInsert,   dsSetKey,      dsCalcFields,
                                             dsFilter,    dsNewValue, dsInternalCalc};

RTL_ENUM(TDataEvent,
         deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
         deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
         deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange)

RTL_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate)
using TFieldKinds = TSet<TFieldKind>;

RTL_ENUM(TGetMode, gmCurrent, gmNext, gmPrior)
RTL_ENUM(TGetResult, grOK, grBOF, grEOF, grError)
RTL_ENUM(TResyncMode, rmExact, rmCenter)
using TResyncModes = TSet<TResyncMode>;
RTL_ENUM(TBookmarkFlag, bfCurrent, bfBOF, bfEOF, bfInserted)
RTL_ENUM(TLocateOption, loCaseInsensitive, loPartialKey)
using TLocateOptions = TSet<TLocateOption>;
RTL_ENUM(TFilterOption, foCaseInsensitive, foNoPartialCompare)
using TFilterOptions = TSet<TFilterOption>;
RTL_ENUM(TUpdateStatus, usUnmodified, usModified, usInserted, usDeleted)
using TUpdateStatusSet = TSet<TUpdateStatus>;
RTL_ENUM(TBlobStreamMode, bmRead, bmWrite, bmReadWrite)
using TBlobType = TFieldType;  // ftBlob .. ftWideMemo
RTL_ENUM(TDataAction, daFail, daAbort, daRetry)
RTL_ENUM(TAutoRefreshFlag, arNone, arAutoInc, arDefault)
RTL_ENUM(TProviderFlag, pfInUpdate, pfInWhere, pfInKey, pfHidden)
using TProviderFlags = TSet<TProviderFlag>;
RTL_ENUM(TFieldAttribute, faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed)
using TFieldAttributes = TSet<TFieldAttribute>;
RTL_ENUM(TIndexOption, ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression,
         ixNonMaintained)
using TIndexOptions = TSet<TIndexOption>;

// A record buffer is an opaque handle chosen by the dataset class (an index,
// a pointer); 0 means none.
using TRecordBuffer = std::intptr_t;
inline constexpr TRecordBuffer NoRecordBuffer = 0;

// A bookmark is the dataset class's bytes, cheap to copy; empty means nil.
using TBookmark = QByteArray;

// events
using TDataSetNotifyEvent = TMethodPtr<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = TMethodPtr<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFilterRecordEvent = TMethodPtr<void(TDataSet* DataSet, bool& Accept)>;
using TFieldNotifyEvent = TMethodPtr<void(TField* Sender)>;
using TFieldGetTextEvent = TMethodPtr<void(TField* Sender, String& Text, bool DisplayText)>;
using TFieldSetTextEvent = TMethodPtr<void(TField* Sender, const String& Text)>;
using TDataChangeEvent = TMethodPtr<void(TObject* Sender, TField* Field)>;
